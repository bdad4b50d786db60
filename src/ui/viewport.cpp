#include "ui/viewport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "art/icon_table.h"
#include "model/camera.h"
#include "text/text_utils.h"

namespace {

constexpr uint32_t kHighlight = 0xFF0080FFu;
constexpr uint32_t kMarkGrey = 0x80808080u;
constexpr uint32_t kLabelGrey = 0xFF808080u;
constexpr uint32_t kCrossDark = 0x80000000u;
constexpr uint32_t kCrossLight = 0x80FFFFFFu;
constexpr uint32_t kBarHover = 0x204080C0u;

bool claim_press(int32_t, int32_t, int32_t) { return true; }

void trace_line(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void place(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x, e.y = y, e.width = w, e.height = h;
}

void set_borders(Element& e, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    e.border_left.width = left;
    e.border_top.width = top;
    e.border_right.width = right;
    e.border_bottom.width = bottom;
}

template <typename T>
void resize_forgetting(std::vector<T>& elements, size_t n) {
    // Toolkit globals must not point into storage that resizing moves.
    forget_vector_elements(elements);
    elements.resize(n);
}

}  // namespace

Viewport::Viewport() { cell_cameras.assign(initial_camera_state.begin(), initial_camera_state.end()); }

Viewport::~Viewport() { forget_cell_elements(); }

void Viewport::forget_cell_elements() const {
    forget_vector_elements(cells);
    forget_vector_elements(edge_marks);
    forget_vector_elements(edge_zones);
    forget_vector_elements(eye_marks);
    forget_vector_elements(lock_marks);
    forget_vector_elements(close_buttons);
    forget_vector_elements(cell_labels);
    forget_vector_elements(cross_marks);
    forget_vector_elements(bars);
}

void Viewport::split_cell(int32_t k, char axis, bool relayout, bool record, double ratio) {
    std::printf("SPLIT-ID:%d;\n", k);
    std::fflush(stdout);
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(axis)));
    if (k < 0 || k >= cell_count || cell_rects.size() < static_cast<size_t>(k + 1) * 4) return;
    if (upper != 'X' && upper != 'Y') return;
    if (cell_count > 1 && hover_element != nullptr && !bars.empty() && hover_element >= bars.data() &&
        hover_element < bars.data() + bars.size()) {
        hover_element->hovered = false;
        hover_element = nullptr;
    }
    const size_t at = static_cast<size_t>(k) * 4;
    const double x = cell_rects[at], y = cell_rects[at + 1], w = cell_rects[at + 2], h = cell_rects[at + 3];
    const double r = ratio;
    std::array<double, 4> kept, added, bar;
    if (upper == 'X') {
        kept = {x, y, w, r * h};
        added = {x, y + r * h, w, h - r * h};
        bar = {x, y + r * h, w, r * h};
    } else {
        kept = {x, y, r * w, h};
        added = {x + r * w, y, w - r * w, h};
        bar = {x + r * w, y, r * w, h};
    }
    split_axes.push_back(axis);
    bar_rects.insert(bar_rects.end(), bar.begin(), bar.end());
    split_parent_rects.insert(split_parent_rects.end(), {x, y, w, h});

    const int32_t split = static_cast<int32_t>(split_axes.size()) - 1;
    std::copy(kept.begin(), kept.end(), cell_rects.begin() + static_cast<std::ptrdiff_t>(at));
    cell_rects.insert(cell_rects.begin() + static_cast<std::ptrdiff_t>(at + 4), added.begin(), added.end());
    cell_split_index.resize(static_cast<size_t>(cell_count), -1);
    cell_split_index[static_cast<size_t>(k)] = split;
    cell_split_index.insert(cell_split_index.begin() + k + 1, split);
    ++cell_count;

    if (record) {
        ++recorded_split_count;
        recorded_ratios.push_back(ratio);
        recorded_cells.push_back(k);
        recorded_axes.push_back(axis);
    }
    if (relayout) layout_cells();
}

