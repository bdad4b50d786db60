#include "panes/popups/message_boxes.h"

#include "context/app_context.h"
#include "ui/element.h"

namespace {

enum MessageKind { MESSAGE_INFO = 0, MESSAGE_ERROR = 1, MESSAGE_WARNING = 2 };

void show_box(AppContext& app, MessageKind kind, int32_t flag, Element& pane, const std::string& title,
              const std::string& text) {
    Element& title_label = app.message_titles[kind];
    Element& text_label = app.message_texts[kind];
    title_label.set_text(title);
    // The box is as wide as every popup (the overlay places it so); its text
    // breaks at blanks to fit inside the padding, so no word is cut off.
    const int32_t room = app.ui_metrics.popup_width - text_label.padding_left - text_label.padding_right;
    text_label.set_text(wrap_text(text_label.typeface, text, room));
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
