#include "render/status_line.h"

#include "context/app_context.h"
#include "context/current_environment.h"
#include "render/redraw.h"
#include "text/text_utils.h"
#include "ui/element.h"
#include "ui/ui_state.h"

FrameTimeRing FRAME_TIME_RING;

void push_frame_time(FrameTimeRing& ring, int64_t duration_ns) {
    const size_t n = ring.durations_ns.size();
    const size_t at = ring.next >= 0 && static_cast<size_t>(ring.next) < n ? static_cast<size_t>(ring.next) : 0;
    ring.durations_ns[at] = duration_ns;
    ring.next = static_cast<int32_t>((at + 1) % n);
}

void reset_frame_time_ring() { FRAME_TIME_RING = FrameTimeRing(); }

namespace {

std::string fixed2(double value) { return double_to_text_fixed(value, 2); }

std::string triple(const std::string& name, double a, double b, double c) {
    return name + "(" + fixed2(a) + "," + fixed2(b) + "," + fixed2(c) + ")";
}

// 0 dark group, 1 light group, -1 neither.
int theme_group(int32_t theme_index) {
    switch (theme_index) {
    case 0:
    case 3:
    case 4:
        return 0;
    case 1:
    case 2:
        return 1;
    default:
        return -1;
    }
}

}  // namespace

void update_attribute_trace(AppContext& app) {
    std::string line;
    const size_t env = static_cast<size_t>(app.entities.environment_index);
    const std::vector<std::string>& names = app.entities.environment_names;
    if (app.entities.environment_index >= 0 && env < names.size()) line = names[env];
    const int32_t count = app.entities.current_entities ? app.entities.current_entities->count : 0;
    line += " | " + int_to_text(count) + (count == 1 ? " entity" : " entities");

    const Camera& c = app.camera.live_camera;
    const std::string size = " | " + int_to_text(app.frame.window_width) + " x " + int_to_text(app.frame.window_height);
    const std::string fwd = " | " + triple("fwd", c.forward[0], c.forward[1], c.forward[2]);
    switch (app.camera.camera_controller) {
    case 0:
        line += size + " | object-orbit | zoom(" + double_to_text(100.0 * app.camera.orbit_distance) + "%) | euler(" +
                double_to_text(app.camera.orbit_angle_x) + "," + double_to_text(app.camera.orbit_angle_y) + "," +
                double_to_text(app.camera.orbit_angle_z) + ")";
        break;
    case 1:
        line += size + " | free-roam | " + triple("eye", c.eye[0], c.eye[1], c.eye[2]) + fwd;
        break;
    case 2:
        line += size + " | first-person | " + triple("eye", c.eye[0], c.eye_height, c.eye[2]) + fwd;
        break;
    default:
        break;
    }
    app.status.attribute_trace_text = line;
    Element& label = app.status_label;
    label.set_text(line);
    label.x = 0;
    label.width = label.text_width + 2 * app.ui_metrics.ui_padding;
    label.height = app.ui_metrics.bar_height;
    app.io_settings.status_text_width = label.text_width;
}

FrameRateReadout compose_frame_rate_readout(double ms, int32_t theme_index, uint32_t text_rgba,
                                            uint32_t shape_rgba) {
    FrameRateReadout r;
    r.text_rgba = text_rgba;
    r.shape_rgba = shape_rgba;
    const int group = theme_group(theme_index);
    if (ms > 1e-5) {
        r.fps = 1000.0 / ms;
        if (group >= 0) {
            static const uint32_t grades[2][4] = {{0xFF2080FFu, 0xFF40C020u, 0xFFF0C000u, 0xFFE02000u},
                                                  {0xFF1080E0u, 0xFF20A020u, 0xFFC08000u, 0xFFC02000u}};
            const double f = r.fps;
            r.text_rgba = f >= 120.0 ? grades[group][0]
                          : f >= 60.0 ? grades[group][1]
                          : f >= 10.0 ? grades[group][2]
                          : f >= 0.0  ? grades[group][3]
                                      : 0xFF808080u;
        }
    } else if (group >= 0) {
        r.text_rgba = 0xFF808080u;
    }
    if (group >= 0) r.shape_rgba = group == 0 ? 0x40000000u : 0x80FFFFFFu;
    r.text = (r.fps > 0.0 ? double_to_text_fixed(r.fps, 1) : std::string("?")) + " fps (" +
             double_to_text_fixed(ms, 1) + " ms)";
    return r;
}

void update_fps_readout(AppContext& app) {
    if (!app.io_settings.show_frame_rate) return;
    double ms = 0.0;
    for (int64_t ns : FRAME_TIME_RING.durations_ns) ms += (static_cast<double>(ns) / 1e6) * 0.1;
    Element& label = app.frame_rate_label;
    const FrameRateReadout r = compose_frame_rate_readout(ms, app.frame.theme_index, label.text_rgba, label.shape_rgba);
    label.text_rgba = r.text_rgba;
    label.shape_rgba = r.shape_rgba;
    label.set_text(r.text);
}

void show_window_size_in_fields(AppContext& app) {
    // A field being typed in keeps what the user typed; one that shows
    // what was committed in it takes the size the platform gave.
    TextField* fields[2] = {&app.window_width_field, &app.window_height_field};
    const int32_t sizes[2] = {app.frame.window_width, app.frame.window_height};
    for (int i = 0; i < 2; ++i) {
        if (focus_element == fields[i] && fields[i]->text != app.frame.size_field_texts[i]) continue;
        const std::string text = int_to_text(sizes[i]);
        if (fields[i]->text != text) fields[i]->set_text(text);
        app.frame.size_field_texts[i] = text;
    }
}

bool on_viewport_resized(AppContext& app, int32_t width, int32_t height) {
    app.frame.window_width = width;
    app.frame.window_height = height;
    app.width = width;
    app.height = height;
    app.small_window_notice.visible = small_window_notice_wanted(width, height, app.ui_flags.layout_mode_flags[0]);
    call_hook(app.hooks.app_apply_display_options, app, width, height);
    update_attribute_trace(app);
    show_window_size_in_fields(app);
    request_redraw(app);
    return true;
}

bool on_viewport_resized(int32_t width, int32_t height) {
    AppContext* app = app_instance;
    return app ? on_viewport_resized(*app, width, height) : false;
}

void set_full_screen(AppContext& app, bool on) {
    app.frame.full_screen = on ? 1 : 0;
    app.camera.camera_drag.camera_drag_active = false;
    if (app.services.set_fullscreen) app.services.set_fullscreen(on);
    update_attribute_trace(app);
    request_redraw(app);
    for (Element* e : {static_cast<Element*>(&app.BORDER), static_cast<Element*>(&app.window_width_field),
                       static_cast<Element*>(&app.window_height_field)})
        e->visible = !on;
    refresh_root(app);
}

void install_status_line_hooks(AppHooks& hooks) { hooks.update_attribute_trace = update_attribute_trace; }
