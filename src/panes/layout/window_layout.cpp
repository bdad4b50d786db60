#include "panes/layout/window_layout.h"

#include <algorithm>
#include <vector>

namespace {

void place(Element* e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e->x = x;
    e->y = y;
    e->width = w;
    e->height = h;
}

void set_margins(Element* e, int32_t left, int32_t bottom) {
    e->margin_left = left;
    e->margin_bottom = bottom;
}

// Top and bottom border widths of the strip buttons and hosts.
void strip_borders(const WindowElements& e, int32_t top, int32_t bottom) {
    for (Element* s : {e.parallel_flags_button, e.parallel_flags_bar, e.ll_inspector_button, e.ll_inspector_bar}) {
        s->border_top.width = top;
        s->border_bottom.width = bottom;
    }
}

void strips_at(const WindowElements& e, int32_t y) {
    for (Element* s : {e.parallel_flags_button, e.parallel_flags_bar, e.ll_inspector_button, e.ll_inspector_bar}) {
        s->y = y;
    }
}

// Both statistics labels share their margins.
void statistics_margins(const WindowElements& e, int32_t left, int32_t bottom) {
    set_margins(e.statistics_label, left, bottom);
    set_margins(e.statistics_shadow_label, left, bottom);
}

// The bar's inside follows the room the bar was given.
void layout_variant_inside(const WindowMetrics& m, const WindowFlags& f, const WindowElements& e) {
    const int32_t S = m.bar_height, w = e.variant_bar->width, h = e.variant_bar->height;
    e.variant_bar_header->width = w;
    if (f.variant_bar_expanded) {
        e.variant_bar_header->padding_left = 3 * m.menu_half_width;
        e.variant_bar_header->height = 8;
        place(e.variant_bar_body, 0, 8, w, std::max(h - S - 8, 0));
    } else {
        e.variant_bar_header->padding_left = m.ui_padding;
        e.variant_bar_header->height = S;
        place(e.variant_bar_body, 0, S, w, std::max(h - 2 * S, 0));
    }
    if (e.variant_bar_footer != nullptr) place(e.variant_bar_footer, 0, h - S, w, S);
}

bool rows_meet(const Element* a, const Element* b) { return a->y < b->y + b->height && b->y < a->y + a->height; }

// Where the content area is too small for the layout's fixed sizes, the
// variant list and the frame-rate readout give way instead of running over
// the hint bar's band, the settings column, the directive pane or each
// other: the list is cut to the room (it scrolls), the readout moves up a
// row or, with no room at all, is not shown (zero size).
void keep_floating_blocks_apart(const WindowMetrics& m, const WindowFlags& f, const WindowTerms& t,
                                const WindowElements& e) {
    const int32_t M = m.ui_padding, S = m.bar_height, T = m.menu_half_width;
    const Element* content = e.content_pane;
    std::vector<const Element*> right_side;
    if (t.settings_column_open) right_side.push_back(e.menu_pane);
    if (t.directive_width > 0) right_side.push_back(e.camera_directive_bar);
    // The right edge left to an element at these rows.
    auto right_limit = [&](const Element* at) {
        int32_t right = content->x + content->width - M;
        for (const Element* o : right_side)
            if (rows_meet(at, o)) right = std::min(right, o->x - M);
        return right;
    };

    Element* list = e.variant_bar;
    if (t.variants_shown) {
        const int32_t bottom = list->y + list->height;
        const int32_t top = std::max(content->y, e.hintbar->y + e.hintbar->height);
        if (list->y < top) {
            list->height = std::max(bottom - top, S);
            list->y = bottom - list->height;
        }
        list->width = std::clamp(right_limit(list) - list->x, 0, 3 * T);
        if (f.variant_bar_expanded) {
            statistics_margins(e, list->x - content->x + list->width + M, e.statistics_label->margin_bottom);
        }
    }

    // The readout, in the content pane's frame; its room in the window's.
    Element* fps = e.frame_rate_label;
    const int32_t width = fps->width, height = fps->height;
    Element box = *fps;
    box.x += content->x;
    box.y += content->y;
    for (int tries = 0; tries < 2; ++tries) {
        int32_t left = content->x;
        if (t.variants_shown && rows_meet(&box, list)) left = list->x + list->width + M;
        const int32_t right = right_limit(&box);
        if (right - left >= width) {
            box.x = std::clamp(box.x, left, right - width);
            fps->x = box.x - content->x;
            fps->y = box.y - content->y;
            return;
        }
        // One more try above a collapsed variant bar.
        if (!t.variants_shown || f.variant_bar_expanded) break;
        box.y = list->y - height;
        if (box.y < std::max(content->y, e.hintbar->y + e.hintbar->height)) break;
    }
    place(fps, fps->x, fps->y, 0, 0);
}
void layout_minimal(const WindowMetrics& m, const WindowFlags& f, const WindowTerms& t, const WindowElements& e,
                    int32_t W, int32_t H) {
    const int32_t T = m.menu_half_width, R = m.row_height, S = m.bar_height, M = m.ui_padding;
    const int32_t P = m.side_pane_width, Q = t.lock_size;
    const bool widgets_off = f.ui_hidden && !f.hidden_ui_controls;
    const int32_t D = widgets_off ? 0 : t.directive_width;
    const int32_t C = f.ui_hidden ? 0 : (f.side_pane_open ? P : 3 * T);
    const int32_t right = W - D;
    const bool flip = f.v_flip_mode;

    for (Element* full : {e.border, e.viewport_surface, e.busy_mask, e.mask_pane, e.overlay}) place(full, 0, 0, W, H);
    place(e.busy_indicator, W / 2 - 64, H / 2 - 64, 128, 128);
    e.minimal_bar->x = 0;
    e.minimal_bar->width = C;
    e.minimal_bar->height = H;
    e.minimal_tool_row->y = flip ? H - R : 0;
    e.minimal_tool_row->width = C;
    place(e.minimal_list_row, f.side_pane_open ? -3 * T - 1 : 0, flip ? 20 : R, 3 * T, H - R - 20);
    e.minimal_title_row->y = flip ? 0 : H - 20;
    e.minimal_title_row->width = C;
    place(e.control_pane, 0, flip ? 20 : R, P, H - R - 20);
    place(e.content_pane, C, 0, W - C, H);
    place(e.hintbar, C, 0, W - C, R + 2 * M);
    place(e.camera_directive_bar, W - 2 * T, 0, 2 * T, H);
    e.camera_directive_bar->bottom_size = f.camera_directive_goto ? 2 * T : T;
    place(e.camera_directive_toggle, W - D - 12, S, 12, 24);
    place(e.controls_toggle, right - R, H - R, R, R);
    place(e.frame_rate_label, W - C - D - 128 - R, H - 32, 128, 32);
    place(e.hide_logo, right - M - 64, H - M - 64, 64, 64);
    place(e.lock_icon, right - Q, H - Q, Q, Q);
    place(e.variant_bar, C + M, H - M - t.variant_height, 3 * T, t.variant_height);
    const int32_t no_render_x = (f.frame_mode && !f.ui_hidden) ? C + (W - C) / 2 - 64 : W / 2 - 64;
    place(e.no_render, no_render_x, H / 2 - 64, 128, 96);
    layout_variant_inside(m, f, e);

    // Statistics margins as in the full layout, zero while hidden without widgets.
    if (widgets_off) {
        statistics_margins(e, 0, 0);
    } else if (!t.variants_shown || f.variant_bar_expanded) {
        statistics_margins(e, t.variants_shown ? 3 * T + M : 0, 0);
    } else {
        statistics_margins(e, 0, S + M - 1);
    }
}

}  // namespace

