#include "ui/text_field.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/keys.h"

namespace {

constexpr uint32_t selection_rgba = 0x800080F0u;
constexpr double selection_depth_offset = -0.0095;
constexpr int64_t double_click_ms = 499;

void hide(Element& e) { e.visible = false; }

}  // namespace

TextField::TextField() {
    hide(caret_mark);
    hide(selection_mark);
    children.push_back(&caret_mark);
    children.push_back(&selection_mark);
}

TextField::TextField(const TextField& other)
    : Container(other),
      editable(other.editable),
      caret_mark(other.caret_mark),
      selection_mark(other.selection_mark),
      edit_buffer(other.edit_buffer),
      length(other.length),
      caret(other.caret),
      anchor(other.anchor),
      extent(other.extent),
      selecting(false),
      last_click_ms(other.last_click_ms),
      hint(other.hint),
      previous_field(other.previous_field),
      next_field(other.next_field),
      on_escape(other.on_escape),
      on_enter(other.on_enter) {
    for (Element*& e : children) {
        if (e == &other.caret_mark) e = &caret_mark;
        if (e == &other.selection_mark) e = &selection_mark;
    }
    // The copy does not hold the focus, so it shows no caret.
    hide(caret_mark);
    hide(selection_mark);
}

void TextField::sync_indices() {
    const int32_t n = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
    if (length != n) length = n;
    caret = std::clamp(caret, 0, length);
    anchor = std::clamp(anchor, 0, length);
    extent = std::clamp(extent, 0, length);
}

int32_t TextField::advance_sum(int32_t from, int32_t to) const {
    int32_t sum = 0;
    const int32_t end = std::min<int32_t>(to, static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX)));
    for (int32_t i = std::max(from, 0); i < end; ++i) {
        sum += glyph_advance(typeface, static_cast<unsigned char>(text[static_cast<size_t>(i)]));
    }
    return sum;
}

void TextField::set_text(const std::string& value) {
    text = value;
    measure_text(text);
    edit_buffer = text;
    length = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
    caret = anchor = extent = length;
}

int32_t TextField::text_left() const {
    const int32_t tw = text_width;
    if (align_x == 0) return (width - padding_left - padding_right) / 2 + padding_left - tw / 2;
    if (align_x > 0) return width - padding_right - tw;
    if (align_x < 0) return padding_left;
    return 0;
}

int32_t TextField::text_top() const {
    const int32_t th = text_height;
    if (align_y == 0) return (height - padding_top - padding_bottom) / 2 + padding_top - th / 2;
    if (align_y > 0) return height - padding_bottom - th;
    if (align_y < 0) return padding_top;
    return 0;
}

int32_t TextField::index_at(int32_t px) const {
    const int32_t left = text_left();
    const int32_t right = left + text_width;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(text.size(), static_cast<size_t>(std::max(length, 0))));
    if (px < left) return 0;
    if (px > right) return n;
    double edge = left;
    for (int32_t i = 0; i < n; ++i) {
        const double advance = glyph_advance(typeface, static_cast<unsigned char>(text[static_cast<size_t>(i)]));
        if (edge + advance * 0.5 >= px) return i;
        edge += advance;
    }
    return n;
}

void TextField::update_caret() {
    sync_indices();
    if (hint != nullptr) hint->text_opacity = length == 0 ? 1.0 : 0.0;
    if (!focused) {
        hide(caret_mark);
        hide(selection_mark);
        return;
    }
    caret_mark.visible = true;
    selection_mark.visible = anchor != extent;
    const int32_t left = text_left();
    const int32_t top = text_top();
    caret_mark.x = left + advance_sum(0, caret);
    caret_mark.y = top;
    caret_mark.width = 1;
    caret_mark.height = text_height;
    caret_mark.background_colour = text_colour;
    if (anchor != extent) {
        const int32_t lo = std::min(anchor, extent), hi = std::max(anchor, extent);
        selection_mark.x = left + advance_sum(0, lo);
        selection_mark.y = top;
        selection_mark.width = advance_sum(lo, hi);
        selection_mark.height = text_height;
        selection_mark.background_rgba = selection_rgba;
        selection_mark.depth_offset = selection_depth_offset;
    } else {
        selection_mark.x = selection_mark.y = selection_mark.width = selection_mark.height = 0;
    }
}

void TextField::delete_selection() {
    sync_indices();
    if (anchor != extent) {
        const int32_t lo = std::min(anchor, extent), hi = std::max(anchor, extent);
        text_width -= advance_sum(lo, hi);
        edit_buffer.assign(text, 0, static_cast<size_t>(lo));
        edit_buffer.append(text, static_cast<size_t>(hi), std::string::npos);
        text = edit_buffer;
        length -= hi - lo;
        caret = anchor = extent = lo;
        update_caret();
    } else if (caret > 0) {
        text_width -= advance_sum(caret - 1, caret);
        text.erase(static_cast<size_t>(caret - 1), 1);
        edit_buffer = text;
        length -= 1;
        caret -= 1;
        anchor = extent = caret;
        update_caret();
    }
}

