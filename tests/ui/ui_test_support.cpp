#include "ui_test_support.h"

#include <algorithm>

#include "platform/clock.h"

int64_t test_clock_ms = 0;
std::vector<std::string> trace;

namespace {
int64_t read_test_clock() { return test_clock_ms; }

void stamp_children(Element& p) {
    if (!p.is_container) return;
    for (Element* k : static_cast<Container&>(p).children) {
        if (k == nullptr || !k->visible) continue;
        k->abs_x = p.abs_x + k->x;
        k->abs_y = p.abs_y + k->y;
        k->abs_width = k->width;
        k->abs_height = k->height;
        k->clip_x = std::max({k->abs_x, p.abs_x, p.clip_x});
        k->clip_y = std::max({k->abs_y, p.abs_y, p.clip_y});
        k->clip_width = std::min({k->abs_x + k->width, p.abs_x + p.abs_width, p.clip_x + p.clip_width}) - k->clip_x;
        k->clip_height =
            std::min({k->abs_y + k->height, p.abs_y + p.abs_height, p.clip_y + p.clip_height}) - k->clip_y;
        stamp_children(*k);
    }
}
}  // namespace

void UiTest::SetUp() {
    reset_ui_state();
    set_clock_for_tests(nullptr);
    trace.clear();
}

void UiTest::TearDown() {
    reset_ui_state();
    set_clock_for_tests(nullptr);
}

void install_test_clock(int64_t start_ms) {
    test_clock_ms = start_ms;
    set_clock_for_tests(read_test_clock);
}

void stamp_geometry(Element& root) {
    root.abs_x = root.clip_x = root.x;
    root.abs_y = root.clip_y = root.y;
    root.abs_width = root.clip_width = root.width;
    root.abs_height = root.clip_height = root.height;
    stamp_children(root);
}

void set_rect(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x;
    e.y = y;
    e.width = w;
    e.height = h;
}

std::vector<int32_t> rect_of(const Element& e) { return {e.x, e.y, e.width, e.height}; }

int32_t advance_of(const std::string& s) {
    int32_t sum = 0;
    for (unsigned char c : s) sum += static_cast<int32_t>(typefaces[0].glyph_widths[c]);
    return sum;
}
