#pragma once
#include <cstdint>
#include <vector>

struct Element;

// The toolkit's interaction state. Plain globals: the whole widget tree lives
// on the GUI thread.
extern Element* focus_element;    // holds the keyboard focus
extern Element* hover_element;    // drawn in its hovered state
extern Element* tooltip_element;  // whose tool-tip texts the tip panel shows
extern Element* drag_element;     // captured a thumb or divider drag; gets every release
extern int32_t active_element_id; // id of the element that accepted the last press; -1 after release
extern int32_t next_element_id;   // next id to hand out; only grows
extern bool relayout_pending;     // a pane changed sizes; honoured after an accepted wheel event

// How many Shift, Control and Alt keys are held: the application's key
// callbacks count presses and releases (0 on focus loss). The scroll pane's
// wheel and the camera drag read them.
extern int32_t shift_held;
extern int32_t ctrl_held;
extern int32_t alt_held;

// Last pointer position in canvas pixels (also before the interface exists).
extern int32_t pointer_x;
extern int32_t pointer_y;

// Puts every global above back to its state at load. For tests.
void reset_ui_state();

// Clears every global pointer that refers to `element`, so nothing dangles
// once it is destroyed or copied elsewhere. Element destructors call it; code
// that rebuilds panes may call it earlier.
void forget_element(const Element* element);

// The same for every element whose storage lies in [begin, end), for example
// the contents of a vector of widgets that is about to be cleared or grown.
void forget_elements(const void* begin, const void* end);

template <typename T>
void forget_vector_elements(const std::vector<T>& elements) {
    if (!elements.empty()) {
        forget_elements(elements.data(), elements.data() + elements.size());
    }
}

// Gives the element an id from next_element_id when it has none yet.
void ensure_element_id(Element& element);

// Makes `element` the one that accepted the press (and so the only one that
// receives drags until the release).
void claim_pointer(Element& element);

// Float-to-int conversion toward zero that never overflows: NaN gives 0 and
// values beyond the int32 range saturate.
int32_t truncate_to_int(double value);
