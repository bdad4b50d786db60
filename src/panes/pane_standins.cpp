#include "panes/pane_standins.h"

#include "text/text_utils.h"

namespace {

void show_info_box(AppContext&, const std::string& title, const std::string& text) {
    record_standin_call("show_info_box: " + title + "\n" + text);
}
}  // namespace

void install_pane_standins(AppHooks& hooks) {
    hooks.show_info_box = show_info_box;
}

