#include "panes/browser/directory_listing.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "context/current_environment.h"
#include "art/typeface.h"
#include "panes/browser/browser_rows.h"
#include "panes/browser/browser_sort.h"
#include "platform/process.h"
#include "text/split.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

ListingRunner listing_runner = nullptr;

std::string run_ls(const std::string& program, const std::vector<std::string>& arguments) {
    return run_process_capture(program, arguments);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool digits_at(const std::string& text, std::initializer_list<size_t> positions) {
    for (size_t p : positions)
        if (!is_digit(text[p])) return false;
    return true;
}

// "YYYY-MM-DD" and "hh:mm", the shapes of the long-iso time style.
bool is_long_iso_date(const std::string& t) {
    return t.size() == 10 && t[4] == '-' && t[7] == '-' && digits_at(t, {0, 1, 2, 3, 5, 6, 8, 9});
}
bool is_long_iso_time(const std::string& t) {
    return t.size() == 5 && t[2] == ':' && digits_at(t, {0, 1, 3, 4});
}

// A file type the browser can list, nine permission characters and an
// optional marker of extended attributes or a security context.
bool is_permission_field(const std::string& t) {
    if (t.size() != 10 && t.size() != 11) return false;
    if (t[0] != '-' && t[0] != 'd' && t[0] != 'l') return false;
    for (size_t i = 1; i < 10; ++i) {
        const char c = t[i];
        if (c != '-' && c != 'r' && c != 'w' && c != 'x' && c != 's' && c != 'S' && c != 't' && c != 'T')
            return false;
    }
    return true;
}

bool parse_plain_number(const std::string& t, int64_t& value) {
    if (t.empty()) return false;
    for (char c : t)
        if (!is_digit(c)) return false;
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    return result.ec == std::errc() && result.ptr == t.data() + t.size();
}

// The blank-separated field starting at or after `pos`; false at the end.
bool next_field(const std::string& line, size_t& pos, std::string& field) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) return false;
    const size_t begin = pos;
    while (pos < line.size() && line[pos] != ' ') ++pos;
    field.assign(line, begin, pos - begin);
    return true;
}

struct ParsedLine {
    std::string permissions, owner, group, date, time, name, link_target;
    int64_t size = 0;
};

// Where " -> " separates a link's escaped name from its target: the first
// blank that is not escaped (`ls -b` escapes every blank of a name).
size_t link_arrow(const std::string& escaped) {
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '\\') {
            ++i;
        } else if (escaped[i] == ' ') {
            return escaped.compare(i, 4, " -> ") == 0 ? i : std::string::npos;
        }
    }
    return std::string::npos;
}

bool parse_line(const std::string& line, ParsedLine& out) {
    size_t pos = 0;
    std::string links, size_text;
    if (!next_field(line, pos, out.permissions) || !is_permission_field(out.permissions)) return false;
    int64_t link_count = 0;
    if (!next_field(line, pos, links) || !parse_plain_number(links, link_count)) return false;
    if (!next_field(line, pos, out.owner) || !next_field(line, pos, out.group)) return false;
    if (!next_field(line, pos, size_text) || !parse_plain_number(size_text, out.size)) return false;
    if (!next_field(line, pos, out.date) || !is_long_iso_date(out.date)) return false;
    if (!next_field(line, pos, out.time) || !is_long_iso_time(out.time)) return false;
    // The name is everything after the time and one blank, never re-split.
    if (pos + 1 >= line.size() || line[pos] != ' ') return false;
    const std::string escaped = line.substr(pos + 1);
    size_t arrow = out.permissions[0] == 'l' ? link_arrow(escaped) : std::string::npos;
    if (arrow == 0) return false;
    if (arrow == std::string::npos) {
        out.name = unescape_ls_name(escaped);
        out.link_target.clear();
    } else {
        out.name = unescape_ls_name(escaped.substr(0, arrow));
        out.link_target = " -> " + unescape_ls_name(escaped.substr(arrow + 4));
    }
    return !out.name.empty();
}

