#include "panes/popups/message_boxes.h"

#include "context/app_context.h"
#include "panes/layout/pane_layouts.h"
#include "panes/popups/popups.h"
#include "ui/element.h"
#include "ui/ui_state.h"

namespace {

enum MessageKind { MESSAGE_INFO = 0, MESSAGE_ERROR = 1, MESSAGE_WARNING = 2 };

void show_box(AppContext& app, MessageKind kind, int32_t flag, const std::string& title, const std::string& text) {
    app.message_titles[kind].set_text(title);
    // The text breaks at blanks to fit inside the box's padding, so no word
    // is cut off; the box grows to show it whole, and a text taller than
    // the window scrolls from its start.
    app.message_sources[kind].text = text;
    app.message_sources[kind].wrapped_at = -1;
    app.message_scrolls[kind].scroll_y = 0.0;
    fit_message_box(app, kind, app.width, app.height);
    app.pane_open_flags[flag] = 1;
    // The box on top takes the input: no click reaches the panes beneath,
    // and no text field beneath keeps the keys.
    raise_message_box(app, flag);
    if (focus_element != nullptr) focus_element->release_focus();
    app.OVERLAY.visible = true;
    app.MASKPANE.visible = true;
    refresh_root(app);
}

}  // namespace

void show_info_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_INFO, PANE_INFO, title, text);
}

void show_error_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_ERROR, PANE_ERROR, title, text);
}

void show_warning_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_WARNING, PANE_WARNING, title, text);
}
