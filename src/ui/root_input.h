#pragma once
#include <cstdint>

struct Container;

// Entry points through which the platform's pointer callbacks reach the
// widget tree, with the point in window pixels (y downwards). They add the
// interaction bookkeeping around the root's dispatch: focus on press, drag
// capture on release, hover and tool-tip expiry on motion, relayout after a
// wheel step.

// Press of `button`: dispatch, then a focused element that did not accept the
// press loses the focus (and the root is refreshed).
bool root_mouse_press(Container& root, int32_t x, int32_t y, int32_t button);

// Release of `button`: dispatch, then the captured drag element hears a
// release too, and drags end.
bool root_mouse_release(Container& root, int32_t x, int32_t y, int32_t button);

// Pointer motion without a button: dispatch, then hover and tool-tip are
// dropped when the pointer left the element's absolute or clip rectangle.
bool root_pointer_motion(Container& root, int32_t x, int32_t y);

// Wheel notch (-1 up, +1 down): dispatched only inside an eligible root;
// when consumed and a relayout is pending, the tree is laid out again and a
// motion at the same point lets hover follow the moved content.
bool root_wheel(Container& root, int32_t x, int32_t y, int32_t direction);

// The root's layout callback at its own size, then every pane again.
void relayout_root(Container& root);

// The root's refresh callback, then every top-level child's refresh.
void refresh_root(Container& root);
