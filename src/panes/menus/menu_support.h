#pragma once
#include <cstdint>
#include <vector>

#include "context/app_context.h"

// Small helpers shared by the menu, field and theme actions.

// Sets bit i when the vector has it; a bit outside the menu is left alone.
inline void set_menu_bit(std::vector<bool>& bits, int32_t i, bool on) {
    if (i >= 0 && static_cast<size_t>(i) < bits.size()) bits[static_cast<size_t>(i)] = on;
}

// Copies the bits into the items' selected flags (items without a bit are
// unchecked).
inline void mark_menu_items(const std::vector<bool>& bits, const std::vector<Element*>& items) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]) items[i]->selected = i < bits.size() && bits[i];
}

// needs_redraw, then the change hook and every top-level pane.
inline void redraw_and_refresh(AppContext& app) {
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

inline uint8_t flipped(uint8_t flag) { return flag ? 0 : 1; }
