#include "panes/browser/drag_and_drop.h"

#include <cstdio>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/message_boxes.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes %XX; false when an escape decodes to NUL.
bool percent_decode(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hex_value(text[i + 1]) : -1;
        const int low = high >= 0 ? hex_value(text[i + 2]) : -1;
        if (low < 0) {
            out.push_back(text[i]);
            continue;
        }
        const char c = static_cast<char>(high * 16 + low);
        if (c == '\0') return false;
        out.push_back(c);
        i += 2;
    }
    return true;
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

bool dropped_line_path(const std::string& line, std::string& path) {
    static const std::string scheme = "file://";
    static const std::string localhost = "localhost/";
    if (line.compare(0, scheme.size(), scheme) != 0) return false;
    std::string rest = trim_whitespace(line.substr(scheme.size()));
    if (rest.compare(0, localhost.size(), localhost) == 0) rest.erase(0, localhost.size() - 1);
    if (rest.empty() || rest[0] != '/') return false;
    return percent_decode(rest, path);
}

int32_t on_drag_and_drop(PlatformListener*, int32_t, int32_t, const std::string& text) {
    std::vector<std::string> paths;
    std::string path;
    for (const std::string& line : split(text, '\n')) {
        if (!dropped_line_path(line, path)) continue;
        const char last = line.back();
        print(concat4("LAST-CHAR:['", std::string(1, last), "']=[", int_to_text(static_cast<signed char>(last))) +
              "];\n");
        print(concat2("DND-FILE:", path) + "\n");
        paths.push_back(path);
    }
    AppContext* app = app_instance;
    if (app == nullptr || paths.empty()) return 0;
    if (!app->io_settings.native_dnd) {
        show_warning_box(*app, "Warning: Drag-and-Drop Input is Disabled",
                         "Note: drag-and-drop script input is currently disabled.\n\n"
                         "Enable Native-DND using the settings menu to use drag-and-drop.");
        return 0;
    }
    print("DND-REQUESTED\n");
    app->pane_open_flags[PANE_OPEN] = 1;
    app->OVERLAY.visible = true;
    app->MASKPANE.visible = true;
    app->OPENPANE.visible = true;
    DeferredRequests& requests = app->deferred_requests;
    requests.pending_path_count = static_cast<int32_t>(paths.size());
    requests.pending_paths = std::move(paths);
    requests.deferred_countdown = 5;
    requests.open_paths_requested = 1;
    refresh_root(*app);
    return 1;
}