bool ends_with(const std::string& text, const char* suffix) {
    const size_t n = std::char_traits<char>::length(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

bool admitted(const ParsedLine& line, const std::string& lower_name, int32_t purpose) {
    const char type = line.permissions[0];
    const bool directory = type == 'd';
    // A FIFO, socket or device behind a matching name would hang the open.
    const bool file_or_link = type == '-' || type == 'l';
    switch (purpose) {
        case BROWSER_KERNEL_EXECUTABLE:
            return directory || (file_or_link && line.permissions[3] == 'x' &&
                                 (lower_name == "vrek" || lower_name == "vrekp" || lower_name == "vrek.exe" ||
                                  lower_name == "vrekp.exe"));
        case BROWSER_ENTITY_WORKSPACE:
        case BROWSER_EXPORT_LOCATION:
            return directory || type == '-';
        case BROWSER_OPEN_SCRIPT:
            return directory || (file_or_link && ends_with(lower_name, ".vrek"));
        default:
            return false;
    }
}

uint8_t entry_kind(const ParsedLine& line, const std::string& lower_name) {
    if (line.permissions[0] == 'd') return ENTRY_DIRECTORY;
    if (ends_with(lower_name, ".vrek")) return ENTRY_SCRIPT;
    return line.permissions[3] == 'x' ? ENTRY_EXECUTABLE : ENTRY_OTHER_FILE;
}

// Position of `element` inside `widgets`, or -1.
template <typename T>
int32_t position_in(const std::vector<T>& widgets, const Element* element) {
    for (size_t i = 0; i < widgets.size(); ++i)
        if (&widgets[i] == element) return static_cast<int32_t>(i);
    return -1;
}

// The hovered position among `widgets` before they are destroyed; every
// toolkit pointer into them is dropped.
template <typename T>
int32_t release_widgets(std::vector<T>& widgets) {
    const int32_t hovered = position_in(widgets, hover_element);
    if (hovered >= 0) widgets[static_cast<size_t>(hovered)].hovered = false;
    forget_vector_elements(widgets);
    return hovered;
}

void build_path_bar(AppContext& app) {
    const FileBrowserState& b = app.file_browser_state;
    const int32_t pad = app.ui_metrics.ui_padding;
    const int32_t border = app.ui_metrics.thin_border;
    const int32_t row_height = app.ui_metrics.row_height;
    const int32_t hovered = release_widgets(app.browser_path_buttons);
    app.browser_path_pieces.children.clear();
    app.browser_path_buttons.clear();
    app.browser_path_buttons.resize(b.browser_path_parts.size());
    int32_t x = pad;
    int32_t right = 0;
    for (size_t k = 0; k < app.browser_path_buttons.size(); ++k) {
        Label& button = app.browser_path_buttons[k];
        ensure_element_id(button);
        button.name = "browser_path_button";
        button.user_index = static_cast<int32_t>(k);
        button.typeface = &typefaces[0];
        button.set_text(b.browser_path_parts[k]);
        button.align_x = 0;
        button.align_y = 0;
        for (Border* edge : {&button.border_left, &button.border_top, &button.border_right, &button.border_bottom}) {
            edge->width = border;
            edge->colour = active_theme.colours[2];
        }
        button.padding_left = 0;
        button.padding_top = 0;
        button.padding_right = 2;
        button.padding_bottom = 0;
        button.x = x;
        button.y = pad;
        button.width = button.text_width + 2 * pad + 2;
        button.height = row_height;
        theme_browser_text(button);
        button.background_colour = active_theme.colours[5];
        button.hover_colour = active_theme.colours[7];
        right = button.x + button.width;
        x = right + pad;
        app.browser_path_pieces.children.push_back(&button);
    }
    app.file_browser_state.browser_path_content_width = app.browser_path_buttons.empty() ? pad - 1 : right + pad - 1;
    app.browser_path_pieces.width = app.file_browser_state.browser_path_content_width;
    app.browser_path_pieces.height = row_height + 2 * pad;
    if (hovered >= 0 && static_cast<size_t>(hovered) < app.browser_path_buttons.size()) {
        hover_element = &app.browser_path_buttons[static_cast<size_t>(hovered)];
        hover_element->hovered = true;
    }
}

void build_rows(AppContext& app) {
    const size_t n = app.file_browser_state.browser_row_order.size();
    const int32_t hovered = release_widgets(app.browser_rows);
    forget_vector_elements(app.browser_row_labels);
    app.browser_list_content.children.clear();
    app.browser_list_content.children.reserve(n);
    // Widgets are reused where the count allows: building tens of thousands
    // of them afresh dominates the listing of a large directory. Every field
    // a row or label shows is set below.
    app.browser_rows.resize(n);
    app.browser_row_labels.resize(5 * n);
    for (size_t r = 0; r < n; ++r) {
        FillLayout& row = app.browser_rows[r];
        ensure_element_id(row);
        row.children.clear();
        row.hovered = false;
        row.focused = false;
        row.name = "browser_row";
        row.user_index = static_cast<int32_t>(r);
        row.hover_rgba = browser_hover_rgba;
        row.hover_colour = nullptr;
        row.background_colour = active_theme.colours[6];
        // The theme's list selection, as the entity and pop-up lists show
        // it: its plain selected colour over the row's own differs from it
        // by a few levels at most.
        row.selected_colour = nullptr;
        row.selected_palette = &active_theme.palettes[7];
        for (size_t c = 0; c < 5; ++c) {
            Label& label = app.browser_row_labels[5 * r + c];
            label.hovered = false;
            label.focused = false;
            row.children.push_back(&label);
        }
        label_browser_row(app, r);
        app.browser_list_content.children.push_back(&row);
    }
    if (hovered >= 0 && static_cast<size_t>(hovered) < n) {
        hover_element = &app.browser_rows[static_cast<size_t>(hovered)];
        hover_element->hovered = true;
    }
}

// The listed directory under "Path : ", cut at its start to the label's
// width so that the folder listed stays in view.
void show_listed_directory(Element& label, int32_t width) {
    label.set_text(fit_path_text(label.typeface, "\n", label.extra_text,
                                 width - label.padding_left - label.padding_right));
}

}  // namespace

void set_listing_runner(ListingRunner runner) { listing_runner = runner; }

std::vector<std::string> listing_arguments(const std::string& directory) {
    // One line per entry whatever its name holds; sizes in bytes whatever
    // the user's block-size settings; a directory starting with "-" is not
    // an option.
    return {"-l", "-b", "--block-size=1", "--time-style=long-iso", "--", directory};
}

std::string unescape_ls_name(const std::string& escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c != '\\' || i + 1 >= escaped.size()) {
            out.push_back(c);
            continue;
        }
        const char e = escaped[++i];
        switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int k = 0; k < 2 && i + 1 < escaped.size() && escaped[i + 1] >= '0' && escaped[i + 1] <= '7';
                         ++k)
                        value = value * 8 + static_cast<unsigned>(escaped[++i] - '0');
                    out.push_back(static_cast<char>(value & 0xFFu));
                } else {
                    out.push_back(e);
                }
        }
    }
    return out;
}

