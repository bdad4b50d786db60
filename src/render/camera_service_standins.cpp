#include "render/camera_service_standins.h"

#include "app/app_context.h"
#include "text/text_utils.h"

void set_camera_controller(AppContext& app, int32_t controller) {
    record_standin_call("set_camera_controller: " + int_to_text(controller));
    app.camera.camera_controller = controller;
}
void save_cell_camera_state(AppContext&) { record_standin_call("save_cell_camera_state"); }
void reset_view(AppContext&) { record_standin_call("reset_view"); }
void view_top(AppContext&) { record_standin_call("view_top"); }
void view_base(AppContext&) { record_standin_call("view_base"); }
void view_left(AppContext&) { record_standin_call("view_left"); }
void view_right(AppContext&) { record_standin_call("view_right"); }
void view_front(AppContext&) { record_standin_call("view_front"); }
void view_back(AppContext&) { record_standin_call("view_back"); }
void update_fps_readout(AppContext&) { record_standin_call("update_fps_readout"); }
void set_full_screen(AppContext& app, bool on) {
    record_standin_call(on ? "set_full_screen: 1" : "set_full_screen: 0");
    app.frame.full_screen = on ? 1 : 0;
}