void Viewport::rebuild_from_record() {
    cell_count = 1;
    cell_rects = {0.0, 0.0, 1.0, 1.0};
    cell_split_index.clear();
    split_axes.clear();
    bar_rects.clear();
    split_parent_rects.clear();
    const size_t n = std::min({static_cast<size_t>(std::max(recorded_split_count, 0)), recorded_cells.size(),
                               recorded_axes.size(), recorded_ratios.size()});
    for (size_t i = 0; i < n; ++i) split_cell(recorded_cells[i], recorded_axes[i], false, false, recorded_ratios[i]);
}

void Viewport::layout_cells() {
    const size_t n = static_cast<size_t>(std::max(cell_count, 1));
    resize_forgetting(cells, n);
    resize_forgetting(eye_marks, n);
    resize_forgetting(lock_marks, n);
    resize_forgetting(close_buttons, n);
    resize_forgetting(cell_labels, n);
    resize_forgetting(edge_marks, 4 * n);
    resize_forgetting(edge_zones, 4 * n);
    resize_forgetting(cross_marks, 4 * n);
    resize_forgetting(bars, n - 1);

    const bool several = n > 1;
    for (size_t i = 0; i < n; ++i) {
        Container& cell = cells[i];
        for (Border* b : {&cell.border_left, &cell.border_top, &cell.border_right, &cell.border_bottom}) {
            b->colour = border_colour;
            b->width = (i > 0 || several) ? 1 : 0;
        }
        cell.depth_offset = 1.0;
        const bool current = static_cast<int32_t>(i) == current_cell;
        for (size_t e = 4 * i; e < 4 * i + 4; ++e) {
            edge_marks[e].background_rgba = current ? kHighlight : kMarkGrey;
            edge_zones[e].click_handler = (e % 2 == 0) ? on_split_x : on_split_y;
            edge_zones[e].mouse_down_handler = claim_press;
            cross_marks[e].background_rgba = (e % 4 < 2) ? kCrossDark : kCrossLight;
        }
        eye_marks[i].opacity = 0.5;
        eye_marks[i].icon = ICON_VISIBLE;
        lock_marks[i].opacity = 0.5;
        lock_marks[i].icon = ICON_LOCKED;
        close_buttons[i].opacity = 0.5;
        close_buttons[i].icon = ICON_DELETE;
        close_buttons[i].click_handler = on_close_cell;
        close_buttons[i].mouse_down_handler = claim_press;
        Element& label = cell_labels[i];
        label.typeface = &typefaces[3];
        label.text_rgba = kLabelGrey;
        label.align_x = 0;
        label.align_y = 0;
        label.set_text(int_to_text(static_cast<int32_t>(i)));
        const bool decorated = i > 0 || several;
        for (Element* e : {&eye_marks[i], &lock_marks[i], &close_buttons[i], &label}) e->visible = decorated;
    }
    for (Element& bar : bars) bar.hover_rgba = kBarHover;

    children.clear();
    for (Container& cell : cells) children.push_back(&cell);
    for (Element& bar : bars) children.push_back(&bar);
    for (size_t i = 0; i < n; ++i) {
        std::vector<Element*>& list = cells[i].children;
        list.clear();
        for (size_t e = 4 * i; e < 4 * i + 4; ++e) list.push_back(&edge_marks[e]);
        for (size_t e = 4 * i; e < 4 * i + 4; ++e) list.push_back(&edge_zones[e]);
        list.push_back(&eye_marks[i]);
        list.push_back(&lock_marks[i]);
        list.push_back(&close_buttons[i]);
        list.push_back(&cell_labels[i]);
        for (size_t e = 4 * i; e < 4 * i + 4; ++e) list.push_back(&cross_marks[e]);
    }
}

void Viewport::set_layout_callback(LayoutCallback callback) { layout_handler = callback; }

Viewport::Region Viewport::cell_region() const {
    // The bars over the view cover its margins: cells divide what is left,
    // so that every cell's marks show and its grips take the pointer.
    Region r{view_insets[0], view_insets[1], width - view_insets[0] - view_insets[2],
             height - view_insets[1] - view_insets[3]};
    if (r.width <= 0 || r.height <= 0) r = Region{0, 0, width, height};
    return r;
}

Viewport::Region Viewport::cell_view_rect(int32_t i) const {
    // A sole cell shows the whole view, as the view does without cells.
    if (cell_count < 2 || i < 0 || static_cast<size_t>(i) >= cells.size()) return Region{0, 0, width, height};
    const Container& c = cells[static_cast<size_t>(i)];
    return Region{c.x, c.y, c.width, c.height};
}