void TextField::insert_character(char c) {
    if (anchor != extent) delete_selection();
    sync_indices();
    edit_buffer.assign(text, 0, static_cast<size_t>(caret));
    edit_buffer.push_back(c);
    edit_buffer.append(text, static_cast<size_t>(caret), std::string::npos);
    text = edit_buffer;
    text_width += glyph_advance(typeface, static_cast<unsigned char>(c));
    length += 1;
    caret += 1;
    anchor = extent = caret;
    update_caret();
}

void TextField::select_all() {
    sync_indices();
    anchor = 0;
    caret = extent = length;
}

void TextField::take_focus() {
    if (focus_element != nullptr) focus_element->release_focus();
    focused = true;
    focus_element = this;
    update_caret();
}

void TextField::release_focus() {
    if (!focused) return;
    focused = false;
    focus_element = nullptr;
    update_caret();
}

void TextField::focus_linked_element(Element* target) {
    if (target == nullptr) return;
    target->take_focus();
    target->relayout();
    target->refresh();
}

bool TextField::finish_handled(int32_t key, int32_t modifiers) {
    relayout();
    refresh();
    if (key_press_handler) key_press_handler(key, modifiers);
    return true;
}

bool TextField::on_key_press(int32_t key, int32_t modifiers) {
    sync_indices();
    const bool shift = (modifiers & MOD_SHIFT) != 0;
    if ((modifiers & MOD_CONTROL) != 0) {
        switch (key) {
            case 1: case 'A': case 'a':
                select_all();
                selecting = false;
                update_caret();
                return finish_handled(key, modifiers);
            // Copy, paste, cut and undo are accepted but do nothing here.
            case 3: case 22: case 24: case 26:
            case 'C': case 'V': case 'X': case 'Z':
            case 'c': case 'v': case 'x': case 'z':
                return finish_handled(key, modifiers);
            default:
                return key_press_handler ? key_press_handler(key, modifiers) : false;
        }
    }
    if (key >= 32 && key <= 126) {
        insert_character(static_cast<char>(key));
        return finish_handled(key, modifiers);
    }
    const bool has_selection = anchor != extent;
    switch (key) {
        case KEY_BACKSPACE:
            delete_selection();
            break;
        case KEY_TAB:
            focus_linked_element(shift ? previous_field : next_field);
            break;
        case KEY_ENTER:
            if (on_enter) on_enter();
            break;
        case KEY_ESCAPE:
            if (on_escape) on_escape();
            release_focus();
            break;
        case KEY_LEFT:
            if (shift) {
                if (extent > 0) extent -= 1;
                update_caret();
            } else if (has_selection) {
                caret = anchor = extent = std::min(anchor, extent);
                update_caret();
            } else if (caret > 0) {
                caret -= 1;
                anchor = extent = caret;
                update_caret();
            }
            break;
        case KEY_RIGHT:
            if (shift) {
                if (extent < length) extent += 1;
                update_caret();
            } else if (has_selection) {
                caret = anchor = extent = std::max(anchor, extent);
                update_caret();
            } else if (caret < length) {
                caret += 1;
                anchor = extent = caret;
                update_caret();
            }
            break;
        case KEY_UP:
            if (shift) {
                extent = 0;
            } else {
                caret = anchor = extent = 0;
            }
            update_caret();
            break;
        case KEY_DOWN:
            if (shift) {
                extent = length;
            } else {
                caret = anchor = extent = length;
            }
            update_caret();
            break;
        default:
            return key_press_handler ? key_press_handler(key, modifiers) : false;
    }
    return finish_handled(key, modifiers);
}

bool TextField::on_key_release(int32_t key, int32_t modifiers) {
    return key_release_handler ? key_release_handler(key, modifiers) : false;
}

bool TextField::on_mouse_down(int32_t px, int32_t py, int32_t button) {
    if (button == 0 && editable) {
        sync_indices();
        caret = anchor = extent = index_at(px);
        update_caret();
        selecting = true;
        if (!focused) take_focus();
        const int64_t now = now_ms();
        const int64_t since = now - last_click_ms;
        if (since >= 0 && since <= double_click_ms) {
            select_all();
            update_caret();
            selecting = false;
        }
        last_click_ms = now;
        claim_pointer(*this);
        relayout();
        refresh();
    }
    if (mouse_down_handler && mouse_down_handler(px, py, button)) {
        claim_pointer(*this);
        return true;
    }
    return editable;
}

bool TextField::on_drag(int32_t px, int32_t py, int32_t button) {
    if (button == 0 && selecting) {
        sync_indices();
        const int32_t index = index_at(px);
        if (index != extent) {
            extent = index;
            update_caret();
            relayout();
            refresh();
        }
        return true;
    }
    return drag_handler ? drag_handler(px, py, button) : false;
}

bool TextField::on_mouse_up(int32_t px, int32_t py, int32_t button) {
    selecting = false;
    return mouse_up_handler ? mouse_up_handler(px, py, button) : false;
}
