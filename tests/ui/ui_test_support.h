#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/element.h"

// Every toolkit test starts and ends with the globals at their load state,
// the system clock in place and an empty trace.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// now_ms() returns `test_clock_ms` once installed.
extern int64_t test_clock_ms;
void install_test_clock(int64_t start_ms);

// Absolute and clip rectangles as the per-frame draw-list walk leaves them.
void stamp_geometry(Element& root);

// What the callbacks saw, in order.
extern std::vector<std::string> trace;
using Trace = std::vector<std::string>;

void set_rect(Element& e, int32_t x, int32_t y, int32_t w, int32_t h);
std::vector<int32_t> rect_of(const Element& e);
int32_t advance_of(const std::string& s);  // face 0