void Viewport::layout(int32_t w, int32_t h) {
    const Region region = cell_region();
    const double W = region.width, H = region.height;
    const int32_t left = region.x, top = region.y, right = region.x + region.width, bottom = region.y + region.height;
    const size_t n = std::min({cells.size(), cell_rects.size() / 4, static_cast<size_t>(std::max(cell_count, 0))});
    const bool several = cell_count > 1;
    for (size_t i = 0; i < n; ++i) {
        const double fx = cell_rects[4 * i], fy = cell_rects[4 * i + 1];
        const double fw = cell_rects[4 * i + 2], fh = cell_rects[4 * i + 3];
        Container& cell = cells[i];
        const int32_t x = left + truncate_to_int(W * fx), y = top + truncate_to_int(H * fy);
        place(cell, x, y, left + truncate_to_int(W * (fx + fw)) - x, top + truncate_to_int(H * (fy + fh)) - y);
        const int32_t cw = cell.width, ch = cell.height;
        set_borders(cell, x > left ? 1 : 0, y > top ? 1 : 0, x + cw < right ? 1 : 0, y + ch < bottom ? 1 : 0);

        Element* marks = &edge_marks[4 * i];
        place(marks[0], 3, ch / 2 - 8, 2, 16);
        place(marks[1], cw / 2 - 8, 3, 16, 2);
        place(marks[2], cw - 5, ch / 2 - 8, 2, 16);
        place(marks[3], cw / 2 - 8, ch - 5, 16, 2);
        Element* zones = &edge_zones[4 * i];
        place(zones[0], 0, ch / 2 - 8, 8, 16);
        place(zones[1], cw / 2 - 8, 0, 16, 8);
        place(zones[2], cw - 8, ch / 2 - 8, 8, 16);
        place(zones[3], cw / 2 - 8, ch - 8, 16, 8);
        place(eye_marks[i], 0, 0, 16, 16);
        place(lock_marks[i], 0, 14, 16, 16);
        place(close_buttons[i], cw - 16, 0, 16, 16);
        if (i < 10)
            place(cell_labels[i], cw - 36 + 8, 0, 16, 16);
        else
            place(cell_labels[i], cw - 36, 0, 24, 16);
        // The cross marks the centre of the cell's picture.
        const Region view = several ? Region{x, y, cw, ch} : Region{0, 0, width, height};
        const int32_t mx = view.x - x + view.width / 2, my = view.y - y + view.height / 2;
        Element* cross = &cross_marks[4 * i];
        place(cross[0], mx - 4, my - 1, 8, 2);
        place(cross[1], mx - 1, my - 4, 2, 8);
        place(cross[2], mx - 5, my - 2, 10, 4);
        place(cross[3], mx - 2, my - 5, 4, 10);

        const bool current = static_cast<int32_t>(i) == current_cell;
        const bool highlighted = current && several;
        for (int m = 0; m < 4; ++m) marks[m].background_rgba = highlighted ? kHighlight : kMarkGrey;
        cross[0].background_rgba = cross[1].background_rgba = highlighted ? kHighlight : kCrossDark;
        const bool shown_as_live = highlighted || !several;
        cell_labels[i].text_rgba = shown_as_live ? kHighlight : kLabelGrey;
        eye_marks[i].opacity = shown_as_live ? 1.0 : 0.5;
        eye_marks[i].icon = shown_as_live ? ICON_VISIBLE : ICON_HIDDEN;
    }
    const size_t splits = std::min(bars.size(), std::min(bar_rects.size() / 4, split_axes.size()));
    for (size_t j = 0; j < splits; ++j) {
        const double bx = bar_rects[4 * j], by = bar_rects[4 * j + 1];
        const double bw = bar_rects[4 * j + 2], bh = bar_rects[4 * j + 3];
        if (split_axes[j] == 'X')
            place(bars[j], left + truncate_to_int(W * bx), top + truncate_to_int(H * by - 4), truncate_to_int(bw * W), 8);
        else if (split_axes[j] == 'Y')
            place(bars[j], left + truncate_to_int(W * bx - 4), top + truncate_to_int(H * by), 8, truncate_to_int(bh * H));
    }
    if (layout_handler) layout_handler(w, h);
    relayout_children();
}

