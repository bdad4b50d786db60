#include "panes/menus/settings_fields.h"

#include <cmath>
#include <string>

#include "context/current_environment.h"
#include "panes/menus/eye_height.h"
#include "panes/menus/menu_support.h"
#include "text/number_scan.h"
#include "text/text_utils.h"

namespace {

const char* const invalid_title = "Warning: Invalid Numeric Literal";
const std::string not_modified = "\" caused a number parsing error.\n\nNote: the value has not been modified.";

std::string warning_suffix(SettingsField field) {
    switch (field) {
    case FIELD_WINDOW_WIDTH: return not_modified + "\n\nNote: the width dimension should be a positive integer.";
    case FIELD_WINDOW_HEIGHT: return not_modified + "\n\nNote: the height dimension should be a positive integer.";
    case FIELD_FRAME_RATE:
        return not_modified +
               "\n\nNote: the maximum framerate should be a positive, non-zero\ninteger or -1 (to signal an "
               "uncapped framerate).";
    case FIELD_MAX_CORES:
        return not_modified +
               "\n\nNote: the max-core count should be a positive non-zero integer\nwithin the range [1:8] "
               "inclusive.";
    case FIELD_EYE_HEIGHT:
        return not_modified + "\n\nNote: eye-heights can/may/typically range from 1.5 to 2.0 meters.";
    default: return not_modified;
    }
}

// Slider fields: index into the bar, range and the setting.
struct SliderSpec {
    double low, high;
    double IoSettings::*setting;
};
const SliderSpec slider_specs[4] = {{0.0, 1.0, &IoSettings::world_scale},
                                    {20.0, 160.0, &IoSettings::field_of_view},
                                    {0.0, 1.0, &IoSettings::light_intensity},
                                    {0.0, 1.0, &IoSettings::background_intensity}};

int32_t slider_index(SettingsField field) { return static_cast<int32_t>(field) - FIELD_WORLD_SCALE; }

// The text the field shows when it is not being edited.
std::string stored_text(AppContext& app, SettingsField field) {
    switch (field) {
    case FIELD_WINDOW_WIDTH: return int_to_text(app.frame.window_width);
    case FIELD_WINDOW_HEIGHT: return int_to_text(app.frame.window_height);
    case FIELD_FRAME_RATE: return int_to_text(app.io_settings.max_frame_rate);
    case FIELD_MAX_CORES: return int_to_text(app.bars.max_cores);
    case FIELD_EYE_HEIGHT: return app.tones.eye_height_text;
    default: return app.slider_value_texts[static_cast<size_t>(slider_index(field))];
    }
}

void refuse(AppContext& app, SettingsField field, const std::string& typed) {
    if (focus_element) focus_element->release_focus();
    settings_field(app, field).set_text(stored_text(app, field));
    call_hook(app.hooks.show_warning_box, app, std::string(invalid_title),
              "The character sequence: \"" + typed + warning_suffix(field));
}

bool accepted_int(SettingsField field, int32_t v) {
    switch (field) {
    case FIELD_FRAME_RATE: return v > 0 || v == -1;
    case FIELD_MAX_CORES: return v >= 1 && v <= 8;
    default: return v > 0;
    }
}

// The slider position of a setting value.
double slider_position(int32_t k, double v) {
    const SliderSpec& s = slider_specs[k];
    return (v - s.low) / (s.high - s.low);
}

void store_slider_setting(AppContext& app, int32_t k, double value) {
    app.io_settings.*slider_specs[k].setting = value;
    if (k == 1) app.camera.live_camera.fov = value;
}

void commit_integer(AppContext& app, SettingsField field, const std::string& typed) {
    int32_t v = 0;
    if (!scan_leading_int_any_base(typed, v) || !accepted_int(field, v)) {
        refuse(app, field, typed);
        return;
    }
    switch (field) {
    case FIELD_WINDOW_WIDTH:
    case FIELD_WINDOW_HEIGHT: {
        // The stored size follows when the platform reports the resize;
        // until then the field shows the size asked for, as a number, and
        // the report replaces it with the size given.
        const int i = field == FIELD_WINDOW_WIDTH ? 0 : 1;
        if (app.services.resize_window) {
            if (i == 0) app.services.resize_window(v, app.frame.window_height);
            else app.services.resize_window(app.frame.window_width, v);
            app.frame.size_field_texts[i] = int_to_text(v);
        } else {
            app.frame.size_field_texts[i] = stored_text(app, field);
        }
        settings_field(app, field).set_text(app.frame.size_field_texts[i]);
        redraw_and_refresh(app);
        break;
    }
    case FIELD_FRAME_RATE:
        app.io_settings.max_frame_rate = v;
        app.frame_rate_field.set_text(int_to_text(v));
        refresh_root(app);
        break;
    default:
        app.bars.max_cores = v;
        app.max_cores_field.set_text(int_to_text(v));
        if (focus_element) focus_element->release_focus();
        refresh_root(app);
        break;
    }
}

void commit_slider_field(AppContext& app, SettingsField field, double v) {
    const int32_t k = slider_index(field);
    const SliderSpec& s = slider_specs[k];
    TextField& text_field = settings_field(app, field);
    std::string& shown = app.slider_value_texts[static_cast<size_t>(k)];
    if (v >= s.low && v <= s.high) {
        // The number read, not what followed it.
        shown = double_to_text(v);
        text_field.set_text(shown);
        store_slider_setting(app, k, v);
        app.sliders[k].value = slider_position(k, v);
    } else {
        const double clamped = v > s.high ? s.high : s.low;
        shown = int_to_text(static_cast<int32_t>(clamped));
        text_field.set_text(shown);
        store_slider_setting(app, k, clamped);
        app.sliders[k].value = v > s.high ? 1.0 : 0.0;
        text_field.update_caret();
    }
    app.sliders[k].relayout();
    redraw_and_refresh(app);
}

}  // namespace

