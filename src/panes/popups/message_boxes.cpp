#include "panes/popups/message_boxes.h"

#include "context/app_context.h"
#include "panes/layout/pane_layouts.h"
#include "ui/element.h"

namespace {

enum MessageKind { MESSAGE_INFO = 0, MESSAGE_ERROR = 1, MESSAGE_WARNING = 2 };

void show_box(AppContext& app, MessageKind kind, int32_t flag, Element& pane, const std::string& title,
              const std::string& text) {
    app.message_titles[kind].set_text(title);
    // The text breaks at blanks to fit inside the box's padding, so no word
    // is cut off; the box grows to show it whole, and a text taller than
    // the window scrolls from its start.
    app.message_sources[kind].text = text;
    app.message_sources[kind].wrapped_at = -1;
    app.message_scrolls[kind].scroll_y = 0.0;
    fit_message_box(app, kind, app.width, app.height);
    app.pane_open_flags[flag] = 1;
    if (kind == MESSAGE_WARNING && app.pane_open_flags[PANE_FILE]) app.message_mask.visible = true;
    pane.visible = true;
    app.OVERLAY.visible = true;
    app.MASKPANE.visible = true;
    refresh_root(app);
}

}  // namespace

void show_info_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_INFO, PANE_INFO, app.INFOPANE, title, text);
}

void show_error_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_ERROR, PANE_ERROR, app.ERRORPANE, title, text);
}

void show_warning_box(AppContext& app, const std::string& title, const std::string& text) {
    show_box(app, MESSAGE_WARNING, PANE_WARNING, app.WARNINGPANE, title, text);
}
