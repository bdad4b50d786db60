#include "platform/keys.h"
#include "ui/root_input.h"
#include "ui/text_field.h"
#include "ui_test_support.h"

namespace {

// A 200 x 24 field whose text starts at x = 4, y = 3. Face 0: a 7, b 7, c 6, d 7.
class TextFieldTest : public UiTest {
protected:
    TextField field;
    Label hint;
    double ink[4] = {0, 0, 0, 1};

    void SetUp() override {
        UiTest::SetUp();
        set_rect(field, 0, 0, 200, 24);
        field.padding_left = 4;
        field.padding_top = 3;
        field.text_colour = ink;
        field.hint = &hint;
    }
    // Sets the text and the three indices, then presses one key.
    bool press(const std::string& text, int32_t caret, int32_t anchor, int32_t extent, int32_t key,
               int32_t modifiers = 0) {
        field.set_text(text);
        field.caret = caret, field.anchor = anchor, field.extent = extent;
        if (!field.focused) field.take_focus();
        field.update_caret();
        return field.on_key_press(key, modifiers);
    }
    std::vector<int32_t> indices() const { return {field.caret, field.anchor, field.extent}; }
};

using Idx = std::vector<int32_t>;

TEST_F(TextFieldTest, EditingKeys) {
    struct Case {
        std::string text;
        int32_t caret, anchor, extent, key, modifiers;
        std::string after;
        Idx result;
    };
    const Case cases[] = {
        {"abc", 3, 3, 3, 'd', 0, "abcd", {4, 4, 4}},
        {"abc", 0, 0, 0, 'd', 0, "dabc", {1, 1, 1}},
        {"abcd", 3, 3, 1, KEY_BACKSPACE, 0, "ad", {1, 1, 1}},  // selection made right to left
        {"abcd", 3, 3, 1, KEY_LEFT, 0, "abcd", {1, 1, 1}},
        {"abcd", 3, 3, 1, KEY_RIGHT, 0, "abcd", {3, 3, 3}},
        {"abcd", 1, 1, 3, 'x', 0, "axd", {2, 2, 2}},  // typing replaces the selection
        {"abcd", 2, 2, 2, KEY_BACKSPACE, 0, "acd", {1, 1, 1}},
        {"abcd", 2, 2, 2, KEY_UP, 0, "abcd", {0, 0, 0}},
        {"abcd", 2, 2, 2, KEY_DOWN, 0, "abcd", {4, 4, 4}},
        {"abcd", 2, 2, 2, KEY_UP, MOD_SHIFT, "abcd", {2, 2, 0}},
        {"abcd", 2, 2, 2, KEY_DOWN, MOD_SHIFT, "abcd", {2, 2, 4}},
        {"abcd", 1, 1, 0, KEY_LEFT, MOD_SHIFT, "abcd", {1, 1, 0}},
        {"abcd", 1, 1, 4, KEY_RIGHT, MOD_SHIFT, "abcd", {1, 1, 4}},
        {"abcd", 2, 2, 2, 'a', MOD_CONTROL, "abcd", {4, 0, 4}},
        {"abcd", 2, 2, 2, 'V', MOD_CONTROL, "abcd", {2, 2, 2}},  // accepted, does nothing
        {"", 0, 0, 0, KEY_LEFT, 0, "", {0, 0, 0}},
        {"", 0, 0, 0, KEY_RIGHT, 0, "", {0, 0, 0}},
        {"", 0, 0, 0, KEY_BACKSPACE, 0, "", {0, 0, 0}},
        {"", 0, 0, 0, 1, MOD_CONTROL, "", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(press(c.text, c.caret, c.anchor, c.extent, c.key, c.modifiers)) << c.text << " " << c.key;
        EXPECT_EQ(field.text, c.after) << c.key;
        EXPECT_EQ(indices(), c.result) << c.text << " " << c.key;
        EXPECT_EQ(field.length, static_cast<int32_t>(c.after.size()));
        EXPECT_EQ(field.text_width, advance_of(c.after)) << c.key;  // kept without re-measuring
        EXPECT_EQ(hint.text_opacity, c.after.empty() ? 1.0 : 0.0);
    }
}

TEST_F(TextFieldTest, CaretAndHighlightFollowTheIndices) {
    press("abcd", 1, 1, 1, KEY_RIGHT, MOD_SHIFT);
    field.on_key_press(KEY_RIGHT, MOD_SHIFT);
    EXPECT_EQ(rect_of(field.caret_mark), (std::vector<int32_t>{4 + 7, 3, 1, 17}));  // stays before b
    EXPECT_EQ(field.caret_mark.background_colour, ink);
    EXPECT_TRUE(field.selection_mark.visible);
    EXPECT_EQ(rect_of(field.selection_mark), (std::vector<int32_t>{4 + 7, 3, 13, 17}));  // "bc"
    EXPECT_EQ(field.selection_mark.background_rgba, 0x800080F0u);
    EXPECT_DOUBLE_EQ(field.selection_mark.depth_offset, -0.0095);
    field.set_text("xy");  // indices move, the caret mark waits for an update
    EXPECT_EQ(indices(), (Idx{2, 2, 2}));
    EXPECT_EQ(field.caret_mark.x, 11);
    field.update_caret();
    EXPECT_EQ(field.caret_mark.x, 4 + advance_of("xy"));
    EXPECT_FALSE(field.selection_mark.visible);
    field.align_x = 1;
    field.padding_right = 6;
    EXPECT_EQ(field.text_left(), 200 - 6 - advance_of("xy"));
    field.align_y = 0;
    EXPECT_EQ(field.text_top(), (24 - 3) / 2 + 3 - 17 / 2);
    TextField copy(field);  // a copy owns its marks and has no focus
    EXPECT_EQ(copy.children, (std::vector<Element*>{&copy.caret_mark, &copy.selection_mark}));
    EXPECT_FALSE(copy.focused || copy.caret_mark.visible);
}

TEST_F(TextFieldTest, KeysPassedOnAndFocusKeys) {
    static int32_t answer = 0;
    field.key_press_handler = [](int32_t key, int32_t) { return trace.push_back(std::to_string(key)), answer != 0; };
    field.on_enter = [] { trace.push_back("enter"); };
    field.on_escape = [] { trace.push_back(focus_element ? "escape-focused" : "escape-unfocused"); };
    EXPECT_FALSE(press("abc", 3, 3, 3, 'b', MOD_CONTROL));  // passed on: the callback decides
    EXPECT_FALSE(field.on_key_press(KEY_HOME, 0));
    answer = 1;
    EXPECT_TRUE(field.on_key_press(KEY_END, 0));
    EXPECT_TRUE(field.on_key_press('Z', MOD_CONTROL));  // handled: callback heard, result ignored
    answer = 0;
    EXPECT_TRUE(field.on_key_press(KEY_ENTER, 0));
    EXPECT_EQ(focus_element, &field);
    EXPECT_TRUE(field.on_key_press(KEY_ESCAPE, 0));
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_FALSE(field.caret_mark.visible);
    EXPECT_EQ(trace, (Trace{"98", "520", "521", "90", "enter", "13", "escape-focused", "27"}));
    EXPECT_EQ(field.text, "abc");
    // Tab chains.
    TextField second, third;
    field.next_field = &second;
    second.previous_field = &field;
    second.next_field = &third;
    field.take_focus();
    field.on_key_press(KEY_TAB, 0);
    EXPECT_EQ(focus_element, &second);
    EXPECT_TRUE(second.caret_mark.visible && !field.caret_mark.visible);
    second.on_key_press(KEY_TAB, 0);
    EXPECT_TRUE(third.on_key_press(KEY_TAB, MOD_SHIFT));  // no link: stays
    EXPECT_EQ(focus_element, &third);
    second.take_focus();
    second.on_key_press(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(focus_element, &field);
}

TEST_F(TextFieldTest, PressesPlaceTheCaretAndDoubleClicksSelectAll) {
    install_test_clock(1000000);
    field.set_text("abcd");
    // Left of the text, right of it, either half of b (11..18), the very end.
    for (auto [x, index] : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {150, 4}, {14, 1}, {15, 2}, {31, 4}}) {
        test_clock_ms += 1000;
        EXPECT_TRUE(field.on_mouse_down(x, 5, 0));
        EXPECT_EQ(indices(), (Idx{index, index, index})) << x;
    }
    EXPECT_EQ(focus_element, &field);
    test_clock_ms += 499;
    field.on_mouse_down(4, 5, 0);
    EXPECT_EQ(indices(), (Idx{4, 0, 4}));
    EXPECT_FALSE(field.selecting);
    test_clock_ms += 5000;
    field.on_mouse_down(4, 5, 0);
    test_clock_ms += 500;
    field.on_mouse_down(4, 5, 0);
    EXPECT_EQ(indices(), (Idx{0, 0, 0}));
    EXPECT_TRUE(field.selecting);
    test_clock_ms -= 100;  // a clock that went back is no double click
    field.on_mouse_down(4, 5, 0);
    EXPECT_EQ(indices(), (Idx{0, 0, 0}));
    field.editable = false;  // read-only: presses pass on
    field.release_focus();
    EXPECT_FALSE(field.on_mouse_down(5, 5, 0));
    EXPECT_FALSE(field.focused);
}

TEST_F(TextFieldTest, DragExtendsTheSelectionAndOtherPressesTakeTheFocus) {
    install_test_clock(1000000);
    RootContainer root;
    set_rect(root, 0, 0, 300, 100);
    field.x = field.y = 10;
    root.children = {&field};
    field.set_text("abcd");
    EXPECT_TRUE(root_mouse_press(root, 10 + 4, 15, 0));
    EXPECT_TRUE(root.dispatch_drag(10 + 22, 80, 0));  // past the middle of c
    EXPECT_EQ(indices(), (Idx{0, 0, 3}));
    EXPECT_TRUE(root.dispatch_drag(1000, 80, 0));
    EXPECT_EQ(field.extent, 4);
    root_mouse_release(root, 20, 20, 0);
    EXPECT_FALSE(field.selecting);
    EXPECT_EQ(focus_element, &field);
    root_mouse_press(root, 290, 90, 0);
    EXPECT_EQ(focus_element, nullptr);
}

}  // namespace
