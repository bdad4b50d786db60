#pragma once
#include <cstdint>

struct AppContext;
struct TextField;

// The numeric settings fields and the slider bar. Enter commits the typed
// text, read as formatted input reads "%i" or "%lf" in any locale; text that
// is no number, or a size, frame rate or core count out of range, raises
// the warning box quoting what was typed and changes nothing (the field
// shows the stored value again). Slider fields clamp to their range.
enum SettingsField : int32_t {
    FIELD_WINDOW_WIDTH = 0,
    FIELD_WINDOW_HEIGHT,
    FIELD_FRAME_RATE,
    FIELD_MAX_CORES,
    FIELD_EYE_HEIGHT,
    FIELD_WORLD_SCALE,
    FIELD_FIELD_OF_VIEW,
    FIELD_LIGHT_INTENSITY,
    FIELD_BACKGROUND_INTENSITY,
    SETTINGS_FIELD_COUNT
};

TextField& settings_field(AppContext& app, SettingsField field);
void commit_settings_field(AppContext& app, SettingsField field);
// Shows the stored value again.
void sync_settings_field(AppContext& app, SettingsField field);
// Slider k of the bar (0 world scale, 1 field of view, 2 light intensity,
// 3 background intensity) moved to v in [0, 1].
void apply_slider_value(AppContext& app, int32_t k, double v);

// Bound callbacks on the published context.
void commit_window_width_field();
void commit_window_height_field();
void commit_max_framerate_field();
void commit_cores_field();
void commit_eye_height_field();
void commit_world_scale_field();
void commit_field_of_view_field();
void commit_light_intensity_field();
void commit_background_intensity_field();
void sync_window_width_field();
void sync_window_height_field();
void sync_max_framerate_field();
void sync_cores_field();
void sync_eye_height_field();
void sync_world_scale_field();
void sync_field_of_view_field();
void sync_light_intensity_field();
void sync_background_intensity_field();
void set_world_scale(double v);
void set_field_of_view(double v);
void set_light_intensity(double v);
void set_background_intensity(double v);
