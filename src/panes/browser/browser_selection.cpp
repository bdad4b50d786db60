#include "panes/browser/browser_selection.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"

namespace {

constexpr int64_t kNone = -1;

struct View {
    int64_t row_height, view, content;
};

View list_view(const AppContext& app) {
    return {app.ui_metrics.row_height, app.browser_list_frame.height,
            app.file_browser_state.browser_list_content_height};
}

int64_t row_count(const FileBrowserState& b) { return static_cast<int64_t>(b.browser_row_order.size()); }

// The entry shown in display row r, or -1 when the tables disagree.
int64_t entry_of(const FileBrowserState& b, int64_t r) {
    const int32_t e = b.browser_row_order[static_cast<size_t>(r)];
    return e >= 0 && static_cast<size_t>(e) < b.browser_selection.bits.size() ? e : kNone;
}

int64_t first_marked_row(const FileBrowserState& b) {
    for (int64_t r = 0; r < row_count(b); ++r) {
        const int64_t e = entry_of(b, r);
        if (e != kNone && b.browser_selection.bits[static_cast<size_t>(e)]) return r;
    }
    return kNone;
}

// Only row r selected (none when r is -1); the row widgets follow the bits.
void select_only(AppContext& app, int64_t r) {
    FileBrowserState& b = app.file_browser_state;
    std::fill(b.browser_selection.bits.begin(), b.browser_selection.bits.end(), 0);
    b.browser_selection.selected_count = 0;
    const int64_t e = r == kNone ? kNone : entry_of(b, r);
    if (e != kNone) {
        b.browser_selection.bits[static_cast<size_t>(e)] = 1;
        b.browser_selection.selected_count = 1;
    }
    const size_t rows = std::min(app.browser_rows.size(), b.browser_row_order.size());
    for (size_t i = 0; i < rows; ++i) app.browser_rows[i].selected = static_cast<int64_t>(i) == r && e != kNone;
}

bool row_in_view(const View& v, int64_t offset, int64_t t) {
    const int64_t top = t * v.row_height;
    return offset <= top && top + v.row_height <= v.view + offset;
}

int64_t scroll_offset(const View& v, double f) { return static_cast<int64_t>(static_cast<double>(v.content - v.view) * f); }

// Centres row t when it is not wholly in view.
void scroll_into_view(const View& v, double& f, int64_t t) {
    if (v.content <= v.view) return;
    const int64_t offset = scroll_offset(v, f);
    if (row_in_view(v, offset, t)) return;
    const int64_t shift = t * v.row_height + v.row_height / 2 - (offset + v.view / 2);
    f = std::clamp(f + static_cast<double>(shift) / static_cast<double>(v.content - v.view), 0.0, 1.0);
}

// The next target of a walk after t (direction d, stopping at `end`) whose
// row is out of view at the current offset; every target before it would
// leave the fraction as it is. With t itself out of view, t + d.
int64_t next_out_of_view(const View& v, double f, int64_t t, int d, int64_t end) {
    if (v.content <= v.view) return end;
    const int64_t offset = scroll_offset(v, f);
    if (!row_in_view(v, offset, t) || v.row_height <= 0) return t + d;
    if (d > 0) {
        // First row whose bottom passes the view's bottom edge.
        const int64_t limit = v.view + offset - v.row_height;
        const int64_t last_fitting = limit >= 0 ? limit / v.row_height : -1;
        return std::min(std::max(last_fitting + 1, t + 1), end);
    }
    // Last row whose top lies above the view's top edge.
    const int64_t first_fitting = (offset + v.row_height - 1) / v.row_height;
    return std::max(std::min(first_fitting - 1, t - 1), end);
}

// `steps` single steps in direction d (+1 down, -1 up) in one pass: the
// selection and the scroll fraction end where the steps would leave them.
void walk(AppContext& app, int d, int64_t steps) {
    FileBrowserState& b = app.file_browser_state;
    const int64_t n = row_count(b);
    if (n == 0 || steps <= 0) return;
    const int64_t end = d > 0 ? n - 1 : 0;
    const int32_t count = b.browser_selection.selected_count;
    // The first step's target: row 0 from nothing (also from a count with
    // no marked row behind it), the neighbour of a single selected row, the
    // first of several.
    int64_t start = 0;
    if (count == 1) {
        const int64_t r = first_marked_row(b);
        if (r == kNone) return;  // every step stops here
        start = r == end ? r : r + d;
    } else if (count >= 2) {
        const int64_t r = first_marked_row(b);
        if (r != kNone) start = r;
    }
    // Then one row further per step, up to the end.
    const int64_t moves = d > 0 ? std::max<int64_t>(0, end - start) : std::max<int64_t>(0, start - end);
    const int64_t final_row = start + d * std::min(moves, steps - 1);

    const View v = list_view(app);
    double& f = b.browser_list_scroll;
    int64_t t = start;
    int64_t taken = 1;
    scroll_into_view(v, f, t);
    while (taken < steps) {
        if (t == final_row) {
            // The remaining steps all target the same row: once it is in
            // view nothing more changes.
            const int64_t before = scroll_offset(v, f);
            if (v.content <= v.view || row_in_view(v, before, t)) break;
            scroll_into_view(v, f, t);
            ++taken;
            continue;
        }
        const int64_t next = next_out_of_view(v, f, t, d, final_row);
        taken += d > 0 ? next - t : t - next;
        t = next;
        scroll_into_view(v, f, t);
    }
    select_only(app, final_row);
}

}  // namespace

void file_browser_select_previous(AppContext& app) { walk(app, -1, 1); }
void file_browser_select_next(AppContext& app) { walk(app, 1, 1); }

void file_browser_page_up(AppContext& app) {
    const int32_t R = app.ui_metrics.row_height;
    if (R > 0) walk(app, -1, app.browser_list_frame.height / R);
    refresh_root(app);
}

void file_browser_page_down(AppContext& app) {
    const int32_t R = app.ui_metrics.row_height;
    if (R > 0) walk(app, 1, app.browser_list_frame.height / R);
    refresh_root(app);
}

void file_browser_select_first(AppContext& app) {
    walk(app, -1, row_count(app.file_browser_state) + 1);
    refresh_root(app);
}

void file_browser_select_last(AppContext& app) {
    walk(app, 1, row_count(app.file_browser_state) + 1);
    refresh_root(app);
}

void clear_file_selection(AppContext& app) { select_only(app, kNone); }

void on_click_clear_file_selection() {
    if (AppContext* app = app_instance) {
        clear_file_selection(*app);
        refresh_root(*app);
    }
}
