#include "platform/keys.h"
#include "ui/text_field.h"
#include "ui_test_support.h"

namespace {

using LabelTextTest = UiTest;

TEST_F(LabelTextTest, MeasuresLinesOnFaceZero) {
    struct Case {
        std::string text;
        int32_t width, height, lines;
        std::vector<int32_t> widths;
    };
    // Face 0: a 7, b 7, c 6, d 7, W 11, space 3, tab 10, code 250 10, other
    // high bytes 0; line height 17; the gap is 2.
    const Case cases[] = {
        {"", 0, 17, 0, {}},
        {"ab", 14, 17, 0, {}},
        {"W \t", 24, 17, 0, {}},
        {std::string("\x80\xfa\xff", 3), 10, 17, 0, {}},
        {"ab\ncd", 14, 36, 2, {14, 13}},
        {"W\nab\n", 14, 55, 3, {11, 14, 0}},
    };
    Label label;
    label.line_gap = 2;
    for (const Case& c : cases) {
        label.set_text(c.text);
        EXPECT_EQ(label.text, c.text);
        EXPECT_EQ(label.text_width, c.width) << c.text;
        EXPECT_EQ(label.text_height, c.height) << c.text;
        EXPECT_EQ(label.line_count, c.lines) << c.text;
        EXPECT_EQ(label.multiline, c.lines > 0) << c.text;
        EXPECT_EQ(label.line_widths, c.widths) << c.text;
    }
    label.typeface = nullptr;  // nothing to measure with
    label.set_text("abc");
    EXPECT_EQ(label.text_width + label.text_height, 0);
}

TEST_F(LabelTextTest, LinesFromAListCountStringsNotNewlines) {
    Label label;
    label.set_text_lines({"a", "b", "c"});
    EXPECT_EQ(label.text, "a\nb\nc");
    EXPECT_EQ(label.line_widths, (std::vector<int32_t>{7, 7, 6}));
    EXPECT_EQ(label.text_width, 7);
    label.set_text_lines({"xx\nyy", "W"}, 99);
    EXPECT_EQ(label.line_count, 2);
    EXPECT_EQ(label.text_height, 34);
    label.set_text_lines({"one", "two"}, 1);
    EXPECT_EQ(label.text, "one");
    EXPECT_FALSE(label.multiline);
    label.set_text_lines({"one", "two"}, -3);
    EXPECT_EQ(label.text, "");
    EXPECT_EQ(label.text_height, 17);
}

TEST_F(LabelTextTest, TextFieldEditsSafelyAfterItsLabelChangedBehindItsBack) {
    TextField field;
    field.set_text("abcdefghij");
    field.set_text_lines({"x", "y"});  // bypasses the field's own setter
    field.take_focus();
    EXPECT_TRUE(field.on_key_press(KEY_BACKSPACE, 0));
    EXPECT_EQ(field.text, "x\n");
    EXPECT_EQ(field.caret, 2);
    field.text.clear();
    EXPECT_TRUE(field.on_key_press('q', 0));
    EXPECT_EQ(field.text, "q");
}

}  // namespace