BrowserListing parse_ls_listing(const std::string& text, int32_t purpose) {
    BrowserListing listing;
    ParsedLine line;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string raw = text.substr(begin, end - begin);
        begin = end + 1;
        if (raw.empty() || !parse_line(raw, line)) continue;
        const std::string lower = to_lower(line.name);
        if (!admitted(line, lower, purpose)) continue;
        const uint8_t kind = entry_kind(line, lower);
        std::string name = line.name;
        if (kind == ENTRY_DIRECTORY) name.push_back('/');
        listing.kinds.push_back(kind);
        listing.sort_names.push_back(to_lower(name));
        listing.names.push_back(std::move(name));
        listing.size_texts.push_back(concat2(long_to_grouped_text(line.size), " bytes"));
        listing.sizes.push_back(line.size);
        listing.dates.push_back(line.date);
        listing.times.push_back(line.time);
        listing.owners.push_back(line.owner);
        listing.groups.push_back(line.group);
        listing.permissions.push_back(line.permissions);
        listing.link_targets.push_back(line.link_target);
    }
    return listing;
}

void list_directory(AppContext& app, const std::string& directory) {
    // A copy: callers pass the browser's own directory.
    const std::string listed = directory;
    FileBrowserState& b = app.file_browser_state;
    const ListingRunner run = listing_runner ? listing_runner : run_ls;
    b.browser_entries = parse_ls_listing(run("ls", listing_arguments(listed)), b.browser_purpose);
    const size_t n = b.browser_entries.count();
    b.browser_selection.bits.assign(n, 0);
    b.browser_selection.selected_count = 0;
    b.browser_row_order.resize(n);
    std::iota(b.browser_row_order.begin(), b.browser_row_order.end(), 0);
    sort_browser_rows(b);

    b.browser_directory = listed;
    b.browser_path_parts = split(listed, '/');
    for (std::string& part : b.browser_path_parts) part.push_back('/');
    b.browser_list_scroll = 0.0;
    b.browser_path_scroll = 1.0;
    const int64_t height = static_cast<int64_t>(n) * app.ui_metrics.row_height;
    b.browser_list_content_height = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
    b.browser_highlight_refs = {nullptr, nullptr};

    build_path_bar(app);
    build_rows(app);
    app.browser_location_label.set_text(
        concat2("Location \t ", b.browser_path_parts.empty() ? std::string("?") : b.browser_path_parts.back()));
    app.browser_directory_label.extra_text = listed;
    show_listed_directory(app.browser_directory_label, app.browser_directory_label.width);
}

void on_layout_browser_directory(int32_t width, int32_t) {
    if (AppContext* app = app_instance) show_listed_directory(app->browser_directory_label, width);
}
