#pragma once
#include <cstdint>

#include "ui/element.h"
#include "ui/layouts.h"

// Whole-window layout: every top-level rectangle from the window size, the
// interface metrics and the display flags. Pure arithmetic on elements; the
// context binds its members and flags in layout_app_interface.

struct WindowMetrics {
    int32_t menu_half_width = 56;   // T
    int32_t icon_button_size = 56;  // N
    int32_t row_height = 32;        // R
    int32_t bar_height = 24;        // S
    int32_t ui_padding = 8;         // M
    int32_t side_pane_width = 256;  // P
    int32_t thick_border = 2;
    int32_t thin_border = 1;
    int32_t popup_width = 512;
    int32_t popup_height = 368;
};

// The flags and counts the window layout reads.
struct WindowFlags {
    bool side_pane_open = false;
    bool settings_menu_shown = false;
    int32_t open_settings_menu = -1;
    bool slider_bar_shown = false;
    bool camera_locked = false;
    bool v_flip_mode = false;
    bool frame_mode = false;
    bool ui_hidden = false;
    bool minimal_layout = false;
    int32_t colour_mode = 0;
    int32_t camera_controller = 1;
    bool show_camera_directives = true;
    int32_t camera_directive_count = 0;
    bool camera_directive_goto = false;
    bool show_variant_selector = true;
    int32_t variant_count = 0;
    bool variant_bar_expanded = false;
    bool show_animator = true;
    int32_t animation_count = 0;
    bool show_parallel_flags = true;
    bool parallel_flags_expanded = false;
    bool show_ll_inspector = true;
    bool ll_inspector_expanded = false;
    bool hidden_ui_controls = true;
};

// Quantities derived from size, metrics and flags at the start of a layout.
struct WindowTerms {
    int32_t left = 0;            // L: left edge of the content area
    int32_t right_reserve = 0;   // X: options menu bar width
    int32_t bars_right = 0;      // E = W - X
    int32_t content_width = 0;   // CW
    int32_t content_height = 0;  // CH
    int32_t directive_width = 0; // D
    int32_t lock_size = 0;       // Q
    int32_t variant_height = 0;  // V
    int32_t parallel_width = 0;  // G
    int32_t llmi_width = 0;      // K
    bool variants_shown = false;
    bool animator_shown = false;
    bool settings_column_open = false;
};

// The camera-directive pane is shown in free-roam with directives to show.
inline bool camera_directive_pane_wanted(const WindowFlags& f) {
    return f.show_camera_directives && f.camera_directive_count > 0 && f.camera_controller == 1;
}

WindowTerms window_terms(const WindowMetrics& m, const WindowFlags& f, int32_t width, int32_t height);

// Every element the root layout places. All pointers must be set.
struct WindowElements {
    Element* border;
    Element* viewport_surface;
    Element* configuration_mask;
    Element* configuration_pane;
    Element* busy_mask;
    Element* busy_indicator;
    Element* small_window_notice;
    Element* small_window_icon;
    Element* mask_pane;
    Element* overlay;
    Element* hide_logo;
    Element* lock_icon;
    Element* no_render;
    Element* frame_marker;

    Element* toolbar;
    Element* tipbar;
    Element* control_pane;
    Element* content_pane;
    Element* menubar;
    Element* menu_pane;
    Element* hintbar;
    Element* colourbar;
    Element* sliderbar;
    Element* statusbar;
    Element* tabbar;

    BorderLayout* camera_directive_bar;
    Element* camera_directive_toggle;
    Element* variant_bar;
    Element* variant_bar_header;
    Element* variant_bar_body;
    Element* hidden_ui_variant_panel;
    Element* animator_bar;
    Element* controls_toggle;
    Element* parallel_flags_button;
    Element* parallel_flags_bar;
    Element* ll_inspector_button;
    Element* ll_inspector_bar;
    Element* strip_backdrop;
    Element* strip_backdrop_guard;
    Element* frame_rate_label;
    Element* environment_preview;
    Element* environment_preview_frame;
    Element* statistics_label;
    Element* statistics_shadow_label;

    Element* minimal_bar;
    Element* minimal_tool_row;
    Element* minimal_list_row;
    Element* minimal_title_row;
    Element* variant_bar_footer = nullptr;
};

// Places every element of `e` for a window of width x height. Writes only
// rectangles, paddings, margins and border widths.
void layout_window(const WindowMetrics& m, const WindowFlags& f, const WindowElements& e, int32_t width,
                   int32_t height);