bool Viewport::in_view_region(int32_t px, int32_t py) const {
    return px >= view_insets[0] && px <= width - view_insets[2] && py >= view_insets[1] &&
           py <= height - view_insets[3];
}

void Viewport::activate_hovered_cell() {
    if (hovered_cell >= 0 && hovered_cell < cell_count && hovered_cell != current_cell && on_cell_activate)
        on_cell_activate();
}

bool Viewport::on_motion(int32_t px, int32_t py, int32_t button) {
    const size_t n = std::min(cells.size(), static_cast<size_t>(std::max(cell_count, 0)));
    hovered_cell = -1;
    for (size_t i = 0; i < n && hovered_cell < 0; ++i)
        if (cells[i].contains(px - 1, py - 1) && cells[i].contains(px + 1, py + 1))
            hovered_cell = static_cast<int32_t>(i);
    for (size_t i = 0; i < n && hovered_cell < 0; ++i)
        if (cells[i].contains(px, py)) hovered_cell = static_cast<int32_t>(i);
    if (hovered_cell < 0 && px >= 0 && py >= 0 && px < width && py < height) {
        // In a margin under the bars: the cell next to it.
        const Region r = cell_region();
        const int32_t cx = std::clamp(px, r.x, r.x + r.width - 1), cy = std::clamp(py, r.y, r.y + r.height - 1);
        for (size_t i = 0; i < n && hovered_cell < 0; ++i)
            if (cells[i].contains(cx, cy)) hovered_cell = static_cast<int32_t>(i);
    }
    hovered_bar = -1;
    if (cell_count >= 2)
        for (size_t j = 0; j < bars.size() && hovered_bar < 0; ++j)
            if (bars[j].contains(px, py)) hovered_bar = static_cast<int32_t>(j);
    return Element::on_motion(px, py, button);
}

bool Viewport::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    // A bar drags only when its split was recorded: the drag rewrites the
    // recorded ratio and replays the record.
    const bool recorded = hovered_bar >= 0 && hovered_bar < recorded_split_count &&
                          static_cast<size_t>(hovered_bar) < recorded_ratios.size() &&
                          static_cast<size_t>(hovered_bar) < recorded_axes.size();
    if (recorded) {
        drag_bar = hovered_bar;
        press_x = px;
        press_y = py;
        press_ratio = recorded_ratios[static_cast<size_t>(drag_bar)];
        trace_line("VP-MDOWN");
        claim_pointer(*this);
        return true;
    }
    if (in_view_region(px, py) || button != 0) activate_hovered_cell();
    return Element::on_mouse_down(px, py, button);
}

bool Viewport::on_drag(int32_t px, int32_t py, int32_t button) {
    if (drag_bar < 0) return Element::on_drag(px, py, button);
    const size_t bar = static_cast<size_t>(drag_bar);
    if (bar >= recorded_axes.size() || bar >= recorded_ratios.size() || split_parent_rects.size() < 4 * bar + 4)
        return true;
    trace_line("VP-MDRAG");
    const bool across_height = std::toupper(static_cast<unsigned char>(recorded_axes[bar])) == 'X';
    const Region region = cell_region();
    const double size = across_height ? region.height * split_parent_rects[4 * bar + 3]
                                      : region.width * split_parent_rects[4 * bar + 2];
    const double moved = across_height ? py - press_y : px - press_x;
    double r = press_ratio + moved / size;
    const double lo = 40.0 / size, hi = 1.0 - lo;
    r = lo < hi ? std::min(hi, std::max(lo, r)) : press_ratio;
    recorded_ratios[bar] = r;
    rebuild_from_record();
    if (on_rebuilt) on_rebuilt();
    return true;
}

bool Viewport::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    if (drag_bar < 0) return Element::on_mouse_up(px, py, button);
    drag_bar = -1;
    trace_line("VP-MUP");
    return true;
}

bool Viewport::on_scroll(int32_t px, int32_t py, int32_t direction) {
    if (in_view_region(px, py)) activate_hovered_cell();
    return Element::on_scroll(px, py, direction);
}
