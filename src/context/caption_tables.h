#pragma once
#include <array>
#include <cstddef>

// The fixed wording of the interface: menu names, drop-down captions and
// the tool-tip pairs shown in the tip bar. All of it is constant data;
// widgets keep pointers into these texts for the whole run.

// Element 0 is the tip title (an element's tooltip_title), element 1 the
// description (its tooltip_text).
using TipPair = std::array<const char*, 2>;

// One group of a grouped table: a read-only run of entries.
template <typename T>
struct TableGroup {
    const T* items;
    size_t count;

    size_t size() const { return count; }
    const T& operator[](size_t i) const { return items[i]; }
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};
using CaptionGroup = TableGroup<const char*>;
using TipGroup = TableGroup<TipPair>;

// Menu bars, by menu index.
extern const std::array<const char*, 8> view_menu_captions;
extern const std::array<TipPair, 8> view_menu_tips;
extern const std::array<const char*, 10> settings_menu_captions;
extern const std::array<TipPair, 10> settings_menu_tips;

// Drop-downs: group k belongs to menu k, entry i to item i. A drop-down has
// as many items as its caption group. Settings group 0 has one pair more
// than captions: pair 6 belongs to the maximum-frame-rate field. Settings
// groups 3, 5 and 7 (menus that act at once and never drop down) are view
// groups 3, 5 and 7.
extern const std::array<CaptionGroup, 8> view_menu_item_captions;
extern const std::array<TipGroup, 8> view_menu_item_tips;
extern const std::array<CaptionGroup, 10> settings_menu_item_captions;
extern const std::array<TipGroup, 10> settings_menu_item_tips;

// Tool bars: OPEN, PARSE, ASSEMBLE; CAPTURE, EXPORT, SETTINGS.
extern const std::array<TipPair, 3> tool_bar_left_tips;
extern const std::array<TipPair, 3> tool_bar_right_tips;
// Pane tabs: CONSOLE, ENTITY, PARAMETER.
extern const std::array<TipPair, 3> pane_tab_tips;
extern const TipPair add_environment_tip;
extern const TipPair about_tip;
extern const TipPair help_tip;
// Sliders: world scale, field of view, light intensity, background intensity.
extern const std::array<TipPair, 4> slider_tips;

// Colour bar: one function button per caption, tip i on button i.
extern const std::array<const char*, 15> colour_function_captions;
extern const std::array<TipPair, 15> colour_function_tips;
extern const TipPair multichannel_colour_tip;

// Console channel tabs: KERNEL, SCRIPT, FILE-IO, ERROR.
extern const std::array<TipPair, 4> trace_toggle_tips;

// Parameter pane buttons, indexed by ParameterButtonTip.
enum ParameterButtonTip : int {
    PARAMETER_TIP_AUTO_SYNC = 0,
    PARAMETER_TIP_IMMEDIATE = 1,
    PARAMETER_TIP_MULTI_EDIT = 2,
    PARAMETER_TIP_RESET = 3,
    PARAMETER_TIP_VARIANTS = 4,
    PARAMETER_TIP_APPLY = 5,
};
extern const std::array<TipPair, 6> parameter_button_tips;

// Control bars, in control order.
extern const std::array<TipPair, 10> camera_directive_bar_tips;
extern const std::array<TipPair, 7> parallel_flags_bar_tips;
extern const std::array<TipPair, 8> llmi_bar_tips;
