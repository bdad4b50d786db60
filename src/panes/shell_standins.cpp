#include "panes/shell_standins.h"

#include "app/app_context.h"
#include "panes/popups.h"
#include "text/text_utils.h"

namespace {
void record(const char* name) { record_standin_call(name); }
void record(const char* name, const std::string& detail) { record_standin_call(std::string(name) + ": " + detail); }
}  // namespace

void file_browser_select_previous(AppContext&) { record("file_browser_select_previous"); }
void file_browser_select_next(AppContext&) { record("file_browser_select_next"); }
void file_browser_page_up(AppContext&) { record("file_browser_page_up"); }
void file_browser_page_down(AppContext&) { record("file_browser_page_down"); }
void file_browser_select_first(AppContext&) { record("file_browser_select_first"); }
void file_browser_select_last(AppContext&) { record("file_browser_select_last"); }

void delete_pending_entity(AppContext& app) {
    record("delete_pending_entity", int_to_text(app.dialogs.pending_delete_index));
    app.dialogs.pending_delete_index = -1;
}

int32_t on_drag_and_drop(PlatformListener*, int32_t, int32_t, const std::string& text) {
    record("on_drag_and_drop", text);
    return 0;
}
