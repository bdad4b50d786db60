#include "panes/environment_load_standins.h"

#include <string>

#include "app/app_context.h"
#include "text/text_utils.h"

namespace {

void record(const char* name, int64_t value) { record_standin_call(std::string(name) + ": " + long_to_text(value)); }

}  // namespace

void apply_ui_theme(AppContext& app, int32_t index) {
    record("apply_ui_theme", index);
    if (index >= 0 && index <= 4) app.frame.theme_index = index;
}

void select_view_menu(AppContext& app, int32_t menu) {
    record("select_view_menu", menu);
    if (menu >= 0 && menu < VIEW_MENU_COUNT) app.ui_flags.open_view_menu = menu;
}
