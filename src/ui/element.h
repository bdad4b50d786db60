#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "art/typeface.h"
#include "ui/ui_state.h"

struct Palette;

// Per-element behaviour is bound through plain function pointers; the bound
// functions reach the single application context directly. Pointer
// coordinates are in the frame of the element that handles the event.
using ClickCallback = void (*)();
using LayoutCallback = void (*)(int32_t width, int32_t height);
using RefreshCallback = void (*)();
using PointerCallback = bool (*)(int32_t x, int32_t y, int32_t button);
using ScrollCallback = bool (*)(int32_t x, int32_t y, int32_t direction);
using KeyCallback = bool (*)(int32_t key, int32_t modifiers);
using ResizeCallback = bool (*)(int32_t width, int32_t height);

// One edge of an element's frame.
struct Border {
    int32_t width = 0;               // pixels; 0 = no border
    uint32_t rgba = 0;               // packed 0xAARRGGBB
    const double* colour = nullptr;  // RGBA in the active theme, or null
    const Palette* palette = nullptr;
};

// A node of the retained widget tree: a rectangle relative to its parent with
// optional decorations and callback slots. The only class family with virtual
// operations in the program.

// Focus and hover: a flag that stays with its element. A copy starts
// without it; assignment leaves the target's own value.
struct ElementStateFlag {
    bool on = false;
    ElementStateFlag() = default;
    ElementStateFlag(const ElementStateFlag&) {}
    ElementStateFlag& operator=(const ElementStateFlag&) { return *this; }
    ElementStateFlag& operator=(bool value) {
        on = value;
        return *this;
    }
    operator bool() const { return on; }
};

struct Element {
    int32_t id = -1;
    std::string name = "?";
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t abs_x = 0, abs_y = 0, abs_width = 0, abs_height = 0;
    int32_t clip_x = 0, clip_y = 0, clip_width = 0, clip_height = 0;
    double depth_offset = 0.0;
    double depth = 0.0;
    int32_t user_index = -1;
    std::string text;
    // A label that shows a path cut to fit keeps the whole path here.
    std::string extra_text;

    uint32_t background_rgba = 0;
    uint32_t text_rgba = 0xff808080u;
    uint32_t hover_rgba = 0;
    uint32_t selected_rgba = 0;
    const double* background_colour = nullptr;
    const double* text_colour = nullptr;
    const double* hover_colour = nullptr;
    const double* selected_colour = nullptr;
    const Palette* background_palette = nullptr;
    const Palette* text_palette = nullptr;
    const Palette* hover_palette = nullptr;
    const Palette* selected_palette = nullptr;

    int32_t icon = -1;
    bool icon_flip_x = false, icon_flip_y = false;
    double icon_scale_x = 1.0, icon_scale_y = 1.0;
    int32_t image = -1;
    bool image_flip_x = false, image_flip_y = false;
    int32_t sprite = -1;
    bool sprite_flip_x = false, sprite_flip_y = false;
    int32_t shape_kind = -1;
    int32_t shape_count = 0;
    double shape_depth = 0.0;
    const double* shape_triangles = nullptr;
    uintptr_t shape_extra = 0;
    uint32_t shape_rgba = 0x40808080u;

    int32_t margin_left = 0, margin_top = 0, margin_right = 0, margin_bottom = 0;
    int32_t padding_left = 0, padding_top = 0, padding_right = 0, padding_bottom = 0;
    Border border_left, border_top, border_right, border_bottom;
    int8_t anchor_x = -1, anchor_y = -1;
    bool fill = false;
    int8_t align_x = -1;  // -1 left, 0 centre, 1 right
    int8_t align_y = -1;  // -1 top, 0 centre, 1 bottom
    const Typeface* typeface = &typefaces[0];
    int32_t text_offset_x = 0, text_offset_y = 0;
    int32_t text_width = 0;
    int32_t text_height = 0;
    std::vector<int32_t> line_widths;
    bool multiline = false;
    int32_t line_count = 0;
    int32_t line_gap = 0;
    double opacity = 1.0;
    double abs_opacity = 1.0;
    int32_t layer = 0;
    int32_t abs_layer = 0;
    bool visible = true;
    bool enabled = true;
    ElementStateFlag focused;
    ElementStateFlag hovered;
    bool selected = false;
    const char* tooltip_title = nullptr;
    const char* tooltip_text = nullptr;
    int32_t tooltip_icon = -1;
    double text_opacity = 1.0;

    ClickCallback click_handler = nullptr;
    LayoutCallback layout_handler = nullptr;
    RefreshCallback refresh_handler = nullptr;
    PointerCallback mouse_down_handler = nullptr;
    PointerCallback mouse_up_handler = nullptr;
    PointerCallback drag_handler = nullptr;
    PointerCallback motion_handler = nullptr;
    ScrollCallback scroll_handler = nullptr;
    KeyCallback key_press_handler = nullptr;
    KeyCallback key_release_handler = nullptr;
    ResizeCallback resize_handler = nullptr;

