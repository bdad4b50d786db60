#include "panes/menus/eye_height.h"

#include "context/app_context.h"

void set_eye_height(AppContext& app, const std::string& text, double value) {
    app.tones.eye_height_value = value;
    app.tones.eye_height_text = text;
    app.camera.live_camera.eye_height = value;
    CameraSlot& saved = app.camera.controller_cameras[CAMERA_FIRST_PERSON];
    saved.look_at[1] += value - saved.eye[1];
    saved.eye[1] = value;
    if (app.camera.camera_controller == CAMERA_FIRST_PERSON) {
        Camera& live = app.camera.live_camera;
        live.look_at[1] += value - live.eye[1];
        live.eye[1] = value;
        app.frame.needs_redraw = 1;
    }
    refresh_root(app);
}
