#include "panes/display_setter_standins.h"

#include "app/app_context.h"
#include "text/text_utils.h"

void set_v_flip_mode(AppContext& app, bool on) {
    record_standin_call(on ? "set_v_flip_mode: 1" : "set_v_flip_mode: 0");
    app.ui_flags.v_flip_mode = on ? 1 : 0;
}
void set_frame_mode(AppContext& app, bool on) {
    record_standin_call(on ? "set_frame_mode: 1" : "set_frame_mode: 0");
    app.ui_flags.frame_mode = on ? 1 : 0;
}
void set_eye_height(AppContext& app, const std::string& text, double value) {
    record_standin_call("set_eye_height: " + text);
    app.tones.eye_height_value = value;
    app.tones.eye_height_text = text;
}
bool accept_left_button_only(int32_t, int32_t, int32_t button) { return button == 0; }
