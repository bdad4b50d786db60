#include "app/app_context.h"

void refresh_interface(AppContext& app) {
    ++app.interface_refresh_count;
}

Camera constructed_live_camera() {
    Camera camera;
    update_camera_basis(camera);
    return camera;
}
