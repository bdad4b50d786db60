#pragma once
#include <cstdint>
#include <string>

#include "ui/element.h"

using NotifyCallback = void (*)();

// The single-line editable text widget. Its text is the element's own label;
// a one-pixel caret and a translucent selection highlight are two embedded
// children. Keys reach it only while it is `focus_element`. Time is read
// through now_ms() so tests can drive the double-click rule.
struct TextField : Container {
    bool editable = true;
    Element caret_mark;
    Element selection_mark;
    std::string edit_buffer;  // scratch space in which edits rebuild the text
    int32_t length = 0;
    int32_t caret = 0;
    int32_t anchor = 0;
    int32_t extent = 0;
    bool selecting = false;
    int64_t last_click_ms = 0;
    Element* hint = nullptr;  // shown only while the text is empty
    Element* previous_field = nullptr;
    Element* next_field = nullptr;
    NotifyCallback on_escape = nullptr;
    NotifyCallback on_enter = nullptr;

    TextField();
    // The copy's child list refers to its own marks, not the source's.
    TextField(const TextField& other);
    TextField& operator=(const TextField&) = delete;

    void set_text(const std::string& value) override;
    void release_focus() override;
    void take_focus() override;
    bool on_mouse_down(int32_t px, int32_t py, int32_t button) override;
    bool on_mouse_up(int32_t px, int32_t py, int32_t button) override;
    bool on_drag(int32_t px, int32_t py, int32_t button) override;
    bool on_key_press(int32_t key, int32_t modifiers) override;
    bool on_key_release(int32_t key, int32_t modifiers) override;

    // Gives `target` the focus, then lays it out and refreshes it.
    void focus_linked_element(Element* target);
    // Recomputes caret, selection highlight and hint from the indices.
    void update_caret();
    // Deletes the selection, or the character before the caret.
    void delete_selection();

    // Left and top edges of the text inside the field, by its alignment.
    int32_t text_left() const;
    int32_t text_top() const;
    // Character index nearest to a pointer x in the field's frame.
    int32_t index_at(int32_t px) const;

private:
    // Brings `length` and the indices back within the text when the label was
    // changed around the field's own editing (multi-line setter, direct
    // assignment), so no edit reads beyond it.
    void sync_indices();
    int32_t advance_sum(int32_t from, int32_t to) const;
    void insert_character(char c);
    void select_all();
    bool finish_handled(int32_t key, int32_t modifiers);
};