    bool is_container = false;

    Element() = default;
    // A copy shares theme pointers, callbacks and the id with its source, but
    // is neither focused nor hovered, and assignment keeps the target's own
    // flags: they belong to the one element the globals point at.
    Element(const Element& other) = default;
    Element& operator=(const Element& other) = default;
    virtual ~Element();

    virtual void set_text(const std::string& value);
    virtual void set_text_lines(const std::vector<std::string>& lines, int32_t n);
    virtual void set_text_lines(const std::vector<std::string>& lines);
    virtual void release_focus();
    virtual void take_focus();
    virtual void set_layout_callback(LayoutCallback callback);
    virtual void layout(int32_t w, int32_t h);
    virtual void relayout();
    virtual void set_refresh_callback(RefreshCallback callback);
    virtual void refresh();
    virtual bool on_mouse_down(int32_t px, int32_t py, int32_t button);
    virtual bool on_mouse_up(int32_t px, int32_t py, int32_t button);
    virtual bool on_drag(int32_t px, int32_t py, int32_t button);
    virtual bool on_motion(int32_t px, int32_t py, int32_t button);
    virtual bool on_scroll(int32_t px, int32_t py, int32_t direction);
    virtual bool on_key_press(int32_t key, int32_t modifiers);
    virtual bool on_key_release(int32_t key, int32_t modifiers);
    virtual bool on_resize(int32_t w, int32_t h);
    virtual bool dispatch_click(int32_t px, int32_t py, int32_t button);
    virtual bool dispatch_mouse_down(int32_t px, int32_t py, int32_t button);
    virtual bool dispatch_mouse_up(int32_t px, int32_t py, int32_t button);
    virtual bool dispatch_motion(int32_t px, int32_t py, int32_t button);
    virtual bool dispatch_drag(int32_t px, int32_t py, int32_t button);
    virtual bool dispatch_scroll(int32_t px, int32_t py, int32_t direction);
    virtual bool dispatch_key_press(int32_t key, int32_t modifiers);
    virtual bool dispatch_key_release(int32_t key, int32_t modifiers);
    virtual bool dispatch_resize(int32_t w, int32_t h);

    // Measures `value` with the element's typeface (does not store it).
    void measure_text(const std::string& value);

    bool eligible() const { return visible && enabled; }
    // Inclusive on both edges; the point is in the parent's frame.
    bool contains(int32_t px, int32_t py) const;
};

// The flattened, non-owning list of elements drawn in one frame.
using DrawList = std::vector<Element*>;

// A text-only widget (caption, heading, value text, text button).
struct Label : Element {};

// An element with an ordered list of children it does not own. Pointer
// dispatch tries the children last to first; layout and refresh walk them
// first to last.
struct Container : Element {
    std::vector<Element*> children;
    DrawList draw_list;  // last list collected with this container as the root

    Container() { is_container = true; }

    void layout(int32_t w, int32_t h) override;
    void refresh() override;
    bool dispatch_click(int32_t px, int32_t py, int32_t button) override;
    bool dispatch_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool dispatch_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool dispatch_motion(int32_t px, int32_t py, int32_t button) override;
    bool dispatch_drag(int32_t px, int32_t py, int32_t button) override;
    bool dispatch_scroll(int32_t px, int32_t py, int32_t direction) override;
    bool dispatch_key_press(int32_t key, int32_t modifiers) override;
    bool dispatch_key_release(int32_t key, int32_t modifiers) override;

    // relayout of every child, first to last (the list may grow meanwhile).
    void relayout_children();
};

// The root of the widget tree; the application context derives from it.
struct RootContainer : Container {};

// Advance of one byte in a typeface (0 without a typeface).
inline int32_t glyph_advance(const Typeface* face, unsigned char code) {
    return face ? static_cast<int32_t>(face->glyph_widths[code]) : 0;
}

// `text` with line breaks added so that no line is wider than `width` pixels
// in `face`: a line breaks at the last blank that fits, and a word wider
// than `width` on its own breaks before the first character that does not
// fit (never inside a UTF-8 sequence). Existing breaks, tabs and the blanks
// inside a line are kept; a blank where a line breaks becomes the break.
std::string wrap_text(const Typeface* face, const std::string& text, int32_t width);

// `line` as it fits in max_width pixels of the typeface: whole when it fits,
// else cut at a character and ended with "..." (only as much of "..." as
// fits when even that is too wide). One line; a line end counts as a glyph.
std::string fit_line_with_ellipsis(const Typeface* face, const std::string& line, int32_t max_width);

// `head` then `path`, the path's start replaced by "..." when the last line
// of the two is wider than `room` pixels, so that the path's end (the file
// or folder it names) stays in view. The head is kept whole; a room of 0 or
// less keeps everything.
std::string fit_path_text(const Typeface* face, const std::string& head, const std::string& path, int32_t room);
