#include "ui/ui_state.h"

#include <cmath>
#include <functional>
#include <limits>

#include "ui/element.h"

Element* focus_element = nullptr;
Element* hover_element = nullptr;
Element* tooltip_element = nullptr;
Element* drag_element = nullptr;
int32_t active_element_id = -1;
int32_t next_element_id = 0;
bool relayout_pending = false;
int32_t shift_held = 0;
int32_t ctrl_held = 0;
int32_t alt_held = 0;
int32_t pointer_x = 0;
int32_t pointer_y = 0;

void reset_ui_state() {
    focus_element = nullptr;
    hover_element = nullptr;
    tooltip_element = nullptr;
    drag_element = nullptr;
    active_element_id = -1;
    next_element_id = 0;
    relayout_pending = false;
    shift_held = 0;
    ctrl_held = 0;
    alt_held = 0;
    pointer_x = 0;
    pointer_y = 0;
}

void forget_element(const Element* element) {
    if (element == nullptr) return;
    if (focus_element == element) focus_element = nullptr;
    if (hover_element == element) hover_element = nullptr;
    if (tooltip_element == element) tooltip_element = nullptr;
    if (drag_element == element) drag_element = nullptr;
}

void forget_elements(const void* begin, const void* end) {
    // std::less gives a total order on unrelated pointers.
    std::less<const void*> before;
    auto inside = [&](const Element* e) {
        const void* p = e;
        return e != nullptr && !before(p, begin) && before(p, end);
    };
    if (inside(focus_element)) focus_element = nullptr;
    if (inside(hover_element)) hover_element = nullptr;
    if (inside(tooltip_element)) tooltip_element = nullptr;
    if (inside(drag_element)) drag_element = nullptr;
}

void ensure_element_id(Element& element) {
    if (element.id < 0) {
        element.id = next_element_id;
        ++next_element_id;
    }
}

void claim_pointer(Element& element) {
    ensure_element_id(element);
    active_element_id = element.id;
}

int32_t truncate_to_int(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
