#include "panes/environments/viewport_cells.h"

#include <algorithm>

#include "context/app_context.h"
#include "panes/environments/environment_tabs.h"
#include "model/camera.h"

namespace {

constexpr size_t kState = CAMERA_STATE_SIZE;

bool valid_cell(const Viewport& vp, int32_t k) { return k >= 0 && k < vp.cell_count; }

// Loads the live camera from cell k's state: the active controller's eye
// and look-at, the orbit, and every controller's saved eye and look-at.
void load_cell_camera(AppContext& app, int32_t k) {
    const Viewport& vp = app.multi_view_viewport;
    const size_t at = static_cast<size_t>(k) * kState;
    if (vp.cell_cameras.size() < at + kState) return;
    const double* s = vp.cell_cameras.data() + at;
    CameraState& cam = app.camera;
    const int32_t c = cam.camera_controller;
    if (c >= 0 && c <= 2) {
        std::copy(s + 6 * c, s + 6 * c + 3, cam.live_camera.eye.begin());
        std::copy(s + 6 * c + 3, s + 6 * c + 6, cam.live_camera.look_at.begin());
    }
    cam.orbit_distance = s[18];
    cam.orbit_angle_x = s[19];
    cam.orbit_angle_y = s[20];
    cam.orbit_angle_z = s[21];
    for (size_t j = 0; j < 3; ++j) {
        std::copy(s + 6 * j, s + 6 * j + 3, cam.controller_cameras[j].eye.begin());
        std::copy(s + 6 * j + 3, s + 6 * j + 6, cam.controller_cameras[j].look_at.begin());
    }
}

}  // namespace

void split_viewport_cell(AppContext& app, char axis) {
    Viewport& vp = app.multi_view_viewport;
    const int32_t c = vp.hovered_cell;
    if (valid_cell(vp, c) && vp.cell_cameras.size() >= static_cast<size_t>(c + 1) * kState) {
        if (vp.current_cell > c) ++vp.current_cell;
        // The new cell c + 1 starts with a copy of its parent's state.
        const auto from = vp.cell_cameras.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(c) * kState);
        const std::vector<double> parent(from, from + static_cast<std::ptrdiff_t>(kState));
        vp.cell_cameras.insert(vp.cell_cameras.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(c + 1) * kState),
                               parent.begin(), parent.end());
        vp.split_cell(c, axis, true, true, 0.5);
    }
    notify_environment_change(app);
}

void close_viewport_cell(AppContext& app) {
    Viewport& vp = app.multi_view_viewport;
    const int32_t c = vp.hovered_cell;
    const int32_t live_on_entry = vp.current_cell;
    const int32_t recorded = std::min<int32_t>(
        {vp.recorded_split_count, static_cast<int32_t>(vp.recorded_cells.size()),
         static_cast<int32_t>(vp.recorded_axes.size()), static_cast<int32_t>(vp.recorded_ratios.size())});
    const int32_t s = valid_cell(vp, c) && static_cast<size_t>(c) < vp.cell_split_index.size()
                          ? vp.cell_split_index[static_cast<size_t>(c)]
                          : -1;
    if (valid_cell(vp, c) && vp.cell_count > 1 && s >= 0 && s < recorded) {
        const size_t at = static_cast<size_t>(c) * kState;
        if (vp.cell_cameras.size() >= at + kState)
            vp.cell_cameras.erase(vp.cell_cameras.begin() + static_cast<std::ptrdiff_t>(at),
                                  vp.cell_cameras.begin() + static_cast<std::ptrdiff_t>(at + kState));
        // Later splits keep the cell numbers they would have had without
        // the removed one.
        int32_t cut_off = vp.recorded_cells[static_cast<size_t>(s)];
        for (int32_t j = s + 1; j < recorded; ++j) {
            const int32_t cell = vp.recorded_cells[static_cast<size_t>(j)];
            if (cell > cut_off) vp.recorded_cells[static_cast<size_t>(j)] = cell - 1;
            if (cell <= cut_off) ++cut_off;
        }
        const auto erase_at = [s](auto& list) { list.erase(list.begin() + s); };
        erase_at(vp.recorded_cells);
        erase_at(vp.recorded_axes);
        erase_at(vp.recorded_ratios);
        vp.recorded_split_count = recorded - 1;
        if (vp.current_cell == c) vp.current_cell = 0;
        else if (vp.current_cell > c) --vp.current_cell;
        vp.hovered_cell = -1;
        vp.rebuild_from_record();
        vp.layout_cells();
    }
    if (live_on_entry == c && valid_cell(vp, vp.current_cell)) {
        load_cell_camera(app, vp.current_cell);
        update_camera_basis(app.camera.live_camera);
    }
    notify_environment_change(app);
}
