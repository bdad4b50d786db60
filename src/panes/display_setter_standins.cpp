#include "panes/display_setter_standins.h"

#include "app/app_context.h"

void set_eye_height(AppContext& app, const std::string& text, double value) {
    record_standin_call("set_eye_height: " + text);
    app.tones.eye_height_value = value;
    app.tones.eye_height_text = text;
}
