#include "model/view_state.h"

#include <algorithm>

// The first `count` values of `from`, zero-padded: the menus always have
// exactly that many strips.
static std::vector<double> exactly(const std::vector<double>& from, size_t count) {
    std::vector<double> values(count, 0.0);
    std::copy_n(from.begin(), std::min(count, from.size()), values.begin());
    return values;
}

static bool controller_in_range(int32_t controller) { return controller >= 0 && controller < 3; }

void save_view_state(EnvironmentViewState& stored, EnvironmentViewState& live, const CameraSlot& live_camera) {
    if (controller_in_range(live.camera_controller)) {
        CameraSlot& slot = live.camera_slots[static_cast<size_t>(live.camera_controller)];
        slot.eye = live_camera.eye;
        slot.look_at = live_camera.look_at;
        slot.up = live_camera.up;
        slot.field_of_view = live_camera.field_of_view;
        slot.near_plane = live_camera.near_plane;
        slot.far_plane = live_camera.far_plane;
    }
    if (&stored == &live) return;
    stored = live;
    stored.view_menu_scrolls = exactly(live.view_menu_scrolls, VIEW_MENU_COUNT);
    stored.settings_menu_scrolls = exactly(live.settings_menu_scrolls, SETTINGS_MENU_COUNT);
}

void restore_view_state(const EnvironmentViewState& stored, EnvironmentViewState& live, CameraSlot& live_camera,
                        const ViewRestoreDefaults& defaults) {
    if (&stored == &live) return;
    // Fields that are saved only: the caller rebuilds them after a restore.
    EnvironmentViewState previous = std::move(live);
    live = stored;
    live.status_text = std::move(previous.status_text);
    live.camera_directives_shown = previous.camera_directives_shown;
    live.directive_table = std::move(previous.directive_table);
    live.variant_selector_shown = previous.variant_selector_shown;
    live.variant_table = std::move(previous.variant_table);
    live.animation_track_count = previous.animation_track_count;

    live.view_menu_scrolls = exactly(stored.view_menu_scrolls, VIEW_MENU_COUNT);
    live.settings_menu_scrolls = exactly(stored.settings_menu_scrolls, SETTINGS_MENU_COUNT);

    // The viewport is rebuilt by replaying the splits: one cell per split
    // more than the single starting cell.
    const size_t splits = std::min({static_cast<size_t>(std::max(stored.viewport_split_count, 0)),
                                    stored.viewport_split_cells.size(), stored.viewport_split_axes.size(),
                                    stored.viewport_split_ratios.size()});
    live.viewport_split_count = static_cast<int32_t>(splits);
    live.viewport_split_cells.resize(splits);
    live.viewport_split_axes.resize(splits);
    live.viewport_split_ratios.resize(splits);
    live.viewport_cell_count = 1 + static_cast<int32_t>(splits);

    if (live.browser_directory.empty()) live.browser_directory = defaults.workspace_path;

    const MenuCheckStates& view_checks =
        stored.view_menu_check_states.empty() ? defaults.view_menu_check_states : stored.view_menu_check_states;
    live.view_menu_check_states = view_checks.size() == static_cast<size_t>(VIEW_MENU_COUNT)
                                      ? view_checks
                                      : std::move(previous.view_menu_check_states);
    const MenuCheckStates& settings_checks = stored.settings_menu_check_states.empty()
                                                 ? defaults.settings_menu_check_states
                                                 : stored.settings_menu_check_states;
    live.settings_menu_check_states = settings_checks.size() == static_cast<size_t>(SETTINGS_MENU_COUNT)
                                          ? settings_checks
                                          : std::move(previous.settings_menu_check_states);

    if (controller_in_range(live.camera_controller))
        live_camera = live.camera_slots[static_cast<size_t>(live.camera_controller)];
}

int32_t pick_key_button_index(char key) {
    static const char keys[7] = {'!', 'T', 'P', 'G', 'O', 'E', 'U'};
    for (int32_t i = 0; i < 7; ++i) {
        if (keys[i] == key) return i;
    }
    return -1;
}
