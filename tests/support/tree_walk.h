#pragma once
// Elements reached from the root as a user's eye would: by walking the
// tree, by name, role or position, never by the context member expected.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/element.h"

struct ScreenRect {
    int32_t x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool overlaps(const ScreenRect& o) const {
        return !empty() && !o.empty() && x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};
inline ScreenRect rect_of(const Element& e) { return {e.abs_x, e.abs_y, e.abs_width, e.abs_height}; }
inline std::string show(const ScreenRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" + std::to_string(r.h);
}

// Depth first from `from`: the first element `wanted` accepts; with
// `shown_only`, hidden elements and everything below them skipped.
inline Element* first_element(Element& from, const std::function<bool(Element&)>& wanted, bool shown_only) {
    if (shown_only && !from.visible) return nullptr;
    if (wanted(from)) return &from;
    if (auto* c = dynamic_cast<Container*>(&from))
        for (Element* child : c->children)
            if (child != nullptr)
                if (Element* hit = first_element(*child, wanted, shown_only)) return hit;
    return nullptr;
}
inline Element* find_element(Element& from, const std::function<bool(Element&)>& wanted) {
    return first_element(from, wanted, false);
}
// The first element `wanted` accepts among those drawn.
inline Element* find_shown(Element& from, const std::function<bool(Element&)>& wanted) {
    return first_element(from, wanted, true);
}
inline void each_element(Element& from, const std::function<void(Element&)>& visit) {
    visit(from);
    if (auto* c = dynamic_cast<Container*>(&from))
        for (Element* child : c->children)
            if (child != nullptr) each_element(*child, visit);
}
inline Element* named(Element& root, const std::string& name) {
    return find_element(root, [&](Element& e) { return e.name == name; });
}
