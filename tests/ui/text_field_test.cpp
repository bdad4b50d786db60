#include <tuple>

#include "platform/keys.h"
#include "ui/text_field.h"
#include "ui_test_support.h"

namespace {

// Face 0: a 7, b 7, c 6, d 7, W 11, space 3, tab 10, code 250 10, other high
// bytes 0; line height 17.
using LabelTextTest = UiTest;

TEST_F(LabelTextTest, MeasuresLinesOnFaceZero) {
    struct Case { std::string text; Ints width_height_lines, widths; };
    const Case cases[] = {
        {"", {0, 17, 0}, {}}, {"ab", {14, 17, 0}, {}}, {"W \t", {24, 17, 0}, {}},
        {std::string("\x80\xfa\xff", 3), {10, 17, 0}, {}},
        {"ab\ncd", {14, 17 + 2 + 17, 2}, {14, 13}}, {"W\nab\n", {14, 55, 3}, {11, 14, 0}},  // the gap is 2
    };
    Label label;
    label.line_gap = 2;
    for (const Case& c : cases) {
        label.set_text(c.text);
        EXPECT_EQ(label.text, c.text);
        EXPECT_EQ((Ints{label.text_width, label.text_height, label.line_count}), c.width_height_lines) << c.text;
        EXPECT_EQ(label.line_widths, c.widths) << c.text;
        EXPECT_EQ(label.multiline, c.width_height_lines[2] > 0) << c.text;
    }
    label.typeface = nullptr;  // nothing to measure with
    label.set_text("abc");
    EXPECT_EQ(label.text_width + label.text_height, 0);
}

TEST_F(LabelTextTest, WrappingBreaksAtBlanksAndOnlyOverlongWordsInside) {
    const Typeface* face = &typefaces[0];
    struct Case { const char* text; int32_t width; const char* wrapped; };
    const Case cases[] = {
        {"ab ab ab", 31, "ab ab\nab"},   // "ab ab" is 31 wide: it fits exactly
        {"ab ab ab", 30, "ab\nab\nab"},
        {"ab ab", 14, "ab\nab"},         // the blank that does not fit is the break
        {"ab\nab ab", 31, "ab\nab ab"},  // given breaks stay, short lines too
        {"WWWW", 25, "WW\nWW"},          // a word wider than the line breaks inside
        {"a WWWW", 25, "a\nWW\nWW"},
        {"\tab ab", 31, "\tab\nab"},     // the tab is kept and measured
        {"", 10, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(wrap_text(face, c.text, c.width), c.wrapped) << c.text << " " << c.width;
    EXPECT_EQ(wrap_text(face, "ab ab", 0), "ab ab");
    EXPECT_EQ(wrap_text(nullptr, "ab ab", 5), "ab ab");
}

TEST_F(LabelTextTest, LinesFromAListCountStringsNotNewlines) {
    Label label;
    label.line_gap = 1;
    label.set_text_lines({"a", "b", "c"});
    EXPECT_EQ(label.text, "a\nb\nc");
    EXPECT_EQ(label.line_widths, (Ints{7, 7, 6}));
    EXPECT_EQ((Ints{label.text_width, label.text_height}), (Ints{7, 3 * 17 + 2}));
    label.set_text_lines({"xx\nyy", "W"}, 99);
    EXPECT_EQ((Ints{label.line_count, label.text_height}), (Ints{2, 2 * 17 + 1}));
    label.set_text_lines({"one", "two"}, 1);
    EXPECT_TRUE(label.text == "one" && !label.multiline);
    for (int32_t none : {0, -3}) {
        label.set_text_lines({"one", "two"}, none);
        EXPECT_TRUE(label.text.empty() && label.text_height == 17) << none;
    }
}

// A 200 x 24 field whose text starts at x = 4, y = 3.
class TextFieldTest : public UiTest {
protected:
    TextField field;
    Label hint;
    double ink[4] = {0, 0, 0, 1};

    TextFieldTest() {
        set_rect(field, 0, 0, 200, 24);
        field.padding_left = 4, field.padding_top = 3, field.text_colour = ink, field.hint = &hint;
    }
    // Sets the text and {caret, anchor, extent}, then presses one key.
    bool press(const std::string& text, const Ints& before, int32_t key, int32_t modifiers = 0) {
        field.set_text(text);
        field.caret = before[0], field.anchor = before[1], field.extent = before[2];
        if (!field.focused) field.take_focus();
        field.update_caret();
        return field.on_key_press(key, modifiers);
    }
    Ints indices() const { return {field.caret, field.anchor, field.extent}; }
};

TEST_F(TextFieldTest, EditingKeys) {
    struct Case { std::string text; Ints before; int32_t key, modifiers; std::string after; Ints result; };
    const Case cases[] = {
        {"abc", {3, 3, 3}, 'd', 0, "abcd", {4, 4, 4}}, {"abc", {0, 0, 0}, 'd', 0, "dabc", {1, 1, 1}},
        {"abcd", {3, 3, 1}, KEY_BACKSPACE, 0, "ad", {1, 1, 1}},  // selection made right to left
        {"abcd", {3, 3, 1}, KEY_LEFT, 0, "abcd", {1, 1, 1}}, {"abcd", {3, 3, 1}, KEY_RIGHT, 0, "abcd", {3, 3, 3}},
        {"abcd", {1, 1, 3}, 'x', 0, "axd", {2, 2, 2}},  // typing replaces the selection
        {"abcd", {2, 2, 2}, KEY_BACKSPACE, 0, "acd", {1, 1, 1}},
        {"abcd", {2, 2, 2}, KEY_UP, 0, "abcd", {0, 0, 0}}, {"abcd", {2, 2, 2}, KEY_DOWN, 0, "abcd", {4, 4, 4}},
        {"abcd", {2, 2, 2}, KEY_UP, MOD_SHIFT, "abcd", {2, 2, 0}},
        {"abcd", {2, 2, 2}, KEY_DOWN, MOD_SHIFT, "abcd", {2, 2, 4}},
        {"abcd", {1, 1, 0}, KEY_LEFT, MOD_SHIFT, "abcd", {1, 1, 0}},
        {"abcd", {2, 2, 2}, 'a', MOD_CONTROL, "abcd", {4, 0, 4}},
        {"abcd", {2, 2, 2}, 'V', MOD_CONTROL, "abcd", {2, 2, 2}},  // accepted, does nothing
        {"abcd", {3, 1, 3}, 'c', MOD_CONTROL, "abcd", {3, 1, 3}},  // neither typed nor deleting the selection
        {"", {0, 0, 0}, KEY_LEFT, 0, "", {0, 0, 0}},
        {"", {0, 0, 0}, KEY_BACKSPACE, 0, "", {0, 0, 0}}, {"", {0, 0, 0}, 1, MOD_CONTROL, "", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(press(c.text, c.before, c.key, c.modifiers)) << c.text << " " << c.key;
        // Length and width are kept up to date without re-measuring; the hint shows on empty text only.
        const double hint_opacity = c.after.empty() ? 1.0 : 0.0;
        EXPECT_EQ(std::make_tuple(field.text, indices(), field.length, field.text_width, hint.text_opacity),
                  std::make_tuple(c.after, c.result, int32_t(c.after.size()), advance_of(c.after), hint_opacity))
            << c.text << " " << c.key;
    }
}

TEST_F(TextFieldTest, EditsSafelyAfterItsLabelChangedBehindItsBack) {
    field.set_text("abcdefghij");
    field.take_focus();
    field.set_text_lines({"x", "y"});  // bypasses the field's own setter
    EXPECT_TRUE(field.on_key_press(KEY_LEFT, 0));
    EXPECT_EQ(indices(), (Ints{2, 2, 2}));
    EXPECT_TRUE(field.on_key_press(KEY_BACKSPACE, 0));
    EXPECT_EQ(field.text, "xy");
    field.text.clear();
    EXPECT_TRUE(field.on_key_press('q', 0));
    EXPECT_EQ(field.text, "q");
    field.set_text("abcdefghij"), field.text = "ab";
    field.delete_selection();  // called directly, not through a key
    EXPECT_EQ(field.text, "a");
}

TEST_F(TextFieldTest, CaretAndHighlightFollowTheIndices) {
    press("abcd", {1, 1, 1}, KEY_RIGHT, MOD_SHIFT);
    field.on_key_press(KEY_RIGHT, MOD_SHIFT);
    EXPECT_EQ(rect_of(field.caret_mark), (Ints{4 + 7, 3, 1, 17}));  // stays before b
    EXPECT_TRUE(field.caret_mark.background_colour == ink && field.selection_mark.visible);
    EXPECT_EQ(rect_of(field.selection_mark), (Ints{4 + 7, 3, 13, 17}));  // "bc"
    field.set_text("xy");
    field.update_caret();
    const int32_t w = advance_of("xy");
    EXPECT_EQ(indices(), (Ints{2, 2, 2}));
    EXPECT_TRUE(field.caret_mark.x == 4 + w && !field.selection_mark.visible);
    field.align_x = 1, field.align_y = 0, field.padding_right = 6;
    EXPECT_EQ((Ints{field.text_left(), field.text_top()}), (Ints{200 - 6 - w, (24 - 3) / 2 + 3 - 17 / 2}));
    field.align_x = 0;
    EXPECT_EQ(field.text_left(), (200 - 4 - 6) / 2 + 4 - w / 2);
    TextField copy(field);  // a copy owns its marks and has no focus
    EXPECT_EQ(copy.children, (std::vector<Element*>{&copy.caret_mark, &copy.selection_mark}));
    EXPECT_FALSE(copy.focused || copy.caret_mark.visible);
    Element plain, other;  // assignment neither takes nor drops focus and hover
    plain.focused = true;
    other = plain;
    EXPECT_FALSE(other.focused || other.hovered);
    other.hovered = true;
    other = Element(plain);
    EXPECT_TRUE(other.hovered && !other.focused);
}

TEST_F(TextFieldTest, KeysPassedOnAndFocusKeys) {
    static int32_t answer = 0;
    field.key_press_handler = [](int32_t key, int32_t) { return trace.push_back(std::to_string(key)), answer != 0; };
    field.on_enter = [] { trace.push_back("enter"); };
    field.on_escape = [] { trace.push_back(focus_element ? "escape-focused" : "escape-unfocused"); };
    EXPECT_FALSE(press("abc", {3, 3, 3}, 'b', MOD_CONTROL));  // passed on: the callback decides
    EXPECT_FALSE(field.on_key_press(KEY_HOME, 0) || field.on_key_press(127, 0));  // DEL is not typed
    answer = 1;
    EXPECT_TRUE(field.on_key_press(KEY_END, 0));
    EXPECT_TRUE(field.on_key_press('Z', MOD_CONTROL));  // handled: callback heard, result ignored
    answer = 0;
    EXPECT_TRUE(field.on_key_press(KEY_ENTER, 0));
    EXPECT_EQ(focus_element, &field);
    EXPECT_TRUE(field.on_key_press(KEY_ESCAPE, 0));
    EXPECT_TRUE(!focus_element && !field.caret_mark.visible && field.text == "abc");
    EXPECT_EQ(trace, (Trace{"98", "520", "127", "521", "90", "enter", "13", "escape-focused", "27"}));
    // Tab chains; a missing link keeps the focus.
    TextField second;
    field.next_field = &second, second.previous_field = &field;
    field.take_focus();
    field.on_key_press(KEY_TAB, 0);
    EXPECT_TRUE(focus_element == &second && second.caret_mark.visible && !field.caret_mark.visible);
    second.on_key_press(KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(focus_element, &field);
    EXPECT_TRUE(field.on_key_press(KEY_TAB, MOD_SHIFT) && focus_element == &field);
}

TEST_F(TextFieldTest, PressesPlaceTheCaretAndDoubleClicksSelectAll) {
    install_test_clock(1000000);
    field.set_text("abcd");
    struct Step { int64_t after_ms; int32_t x; Ints result; bool selecting; };
    const Step steps[] = {
        {1000, 0, {0, 0, 0}, true}, {1000, 150, {4, 4, 4}, true},  // left and right of the text
        {1000, 14, {1, 1, 1}, true}, {1000, 15, {2, 2, 2}, true},  // either half of b (11..18)
        {1000, 21, {2, 2, 2}, true}, {1000, 31, {4, 4, 4}, true},  // c's middle, the very end
        {499, 4, {4, 0, 4}, false},                                // double click: all selected
        {5000, 4, {0, 0, 0}, true}, {500, 4, {0, 0, 0}, true},     // too slow
        {-100, 4, {0, 0, 0}, true},                                // a clock that went back
    };
    for (const Step& s : steps) {
        test_clock_ms += s.after_ms;
        EXPECT_TRUE(field.on_mouse_down(s.x, 5, 0));
        EXPECT_TRUE(indices() == s.result && field.selecting == s.selecting && focus_element == &field) << s.x;
    }
    field.editable = false;  // read-only: presses pass on
    field.release_focus();
    EXPECT_FALSE(field.on_mouse_down(5, 5, 0) || field.focused);
}

TEST_F(TextFieldTest, DragExtendsTheSelectionUntilReleased) {
    install_test_clock(1000000);
    Host root(field, 300, 100);
    field.x = field.y = 10;
    field.set_text("abcd");
    EXPECT_TRUE(root_mouse_press(root, 10 + 4, 15, 0));
    EXPECT_TRUE(root.dispatch_drag(10 + 22, 80, 0));  // past the middle of c
    EXPECT_EQ(indices(), (Ints{0, 0, 3}));
    EXPECT_TRUE(root.dispatch_drag(1000, 80, 0));
    EXPECT_EQ(field.extent, 4);
    root_mouse_release(root, 20, 20, 0);
    EXPECT_FALSE(field.selecting || field.on_drag(20, 5, 0));  // released: drags pass on
}

}  // namespace
