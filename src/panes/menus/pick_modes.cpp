#include "panes/menus/pick_modes.h"

#include <cstdio>
#include <string>

#include "context/current_environment.h"
#include "model/view_state.h"
#include "panes/menus/menu_support.h"
#include "panes/popups/report_views.h"
#include "text/text_utils.h"

void set_pick_mode(AppContext& app, int32_t index) {
    if (index < 0 || index > 6) return;
    const char key = pick_mode_keys[index];
    const std::string tag = std::string("PICK-MODE:") + key + "\n";
    std::fwrite(tag.data(), 1, tag.size(), stdout);
    std::fflush(stdout);
    Element& trace = app.canvas_pick_area;
    if (index == 0) {
        trace.tooltip_title = nullptr;
        trace.tooltip_text = nullptr;
        trace.tooltip_icon = -1;
    } else {
        trace.tooltip_title = app.bars.llmi_labels[0].c_str();
        trace.tooltip_text = app.bars.llmi_labels[1].c_str();
        trace.tooltip_icon = 6;
    }
    for (int32_t i = 0; i < 7; ++i) app.pick_key_buttons[i].selected = i == index;
    app.bars.llmi_pick_key = key;
    app.llmi_caption.set_text(pick_mode_label(key));
    place_hint_cells(app);
    redraw_and_refresh(app);
}

std::string pick_mode_label(char key) {
    return pick_key_button_index(key) > 0 ? std::string(1, key) : std::string();
}

namespace {

void toggle_run_option(AppContext& app, uint8_t& flag, Element& button, const char* caption) {
    flag = flipped(flag);
    button.selected = flag != 0;
    button.typeface = &typefaces[flag ? 4 : 3];
    button.set_text(caption);
    refresh_root(app);
}

void cycle_tone(AppContext& app, int32_t& tone, Element& label, bool drawn) {
    tone = next_tone(tone);
    label.set_text(int_to_text(tone));
    if (drawn) app.frame.needs_redraw = 1;
    refresh_root(app);
}

}  // namespace

void toggle_reassembly_culling(AppContext& app) {
    toggle_run_option(app, app.io_settings.reassembly_culling, app.culling_toggle, "CULLING");
}
void toggle_assembly_profiling(AppContext& app) {
    toggle_run_option(app, app.io_settings.assembly_profiling, app.profiler_toggle, "PROFILER");
}

int32_t next_tone(int32_t tone) {
    switch (tone) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 4: return 6;
    case 6: return 7;
    case 7: return 8;
    default: return 0;
    }
}

void cycle_mono_edge_tone(AppContext& app) {
    const RenderFlags& r = app.render_flags;
    cycle_tone(app, app.tones.mono_edge_tone, app.mono_edge_tone_button, r.show_any_edges && r.mono_edges);
}
void cycle_mono_dot_tone(AppContext& app) {
    const RenderFlags& r = app.render_flags;
    cycle_tone(app, app.tones.mono_dot_tone, app.mono_dot_tone_button, r.show_points && r.mono_dots);
}
void cycle_silhouette_tone(AppContext& app) {
    cycle_tone(app, app.tones.silhouette_tone, app.silhouette_tone_button,
               app.io_settings.render_pipeline == 1 && app.render_flags.glsl_silhouette);
}

namespace {
template <void (*action)(AppContext&)>
void on_published() {
    if (AppContext* app = app_instance) action(*app);
}
void pick(int32_t index) {
    if (AppContext* app = app_instance) set_pick_mode(*app, index);
}
}  // namespace

void set_pick_mode_none() { pick(0); }
void set_pick_mode_triangle() { pick(1); }
void set_pick_mode_polygon() { pick(2); }
void set_pick_mode_gouraud_group() { pick(3); }
void set_pick_mode_operand() { pick(4); }
void set_pick_mode_entity() { pick(5); }
void set_pick_mode_user_defined() { pick(6); }
void toggle_reassembly_culling() { on_published<toggle_reassembly_culling>(); }
void toggle_assembly_profiling() { on_published<toggle_assembly_profiling>(); }
void on_mono_edge_tone() { on_published<cycle_mono_edge_tone>(); }
void on_mono_edge_tone_b() { on_published<cycle_mono_edge_tone>(); }
void on_mono_dot_tone() { on_published<cycle_mono_dot_tone>(); }
void on_mono_dot_tone_b() { on_published<cycle_mono_dot_tone>(); }
void on_silhouette_tone() { on_published<cycle_silhouette_tone>(); }
void on_silhouette_tone_b() { on_published<cycle_silhouette_tone>(); }
