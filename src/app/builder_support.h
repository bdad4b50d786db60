#pragma once
#include <cstdint>

#include "context/caption_tables.h"
#include "art/typeface.h"
#include "ui/element.h"
#include "ui/slider.h"
#include "ui/theme.h"

// Small setters the interface builder's stages share. Colours and gradients
// are pointers into the active theme, so a theme change recolours the
// widgets in place.
namespace builder {

inline const double* colour(int k) { return active_theme.colours[k]; }
inline const Palette* gradient(int j) { return &active_theme.palettes[j]; }
inline const Typeface* face(int k) { return &typefaces[k]; }

constexpr uint32_t grey_rgba = 0xff808080u;

inline void border(Border& edge, int32_t width, int gradient_index) {
    edge.width = width;
    edge.palette = gradient(gradient_index);
}
inline void grey_border(Border& edge) {
    edge.width = 1;
    edge.rgba = grey_rgba;
}
inline void rect(Element& e, int32_t x, int32_t y, int32_t w, int32_t h) {
    e.x = x;
    e.y = y;
    e.width = w;
    e.height = h;
}
inline void padding(Element& e, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    e.padding_left = left;
    e.padding_top = top;
    e.padding_right = right;
    e.padding_bottom = bottom;
}
inline void align(Element& e, int8_t x, int8_t y) {
    e.align_x = x;
    e.align_y = y;
}
inline void tip(Element& e, const TipPair& pair) {
    e.tooltip_title = pair[0];
    e.tooltip_text = pair[1];
    e.tooltip_icon = -1;
}
inline void append(Container& parent, Element& child) { parent.children.push_back(&child); }

// The decoration every scroll pane of the side panes shares.
inline void scroll_decoration(ScrollPane& pane, int32_t t) {
    border(pane.hbar.border_top, t, 3);
    border(pane.vbar.border_left, t, 1);
    pane.vthumb.background_palette = gradient(11);
    pane.vthumb.hover_palette = gradient(8);
    border(pane.vthumb.border_left, t, 1);
    border(pane.vthumb.border_right, t, 2);
    pane.hthumb.background_palette = gradient(10);
    pane.hthumb.hover_palette = gradient(0);
    border(pane.hthumb.border_top, t, 3);
    border(pane.hthumb.border_bottom, t, 9);
}

// Makes `content` the pane's only content.
inline void attach_content(ScrollPane& pane, Element& content) {
    pane.children.clear();
    pane.view.children.clear();
    pane.content = &content;
    pane.attach_children();
}

}  // namespace builder
