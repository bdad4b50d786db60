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

void open_export_dialog(AppContext&) { record("open_export_dialog"); }
void open_snapshot_dialog(AppContext&) { record("open_snapshot_dialog"); }
void open_screenshot_dialog(AppContext&) { record("open_screenshot_dialog"); }
void assemble_environment_action(AppContext&) { record("assemble_environment_action"); }
void update_tooltip_panel(AppContext&) {}

void request_new_environment(AppContext&) { record("request_new_environment"); }
void switch_to_pending_environment(AppContext& app) {
    record("switch_to_pending_environment", int_to_text(app.bars.pending_environment_index));
    app.bars.pending_environment_index = -1;
    app.bars.environment_switch_pending = 0;
}
void close_environment(AppContext&, int32_t index) { record("close_environment", int_to_text(index)); }
void delete_pending_entity(AppContext& app) {
    record("delete_pending_entity", int_to_text(app.dialogs.pending_delete_index));
    app.dialogs.pending_delete_index = -1;
}

int32_t on_drag_and_drop(PlatformListener*, int32_t, int32_t, const std::string& text) {
    record("on_drag_and_drop", text);
    return 0;
}