WindowTerms window_terms(const WindowMetrics& m, const WindowFlags& f, int32_t W, int32_t H) {
    const int32_t T = m.menu_half_width, R = m.row_height, S = m.bar_height;
    WindowTerms t;
    t.left = f.side_pane_open ? m.side_pane_width : 0;
    t.right_reserve = f.settings_menu_shown ? T : 0;
    t.bars_right = W - t.right_reserve;
    t.content_width = W - t.left - t.right_reserve;
    t.content_height = H - T - 2 * R - S;
    t.directive_width = camera_directive_pane_wanted(f) ? 2 * T : 0;
    t.lock_size = m.icon_button_size - m.ui_padding;
    t.variant_height = f.variant_bar_expanded ? 4 * T : S;
    t.parallel_width = (f.show_parallel_flags && f.parallel_flags_expanded) ? 2 * T + 240 : 0;
    t.llmi_width = (f.show_ll_inspector && f.ll_inspector_expanded) ? 7 * S + 2 * (T - S) : 0;
    t.variants_shown = f.show_variant_selector && f.variant_count > 0;
    t.animator_shown = f.show_animator && f.animation_count > 0;
    t.settings_column_open = f.settings_menu_shown && f.open_settings_menu != -1;
    return t;
}

void layout_window(const WindowMetrics& m, const WindowFlags& f, const WindowElements& e, int32_t W, int32_t H) {
    const WindowTerms t = window_terms(m, f, W, H);
    if (f.minimal_layout) {
        layout_minimal(m, f, t, e, W, H);
        return;
    }
    const int32_t T = m.menu_half_width, N = m.icon_button_size, R = m.row_height, S = m.bar_height;
    const int32_t M = m.ui_padding, P = m.side_pane_width, B2 = m.thick_border, B1 = m.thin_border;
    const int32_t L = t.left, X = t.right_reserve, E = t.bars_right, CW = t.content_width, CH = t.content_height;
    const int32_t D = t.directive_width, Q = t.lock_size, V = t.variant_height;
    const bool flip = f.v_flip_mode, column = t.settings_column_open, colour = f.colour_mode == 3;

    // Elements that do not depend on the orientation.
    for (Element* full : {e.border, e.viewport_surface, e.configuration_mask, e.busy_mask, e.small_window_notice,
                          e.mask_pane, e.overlay}) {
        place(full, 0, 0, W, H);
    }
    place(e.configuration_pane, W / 2 - m.popup_width / 2, H / 2 - m.popup_height / 2, m.popup_width,
          m.popup_height);
    place(e.busy_indicator, W / 2 - 64, H / 2 - 64, 128, 128);
    place(e.small_window_icon, W / 2 - 32, H / 2 - 64, 64, 64);
    place(e.hide_logo, W - M - 64 - D, H - M - 64, 64, 64);
    place(e.hidden_ui_variant_panel, M, H - R, 3 * T, R - M);

    // The two strips share one start column after the buttons present.
    int32_t llmi_button_x = 0, strip_x = 0;
    if (f.show_ll_inspector) {
        llmi_button_x = f.show_parallel_flags ? S : 0;
        strip_x = f.show_parallel_flags ? 2 * S : S;
    } else {
        llmi_button_x = f.show_parallel_flags ? 0 : -S;
        strip_x = f.show_parallel_flags ? S : 0;
    }
    const int32_t llmi_host_width = f.show_ll_inspector ? t.llmi_width : 0;
    e.parallel_flags_button->x = 0;
    e.ll_inspector_button->x = llmi_button_x;
    e.parallel_flags_bar->x = strip_x;
    e.parallel_flags_bar->width = t.parallel_width;
    e.ll_inspector_bar->x = strip_x;
    e.ll_inspector_bar->width = llmi_host_width;
    for (Element* s : {e.parallel_flags_button, e.parallel_flags_bar, e.ll_inspector_button, e.ll_inspector_bar}) {
        s->height = S;
    }
    e.parallel_flags_bar->border_right.width = B2;
    e.ll_inspector_bar->border_right.width = B2;
    e.camera_directive_bar->bottom_size =
        f.camera_directive_goto ? 2 * T : (f.ui_hidden ? T + R - T / 2 : T);

    if (!flip) {
        place(e.toolbar, 0, 0, W, T);
        place(e.tipbar, 0, T, E, R);
        place(e.control_pane, 0, T + R, P, CH);
        place(e.content_pane, L, T + R, CW, CH);
        place(e.menubar, W - N, T, N, H - T - R);
        place(e.menu_pane, E - 2 * T, T, 2 * T, 7 * R);
        place(e.hintbar, L, T + R, CW - D, 2 * M + R);
        place(e.colourbar, L, T + R, CW, S);
        place(e.sliderbar, L, H - R - 2 * S, CW, S);
        place(e.statusbar, 0, H - R - S, E, S);
        place(e.tabbar, 0, H - R, W, R);
        place(e.camera_directive_bar, E - 2 * T, T + R, 2 * T, CH);
        place(e.camera_directive_toggle, E - D - 12, T + R + S - 1, 12, 24);
        place(e.variant_bar, L + M, H - R - S - M - V, 3 * T, V);
        place(e.animator_bar, W - 2 * T - 4 * R, H - R, 4 * R, R);
        place(e.controls_toggle, E - R - D, H - 2 * R - S, R, R);
        place(e.lock_icon, W - Q - X - D, H - R - S - Q, Q, Q);
        strips_at(e, H - R - S);
        place(e.frame_rate_label, CW - 160 - D, CH - 32, 128, 32);
        e.environment_preview->y = H - R - 98;

        strip_borders(e, B1, 0);
        e.parallel_flags_button->border_left.width = 0;
        e.ll_inspector_button->border_left.width = 0;
        e.animator_bar->border_top.width = B2;
        e.animator_bar->border_left.width = B2;
        e.animator_bar->border_bottom.width = 0;
        e.animator_bar->border_right.width = 0;
        e.environment_preview_frame->y = 2;
        e.frame_rate_label->padding_right = M;
        if (f.camera_locked) e.frame_rate_label->x = CW - 160 - D - Q + M + 32;
    } else {
        place(e.tabbar, 0, 0, W, R);
        place(e.statusbar, 0, R, E, S);
        place(e.control_pane, 0, R + S, P, CH);
        place(e.content_pane, L, R + S, CW, CH);
        place(e.hintbar, L, R + S, CW - D, 2 * M + R);
        place(e.sliderbar, L, R + S, CW, S);
        place(e.colourbar, L, H - T - R - S, CW, S);
        place(e.tipbar, 0, H - T - R, E, R);
        place(e.toolbar, 0, H - T, W, T);
        place(e.menubar, W - N, R, N, H - T - R);
        place(e.menu_pane, E - 2 * T, H - T - 7 * R, 2 * T, 7 * R);
        place(e.camera_directive_bar, E - 2 * T, R + S, 2 * T, CH);
        place(e.camera_directive_toggle, E - D - 12, R + 2 * S - 1, 12, 24);
        place(e.variant_bar, L + M, H - T - R - M - V, 3 * T, V);
        place(e.animator_bar, W - 2 * T - 4 * R, 0, 4 * R, R);
        place(e.controls_toggle, E - R, H - T - 2 * R, R, R);
        place(e.lock_icon, W - Q - X, H - T - R - Q, Q, Q);
        strips_at(e, R);
        place(e.frame_rate_label, CW - 128 - D, 0, 128, 32);
        e.environment_preview->y = R;

        strip_borders(e, 0, B1);
        e.animator_bar->border_bottom.width = B2;
        e.animator_bar->border_left.width = B2;
        e.animator_bar->border_top.width = 0;
        e.animator_bar->border_right.width = 0;
        e.environment_preview_frame->y = 0;
        e.frame_rate_label->padding_right = 2 * M;
    }

    // 1. The open settings column takes 2T on the right below the menu bar.
    BorderLayout* dir = e.camera_directive_bar;
    if (!flip) {
        e.lock_icon->x = W - Q - X - D;
        e.controls_toggle->x = E - R - D;
        if (!column) {
            e.hintbar->width = CW - D;
        } else {
            e.hintbar->width = CW - 2 * T;
            e.colourbar->width = CW - 2 * T;
            e.tipbar->width = E - 2 * T;
            dir->y = T + 7 * R;
            dir->height = CH - 6 * R;
        }
    } else {
        if (!column) {
            e.lock_icon->x -= D;
            if (D > 0) e.controls_toggle->x = E - R - 2 * T;
        } else {
            e.tipbar->width = E - 2 * T;
            e.colourbar->width = CW - 2 * T;
            e.lock_icon->x = W - Q - X - 2 * T;
            e.controls_toggle->x = E - R - 2 * T;
            dir->height = CH - 6 * R;
        }
    }

    // 2. The colour bar is shown.
    if (colour) {
        if (flip) {
            e.lock_icon->y -= S;
            e.variant_bar->y -= S;
            e.controls_toggle->y = CH;
            if (!column) dir->height -= S;
        } else {
            e.hintbar->y += S;
            if (!column) {
                dir->y += S;
                dir->height -= S;
            }
        }
    }

    // 3. The slider bar is shown.
    if (f.slider_bar_shown) {
        if (!flip) {
            e.lock_icon->y -= S;
            e.frame_rate_label->y -= S;
            e.variant_bar->y -= S;
            e.controls_toggle->y -= S;
            dir->height -= S;
        } else {
            e.hintbar->y += S;
            e.frame_rate_label->y += S;
            dir->y += S;
            dir->height -= S;
        }
    }

    // 4. Statistics text above whatever takes the bottom of the content area.
    const int32_t reserve = ((!flip && f.slider_bar_shown) || (flip && colour)) ? S : 0;
    if (!t.variants_shown) {
        statistics_margins(e, 0, reserve);
    } else if (f.variant_bar_expanded) {
        statistics_margins(e, 3 * T + M, reserve);
    } else {
        statistics_margins(e, 0, reserve + S + M - 1);
    }

    if (f.ui_hidden) {
        place(e.content_pane, 0, 0, W, H);
        place(e.hintbar, 0, 0, W - D, 2 * M + R);
        const int32_t stats_bottom = (t.variants_shown && !f.variant_bar_expanded) ? S + M - 1 : 0;
        e.statistics_label->margin_bottom = stats_bottom;
        e.statistics_shadow_label->margin_bottom = stats_bottom;
        place(e.lock_icon, W - Q - D, H - Q, Q, Q);
        if (!flip) {
            strips_at(e, H - R);
            e.frame_rate_label->y = H - 32;
            e.frame_rate_label->x = f.camera_locked ? W - 128 - D - Q : W - 128 - D - R;
        } else {
            strips_at(e, R - S);
            e.frame_rate_label->x = W - 128 - D;
            e.frame_rate_label->y = 0;
        }
        place(dir, W - 2 * T, 0, 2 * T, H);
        place(e.variant_bar, M, H - M - V, 3 * T, V);
        place(e.controls_toggle, W - D - R, H - R, R, R);
        place(e.camera_directive_toggle, W - D - 12, S - 1, 12, 24);

        if (!f.hidden_ui_controls) {
            statistics_margins(e, 0, 0);
        } else {
            if (D == 0) e.animator_bar->border_right.width = B2;
            if (t.variants_shown && !flip) {
                for (Element* s :
                     {e.parallel_flags_button, e.parallel_flags_bar, e.ll_inspector_button, e.ll_inspector_bar}) {
                    s->x += 3 * T + M;
                }
            }
            if (t.animator_shown || f.show_parallel_flags || f.show_ll_inspector) {
                Element* back = e.strip_backdrop;
                back->width = W - D;
                if (!flip) {
                    back->y = H - R;
                    back->border_top.width = B2;
                    back->border_bottom.width = 0;
                    e.controls_toggle->y = H - 2 * R;
                    if (f.variant_bar_expanded || !t.variants_shown) {
                        e.statistics_label->margin_bottom += R;
                        e.statistics_shadow_label->margin_bottom += R;
                    }
                    e.hide_logo->y -= R;
                    e.frame_rate_label->y -= R;
                    e.lock_icon->y -= R;
                } else {
                    back->y = 0;
                    back->border_bottom.width = B2;
                    back->border_top.width = 0;
                    e.hintbar->y = R;
                    e.frame_rate_label->y = R;
                    e.camera_directive_toggle->y = R + S - 1;
                }
                strip_borders(e, B1, B1);
                const int32_t limit = t.animator_shown ? W - 2 * (T + 2 * R) : (D > 0 ? W - 2 * T : W);
                for (Element* host : {e.parallel_flags_bar, e.ll_inspector_bar}) {
                    if (host->x + host->width > limit) {
                        host->width = limit - host->x;
                        host->border_right.width = 0;
                    }
                }
            }
        }
    }
    if (!f.ui_hidden) keep_floating_blocks_apart(m, f, t, e);
    e.strip_backdrop_guard->x = e.strip_backdrop->x;
    e.strip_backdrop_guard->y = e.strip_backdrop->y;
    e.strip_backdrop_guard->width = e.strip_backdrop->width;
    e.strip_backdrop_guard->height = e.strip_backdrop->height;

    layout_variant_inside(m, f, e);

    // Frame mode: the no-render notice and the frame marker centre on the content area.
    if (f.frame_mode) {
        const int32_t cx = L + CW / 2, cy = (flip ? R + S : T + R) + CH / 2;
        place(e.no_render, cx - 64, cy - 64, 128, 96);
        if (!f.ui_hidden) place(e.frame_marker, cx - M / 2, cy - M / 2, M, M);
    } else {
        place(e.no_render, W / 2 - 64, H / 2 - 64, 128, 96);
        place(e.frame_marker, W / 2 - M / 2, H / 2 - M / 2, M, M);
    }
}