TextField& settings_field(AppContext& app, SettingsField field) {
    switch (field) {
    case FIELD_WINDOW_WIDTH: return app.window_width_field;
    case FIELD_WINDOW_HEIGHT: return app.window_height_field;
    case FIELD_FRAME_RATE: return app.frame_rate_field;
    case FIELD_MAX_CORES: return app.max_cores_field;
    case FIELD_EYE_HEIGHT: return app.eye_height_field;
    default: return app.slider_fields[slider_index(field) & 3];
    }
}

void commit_settings_field(AppContext& app, SettingsField field) {
    if (field < 0 || field >= SETTINGS_FIELD_COUNT) return;
    const std::string typed = settings_field(app, field).text;
    if (field <= FIELD_MAX_CORES) {
        commit_integer(app, field, typed);
        return;
    }
    double v = 0.0;
    if (!scan_leading_double(typed, v) || !std::isfinite(v)) {
        refuse(app, field, typed);
        return;
    }
    if (field == FIELD_EYE_HEIGHT) {
        set_eye_height(app, double_to_text(v), v);
        app.eye_height_field.set_text(app.tones.eye_height_text);
        refresh_root(app);
        return;
    }
    commit_slider_field(app, field, v);
}

void sync_settings_field(AppContext& app, SettingsField field) {
    if (field < 0 || field >= SETTINGS_FIELD_COUNT) return;
    settings_field(app, field).set_text(stored_text(app, field));
    refresh_root(app);
}

void apply_slider_value(AppContext& app, int32_t k, double v) {
    if (k < 0 || k > 3) return;
    const SliderSpec& s = slider_specs[k];
    const double value = s.low + v * (s.high - s.low);
    store_slider_setting(app, k, value);
    const std::string text = k == 1 ? int_to_text(truncate_to_int(value)) : double_to_text_fixed(value, 2);
    app.slider_value_texts[static_cast<size_t>(k)] = text;
    app.slider_fields[k].set_text(text);
    redraw_and_refresh(app);
}

namespace {
void commit_on_published(SettingsField field) {
    if (AppContext* app = app_instance) commit_settings_field(*app, field);
}
void sync_on_published(SettingsField field) {
    if (AppContext* app = app_instance) sync_settings_field(*app, field);
}
void slide_on_published(int32_t k, double v) {
    if (AppContext* app = app_instance) apply_slider_value(*app, k, v);
}
}  // namespace

void commit_window_width_field() { commit_on_published(FIELD_WINDOW_WIDTH); }
void commit_window_height_field() { commit_on_published(FIELD_WINDOW_HEIGHT); }
void commit_max_framerate_field() { commit_on_published(FIELD_FRAME_RATE); }
void commit_cores_field() { commit_on_published(FIELD_MAX_CORES); }
void commit_eye_height_field() { commit_on_published(FIELD_EYE_HEIGHT); }
void commit_world_scale_field() { commit_on_published(FIELD_WORLD_SCALE); }
void commit_field_of_view_field() { commit_on_published(FIELD_FIELD_OF_VIEW); }
void commit_light_intensity_field() { commit_on_published(FIELD_LIGHT_INTENSITY); }
void commit_background_intensity_field() { commit_on_published(FIELD_BACKGROUND_INTENSITY); }
void sync_window_width_field() { sync_on_published(FIELD_WINDOW_WIDTH); }
void sync_window_height_field() { sync_on_published(FIELD_WINDOW_HEIGHT); }
void sync_max_framerate_field() { sync_on_published(FIELD_FRAME_RATE); }
void sync_cores_field() { sync_on_published(FIELD_MAX_CORES); }
void sync_eye_height_field() { sync_on_published(FIELD_EYE_HEIGHT); }
void sync_world_scale_field() { sync_on_published(FIELD_WORLD_SCALE); }
void sync_field_of_view_field() { sync_on_published(FIELD_FIELD_OF_VIEW); }
void sync_light_intensity_field() { sync_on_published(FIELD_LIGHT_INTENSITY); }
void sync_background_intensity_field() { sync_on_published(FIELD_BACKGROUND_INTENSITY); }
void set_world_scale(double v) { slide_on_published(0, v); }
void set_field_of_view(double v) { slide_on_published(1, v); }
void set_light_intensity(double v) { slide_on_published(2, v); }
void set_background_intensity(double v) { slide_on_published(3, v); }
