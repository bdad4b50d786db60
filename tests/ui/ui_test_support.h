#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "ui/element.h"
#include "ui/root_input.h"

using Trace = std::vector<std::string>;
using Ints = std::vector<int32_t>;  // rectangles (x, y, w, h), ids, indices
inline Trace trace;  // what the callbacks saw, in order
inline int64_t test_clock_ms = 0;

// Every toolkit test starts and ends with the globals at their load state,
// the system clock in place and an empty trace.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override { UiTest::TearDown(), trace.clear(); }
    void TearDown() override { reset_ui_state(), set_clock_for_tests(nullptr); }
};

// From now on now_ms() reads test_clock_ms.
inline void install_test_clock(int64_t start_ms) {
    test_clock_ms = start_ms;
    set_clock_for_tests([] { return test_clock_ms; });
}

inline void set_rect(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x, e.y = y, e.width = w, e.height = h;
}
inline Ints rect_of(const Element& e) { return {e.x, e.y, e.width, e.height}; }

// What a release prints to stdout.
inline std::string release_output(Container& root, int32_t x, int32_t y) {
    testing::internal::CaptureStdout();
    root_mouse_release(root, x, y, 0);
    return testing::internal::GetCapturedStdout();
}

// A w x h root holding `child` alone.
struct Host : RootContainer {
    Host(Element& child, int32_t w, int32_t h) { set_rect(*this, 0, 0, w, h), children = {&child}; }
};

inline int32_t advance_of(const std::string& s) {  // on face 0
    int32_t sum = 0;
    for (unsigned char c : s) sum += static_cast<int32_t>(typefaces[0].glyph_widths[c]);
    return sum;
}
