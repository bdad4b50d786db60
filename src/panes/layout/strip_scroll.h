#pragma once
#include <cstdint>

// Scrolling strips keep a fraction in [0, 1]; layout turns it into a pixel
// offset of their content. Each strip has one overflow test, shared by its
// layout (which offsets the content only then) and its wheel handler (which
// moves the fraction only then), so every strip that is cut off can be
// scrolled and no strip scrolls without visible effect on its offset.

// int((view - content) x fraction), truncated toward zero: between
// view - content and 0 when the content is larger.
int32_t scroll_offset(int32_t view, int32_t content, double fraction);

// The wheel's step: f + step x direction clamped to [0, 1].
double stepped_fraction(double fraction, int32_t direction, double step);

constexpr double kStripWheelStep = 0.125;
constexpr double kFileListWheelStep = 0.05;

// Overflow tests, one per strip (view and content measured along the strip).
// Equal sizes count as overflow for these...
inline bool status_strip_overflows(int32_t view, int32_t content) { return content >= view; }
inline bool path_strip_overflows(int32_t view, int32_t content) { return content >= view; }
inline bool tip_strip_overflows(int32_t view, int32_t content) { return content >= view; }
inline bool file_list_overflows(int32_t view, int32_t content) { return content >= view; }
// ...and not for the flag strips and the directive list.
inline bool parallel_strip_overflows(int32_t view, int32_t content) { return content > view; }
inline bool llmi_strip_overflows(int32_t view, int32_t content) { return content > view; }
inline bool directive_list_overflows(int32_t view, int32_t content) { return content > view; }
// The colour strip's content is its swatches plus one tool width.
inline bool colour_strip_overflows(int32_t view, int32_t swatches, int32_t metric) {
    return swatches + metric >= view;
}
// The tab strip sits inside a spacing on both sides.
inline bool tab_strip_overflows(int32_t view, int32_t strip, int32_t spacing) { return strip >= view - 2 * spacing; }
// The slider strip has a least width (four sliders in quarters).
inline bool slider_strip_overflows(int32_t view, int32_t min_width) { return min_width >= view; }
// Eight view-menu titles of one tool width each.
inline bool tool_strip_overflows(int32_t view, int32_t metric) { return 8 * metric >= view; }
// How many of them an overflowing strip shows, whole (0 to 8).
inline int32_t tool_strip_whole_count(int32_t view, int32_t metric) {
    return metric > 0 && view > 0 ? (view / metric < 8 ? view / metric : 8) : 0;
}
// Ten settings-menu titles, stacked.
inline bool menu_strip_overflows(int32_t view, int32_t metric) { return 10 * metric >= view; }
// A settings column scrolls from seven items on.
constexpr int32_t kSettingsColumnScrollItems = 7;
inline bool settings_column_overflows(int32_t item_count) { return item_count >= kSettingsColumnScrollItems; }

// The x of the first view-menu title in the tool strip: scrolled when the
// titles overflow, else centred (arithmetic shift).
int32_t tool_strip_start(int32_t view, int32_t metric, double fraction);

// The y of the first settings-menu title in the menu strip.
int32_t menu_strip_start(int32_t view, int32_t metric, double fraction);

// The x of the environment tab strip inside its scroller.
int32_t tab_strip_x(int32_t view, int32_t strip, int32_t spacing, double fraction);

// The slider strip and its four cells.
struct SliderStripGeometry {
    int32_t strip_x = 0;
    int32_t strip_width = 0;
    int32_t cell_x[4] = {0, 0, 0, 0};
    int32_t cell_width[4] = {0, 0, 0, 0};
};
SliderStripGeometry slider_strip_geometry(int32_t view, int32_t min_width, double fraction);

// The file browser's scroll thumb y in a track of the given height.
int32_t file_list_thumb_y(int32_t track, int32_t row_height, double fraction);

// The file-list slider's fraction for a pointer at y: the one-row thumb's
// centre follows the pointer. A track no taller than a row gives 0.
double file_list_slider_fraction(int32_t y, int32_t slider_height, int32_t row_height);

// The minimal bar's command list moves by 48 pixels a notch within
// [view - content, 0]; content that fits keeps its offset.
int32_t command_list_offset(int32_t offset, int32_t direction, int32_t view, int32_t content);
