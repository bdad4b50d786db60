// The inspector's transform fields and order buttons, the parameter rows'
// commits, sliders, clicks and variants, and the two pane builders.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

#include "context/entity_carry_over.h"
#include "app/interface_builder.h"
#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/entity_operations.h"
#include "panes/menus/eye_height.h"
#include "panes/pane_test_support.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/inspector/transform_fields.h"
#include "pipeline/parameter_push.h"
#include "platform/keys.h"
#include "model/camera.h"
#include "render/camera_control.h"
#include "support/decimal_comma_locale.h"
#include "text/text_utils.h"

namespace {

struct Editing : PaneFixture {
    Editing() { publish(); }
    EntityRecord& inspected() {
        EntityRecord& e = add_entity("/s/a.vrek");
        app->entities.current_environment_parts.entity_view->selected_row = 0;
        refresh_entity_inspector(*app);
        return e;
    }
    // The parameter pane showing one entity with these parameters.
    EntityRecord& parametric(std::vector<EntityParameter> parameters) {
        EntityRecord& e = add_entity("/s/p.vrek");
        give_parameters(e, std::move(parameters));
        index_parameters();
        app->entities.current_environment_parts.parameter_view->selected_row = 0;
        rebuild_parameter_pane(*app);
        return e;
    }
    // Types `text` into a field and presses a key, as the user does.
    void type(TextField& field, const std::string& text, int32_t key = KEY_ENTER) {
        field.take_focus();
        field.set_text(text);
        field.on_key_press(key, 0);
    }
    bool box_open(int32_t pane) const { return app->pane_open_flags[static_cast<size_t>(pane)] != 0; }
    void close_boxes() {
        app->pane_open_flags.fill(0);
        for (Label& title : app->message_titles) title.text.clear();
    }
    void click_list(int32_t x, int32_t y) {
        app->side_pane.parameter_blocks.pointer_x = x;
        app->side_pane.parameter_blocks.pointer_y = y;
        on_parameter_row_click(*app);
    }
};

EntityParameter typed_parameter(int32_t type, const std::string& name) {
    EntityParameter p;
    p.type = type;
    p.name = name;
    p.label = name;
    p.current.type = type;
    return p;
}

EntityParameter dbl_parameter(const std::string& name, double value, double lower, double upper) {
    EntityParameter p = typed_parameter(PARAMETER_DBL, name);
    p.current.double_value = value;
    p.lower.type = p.upper.type = PARAMETER_DBL;
    p.lower.double_value = lower;
    p.upper.double_value = upper;
    return p;
}

// Texts a user might type, mixing the pieces numbers are made of.
std::string random_text(std::mt19937& rng) {
    static const char* const pieces[] = {"0", "1", "7", "9", "-", "+", ".", ",", "e", "E", "0x", " ", "\t",
                                         "a", "x", "nan", "inf", "NAN", "-inf", "123456789012345678901234567890",
                                         "1e999", "1e-999", "2147483648", "1099511627777", std::string(1, '\0').c_str(),
                                         "\xff", "\xc3\xa9", "'", "\"", "T", "f", "\\"};
    const size_t piece_count = sizeof(pieces) / sizeof(pieces[0]);
    std::string text;
    const int n = std::uniform_int_distribution<int>(0, 5)(rng);
    for (int i = 0; i < n; ++i) {
        const size_t k = std::uniform_int_distribution<size_t>(0, piece_count - 1)(rng);
        text += k == 24 ? std::string(1, '\0') : std::string(pieces[k]);
    }
    return text;
}

// Reads a number as the C library does in the "C" locale: a finite value
// without a range error, or nothing.
struct Oracle {
    locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    ~Oracle() { freelocale(c_locale); }
    bool real(const std::string& text, double& value) const {
        const char* s = text.c_str();
        char* end = nullptr;
        errno = 0;
        value = strtod_l(s, &end, c_locale);
        return end != s && errno != ERANGE && std::isfinite(value);
    }
    // A flag: a whole number (blanks around it) is true when not zero.
    bool flag(const std::string& text) const {
        static const std::string blanks(" \t\n\r\0", 5);
        const size_t a = text.find_first_not_of(blanks), b = text.find_last_not_of(blanks);
        const std::string core = a == std::string::npos ? "" : text.substr(a, b - a + 1);
        char* end = nullptr;
        errno = 0;
        const long long n = strtoll_l(core.c_str(), &end, 10, c_locale);
        const bool whole = !core.empty() && end == core.c_str() + core.size() && errno != ERANGE;
        return whole ? n != 0 : text[0] == 'T' || text[0] == 't';
    }
    bool integer(const std::string& text, int64_t lo, int64_t hi, int64_t& value) const {
        const char* s = text.c_str();
        char* end = nullptr;
        errno = 0;
        const long long v = strtoll_l(s, &end, 10, c_locale);
        value = v;
        return end != s && errno != ERANGE && v >= lo && v <= hi;
    }
};

}  // namespace

TEST_F(Editing, TransformFieldsCommitWarnRestoreAndReset) {
    EntityRecord& e = inspected();
    type(app->translation_fields[1], "2.5mm");
    EXPECT_EQ(e.translation[1], 2.5);
    EXPECT_EQ(e.transform_matrix[13], 2.5);  // the matrix follows
    EXPECT_EQ(app->frame.needs_redraw, 1);
    EXPECT_EQ(app->translation_fields[1].text, "2.5");  // the number in use, not the unit

    type(app->rotation_fields[2], "ten");
    EXPECT_TRUE(box_open(PANE_WARNING));
    EXPECT_EQ(app->message_titles[2].text, "Warning: Invalid Numeric Literal");
    EXPECT_EQ(app->message_texts[2].text,
              "The character sequence: \"ten\" caused a number parsing error.\n\nNote: the value has not been modified");
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_EQ(e.euler_angles[2], 0.0);
    EXPECT_EQ(app->rotation_fields[2].text, "0");  // the angle kept, not "ten"

    e.axis_scale[0] = 1e6;
    type(app->scale_fields[0], "junk", KEY_ESCAPE);
    EXPECT_EQ(app->scale_fields[0].text, "1e+06");

    e.euler_angles = {10, 20, 30};
    set_entity_rotation_order(*app, 3);
    reset_transform_component(*app, 3);
    EXPECT_EQ(e.euler_angles, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(e.rotation_order, 3);
    reset_transform_component(*app, 4);
    EXPECT_EQ(e.rotation_order, ROTATION_XYZ);
    EXPECT_TRUE(app->rotation_order_buttons[0].selected);
    reset_transform_component(*app, 0);
    EXPECT_EQ(app->translation_fields[1].text, "0");
    EXPECT_EQ(e.translation[1], 0.0);
    reset_transform_component(*app, 2);
    EXPECT_EQ(e.axis_scale[0], 1.0);
    EXPECT_EQ(app->scale_fields[0].text, "1");
}

TEST_F(Editing, WithoutAnEntityTheInspectorDoesNothing) {
    add_entity("/s/a.vrek");
    app->translation_fields[0].set_text("abc");
    commit_transform_field(*app, 0, 0);
    sync_transform_field(*app, 0, 0);
    reset_transform_component(*app, 0);
    set_entity_transform_order(*app, 4);
    EXPECT_FALSE(box_open(PANE_WARNING));
    EXPECT_EQ(app->translation_fields[0].text, "abc");
    EXPECT_EQ(entity(0).transform_order, TRANSFORM_SRT);
}

TEST_F(Editing, OrderFiveMakesOnlyZyxBold) {
    EntityRecord& e = inspected();
    set_entity_rotation_order(*app, 5);
    set_entity_transform_order(*app, 9);  // no such order: ignored
    EXPECT_EQ(e.rotation_order, 5);
    EXPECT_EQ(e.transform_order, TRANSFORM_SRT);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(app->rotation_order_buttons[k].selected, k == 5) << k;
    }
}

// Every text either stores the finite number the C library reads, or
// warns and leaves the entity and its matrix as they were.
TEST_F(Editing, TransformTextsMatchTheCLibrary) {
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    EntityRecord& e = inspected();
    e.translation[0] = 0.25;
    build_entity_transform_matrix(e);
    const Oracle oracle;
    std::mt19937 rng(1234);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = random_text(rng);
        const int32_t k = i % 10;
        close_boxes();
        const std::array<double, 16> matrix = e.transform_matrix;
        EntityRecord before = e;
        double expected = 0;
        const bool number = oracle.real(text, expected);
        type(*transform_field(*app, k), text);
        const int32_t group = k < 3 ? 0 : k == 3 ? 1 : k < 7 ? 2 : 3;
        const int32_t axis = k < 3 ? k : k == 3 ? 0 : k < 7 ? k - 4 : k - 7;
        const double stored = *transform_member(e, group, axis);
        if (number) {
            ASSERT_FALSE(box_open(PANE_WARNING)) << text;
            ASSERT_EQ(stored, expected) << text;
        } else {
            ASSERT_TRUE(box_open(PANE_WARNING)) << text;
            ASSERT_EQ(std::memcmp(&stored, transform_member(before, group, axis), sizeof(double)), 0) << text;
            ASSERT_EQ(e.transform_matrix, matrix) << text;
        }
    }
}

// Each value text committed in a real field: either the value the C
// library reads (within bounds) is stored, the slider follows and a push
// is asked for, or one error box opens and nothing changes.
TEST_F(Editing, ParameterTextsMatchTheCLibraryOrChangeNothing) {
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    EntityParameter lng = typed_parameter(PARAMETER_LNG, "l");
    lng.lower.type = lng.upper.type = PARAMETER_LNG;
    lng.lower.long_value = -(int64_t{1} << 40);
    lng.upper.long_value = int64_t{1} << 40;
    EntityRecord& e = parametric({int_parameter("i", 5, true, 0, 10), lng, dbl_parameter("d", 0.5, -1.5, 2.5),
                                  int_parameter("u", 0, false), typed_parameter(PARAMETER_DBL, "v"),
                                  typed_parameter(PARAMETER_BLN, "b"), typed_parameter(PARAMETER_CHR, "c"),
                                  typed_parameter(PARAMETER_STR, "s")});
    std::vector<EntityParameter*> rows = listed_parameters(e);
    const Oracle oracle;
    std::mt19937 rng(99);
    for (int i = 0; i < 8 * 20000; ++i) {
        const int32_t row = i % 8;
        EntityParameter& p = *rows[static_cast<size_t>(row)];
        const std::string text = random_text(rng);
        close_boxes();
        e.parameter_multi_edit_mode = static_cast<uint8_t>(i / 8 % 2);
        e.parameter_push_pending = 0;
        const ParameterValue before = p.current;
        const double slider_before = app->parameter_sliders[static_cast<size_t>(row)].value;
        bool ok = false;
        int64_t n = 0;
        double d = 0;
        switch (row) {
        case 0: ok = oracle.integer(text, 0, 10, n); break;
        case 1: ok = oracle.integer(text, lng.lower.long_value, lng.upper.long_value, n); break;
        case 2: ok = oracle.real(text, d) && d >= -1.5 && d <= 2.5; break;
        case 3: ok = oracle.integer(text, INT32_MIN, INT32_MAX, n); break;
        case 4: ok = oracle.real(text, d); break;
        case 5: ok = !text.empty(); break;
        // No quote, backslash or control character stands in the script.
        case 6: ok = !text.empty() && static_cast<unsigned char>(text[0]) >= 0x20 && !strchr("'\"\\", text[0]); break;
        default: ok = text.find_first_of("\"\\") == std::string::npos;
        }
        type(app->parameter_value_fields[static_cast<size_t>(row)], text);
        const bool errored = box_open(PANE_ERROR);
        if (ok) {
            ASSERT_FALSE(errored) << row << " '" << text << "'";
            if (row == 0 || row == 3) { ASSERT_EQ(p.current.int_value, n) << text; }
            if (row == 1) { ASSERT_EQ(p.current.long_value, n) << text; }
            if (row == 2 || row == 4) { ASSERT_EQ(p.current.double_value, d) << text; }
            if (row == 5) { ASSERT_EQ(p.current.bool_value, oracle.flag(text)) << text; }
            if (row == 6) { ASSERT_EQ(p.current.char_value, text[0]) << text; }
            if (row == 7) { ASSERT_EQ(p.current.string_value, text); }
            if (row <= 2) {
                ASSERT_EQ(app->parameter_sliders[static_cast<size_t>(row)].value, parameter_normalised_value(p)) << text;
            }
            ASSERT_EQ(e.parameter_push_pending, e.parameter_multi_edit_mode ? 0 : 1) << text;
        } else {
            ASSERT_TRUE(errored) << row << " '" << text << "'";
            const std::string& title = app->message_titles[1].text;
            ASSERT_TRUE(title == "Error: Invalid Value for Parameter" || title == "Error: Value Outside of Parameter Bounds");
            ASSERT_EQ(std::memcmp(&p.current.double_value, &before.double_value, sizeof(double)), 0);
            ASSERT_EQ(p.current.int_value, before.int_value);
            ASSERT_EQ(p.current.long_value, before.long_value);
            ASSERT_EQ(app->parameter_sliders[static_cast<size_t>(row)].value, slider_before);
            ASSERT_EQ(e.parameter_push_pending, 0);
            ASSERT_EQ(focus_element, nullptr);
            // The field shows the value kept, as Escape would.
            ASSERT_EQ(app->parameter_value_fields[static_cast<size_t>(row)].text,
                      p.type == PARAMETER_BLN ? (p.current.bool_value ? "TRUE" : "FALSE")
                                              : typed_value_to_text(p.current));
        }
    }
}

TEST_F(Editing, CommitRejectsWithTheExactTextsAndHandlesChrAndUnbounded) {
    EntityRecord& e = parametric({int_parameter("n", 5, true, 0, 10), typed_parameter(PARAMETER_CHR, "c"),
                                  typed_parameter(PARAMETER_STR, "s"), int_parameter("u", 1, false)});
    std::vector<EntityParameter*> rows = listed_parameters(e);
    type(app->parameter_value_fields[0], "12");
    EXPECT_EQ(app->message_titles[1].text, "Error: Value Outside of Parameter Bounds");
    EXPECT_EQ(app->message_texts[1].text,
              "The specified value [12] is outside the range of valid values for the\nparameter named 'n' of type "
              "INT.\n\nNote: the minimum valid value is [0].\n\nNote: the maximum value value is [10].\n\nNote: the "
              "parameter's value has not been modified.");
    type(app->parameter_value_fields[2], "A\"; print(\"INJ\"); STR z = \"B");
    EXPECT_EQ(app->message_titles[1].text, "Error: Invalid Value for Parameter");
    EXPECT_EQ(rows[2]->current.string_value, "");
    type(app->parameter_value_fields[1], "xyz");
    EXPECT_EQ(rows[1]->current.char_value, 'x');
    EXPECT_EQ(app->parameter_value_fields[1].text, "x");
    app->parameter_sliders[3].value = 0.25;
    type(app->parameter_value_fields[3], "-40");
    EXPECT_EQ(rows[3]->current.int_value, -40);
    EXPECT_EQ(app->parameter_sliders[3].value, 0.25);  // no slider of its own

    type(app->parameter_value_fields[0], "3");
    // Escape shows the stored value again.
    type(app->parameter_value_fields[0], "9x", KEY_ESCAPE);
    EXPECT_EQ(app->parameter_value_fields[0].text, "3");
}

TEST_F(Editing, RowClicksByBandAndPosition) {
    EntityParameter flag = typed_parameter(PARAMETER_BLN, "f");
    EntityRecord& e = parametric({int_parameter("n", 5, true, 0, 10), flag});
    std::vector<EntityParameter*> rows = listed_parameters(e);
    const int32_t s = 24, right = 256 - 12 - s;
    // Block 0 spans y 0..72, block 1 72..120; their shared edge hits neither.
    click_list(100, 72);
    EXPECT_EQ(parameter_mark(e, 0) + parameter_mark(e, 1), 0);
    EXPECT_FALSE(box_open(PANE_INFO) || box_open(PANE_CONFIRM));

    click_list(10, 5);
    EXPECT_EQ(app->message_titles[0].text, "Info: INT Type");
    click_list(right + 1, 5);
    EXPECT_EQ(app->message_titles[0].text, "Info: Parameter-Definition");
    click_list(right, 5);
    EXPECT_EQ(parameter_mark(e, 0), 1);
    EXPECT_TRUE(app->side_pane.parameter_blocks.parameter_labels[0].selected);

    e.parameter_push_pending = 0;
    click_list(5, 2 * s + 5);
    EXPECT_EQ(rows[0]->current.int_value, 0);
    EXPECT_EQ(app->parameter_sliders[0].value, 0.0);
    click_list(right + 1, 2 * s + 5);
    EXPECT_EQ(rows[0]->current.int_value, 10);
    EXPECT_EQ(app->parameter_value_fields[0].text, "10");
    EXPECT_EQ(app->parameter_sliders[0].value, 1.0);
    EXPECT_EQ(e.parameter_push_pending, 1);

    click_list(100, 72 + s + 5);
    EXPECT_EQ(rows[1]->current.bool_value, 1);
    EXPECT_EQ(app->parameter_value_fields[1].text, "TRUE");
    EXPECT_EQ(app->parameter_value_fields[1].background_rgba, 0xFF20A000u);
    click_list(100, 72 + s + 5);
    EXPECT_EQ(app->parameter_value_fields[1].text, "FALSE");
    EXPECT_EQ(app->parameter_value_fields[1].background_rgba, 0xFFA02000u);

    click_list(5, 72 + s + 5);
    EXPECT_TRUE(box_open(PANE_CONFIRM));
    EXPECT_EQ(app->export_settings.pending_parameter_index, 1);
}

TEST_F(Editing, SlidersTruncateInsideTheBoundsAndPushByMode) {
    EntityParameter wide = typed_parameter(PARAMETER_LNG, "w");
    wide.lower.type = wide.upper.type = PARAMETER_LNG;
    wide.lower.long_value = INT64_MIN;
    wide.upper.long_value = INT64_MAX;
    EntityRecord& e = parametric({int_parameter("n", 5, true, 0, 10), wide, dbl_parameter("d", 0, 0, 1)});
    std::vector<EntityParameter*> rows = listed_parameters(e);
    for (int32_t row : {0, 1, 2}) {
        Slider& slider = app->parameter_sliders[static_cast<size_t>(row)];
        slider.dragging = true;
        on_parameter_slider_changed(*app, 1.0);
        slider.value = 0.333;
        e.parameter_multi_edit_mode = 1;
        e.parameter_push_pending = 0;
        on_parameter_slider_released(*app);
        EXPECT_EQ(e.parameter_push_pending, 0);
        slider.dragging = false;
    }
    EXPECT_EQ(rows[0]->current.int_value, 3);
    EXPECT_EQ(rows[1]->current.long_value, static_cast<int64_t>(0.333 * (2.0 * 9223372036854775808.0) - 9223372036854775808.0));
    EXPECT_EQ(app->parameter_value_fields[2].text, "0.33");
    EXPECT_EQ(rows[2]->current.double_value, 0.33);  // the value the field shows
    app->parameter_sliders[1].dragging = true;
    e.parameter_multi_edit_mode = 0;
    on_parameter_slider_changed(*app, 1.0);
    EXPECT_EQ(rows[1]->current.long_value, INT64_MAX);  // clamped, not overflowed
    EXPECT_EQ(e.parameter_push_pending, 0);  // immediate mode is off
    on_parameter_slider_released(*app);
    EXPECT_EQ(e.parameter_push_pending, 1);
}

// The DBL slider step, fraction to value, for "no limit", very narrow and
// ordinary spans: the ends are the bounds exactly, the middle is finite and
// within them, and the field and the staged statement show that value.
TEST_F(Editing, DblSliderEndsGiveTheBoundsForAnySpan) {
    struct Step {
        double lower, upper, at_0, at_half, at_1;
        const char *half_shown, *end_shown;
    };
    const Step steps[] = {
        {-1e308, 1e308, -1e308, 0.0, 1e308, "0.00", "1e+308"},
        {0.0, 1e-20, 0.0, 5e-21, 1e-20, "5e-21", "1e-20"},
        {0.5, 5.0, 0.5, 2.75, 5.0, "2.75", "5.00"},
        {0.0, 1.0, 0.0, 0.5, 1.0, "0.50", "1.00"},
        {0.126, 5.0, 0.126, 2.56, 5.0, "2.56", "5.00"},  // an end off the shown decimals is still the bound
    };
    EntityParameter& p = *listed_parameters(parametric({dbl_parameter("d", 0, 0, 1)}))[0];
    app->parameter_sliders[0].dragging = true;
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::PrintToString(s.lower) + " to " + ::testing::PrintToString(s.upper));
        p.lower.double_value = s.lower;
        p.upper.double_value = s.upper;
        for (const auto& [f, want] :
             {std::pair{-0.25, s.at_0}, {0.0, s.at_0}, {0.5, s.at_half}, {1.0, s.at_1}, {1.25, s.at_1}}) {
            on_parameter_slider_changed(*app, f);
            EXPECT_EQ(p.current.double_value, want) << f;
            EXPECT_EQ(format_parameter_statement(p), "DBL d = " + double_to_exact_text(want) + ";");
        }
        EXPECT_EQ(app->parameter_value_fields[0].text, s.end_shown);
        on_parameter_slider_changed(*app, 0.5);
        EXPECT_EQ(app->parameter_value_fields[0].text, s.half_shown);
        // Placed back on the slider, the value sits where it was set.
        EXPECT_NEAR(parameter_normalised_value(p), 0.5, 0.005);
    }
}

TEST_F(Editing, VariantsSetMatchingParametersAndSkipBadValues) {
    EntityRecord& e = parametric({typed_parameter(PARAMETER_CHR, "c"), typed_parameter(PARAMETER_STR, "s"),
                                  dbl_parameter("d", 1.0, 0.0, 2.0), int_parameter("n", 5, true, 0, 10)});
    std::vector<EntityParameter*> rows = listed_parameters(e);
    app->bars.variant_tables.pieces = {{"c", "'x'", "s", "\"hello\"", "d", "nan", "n", "7"},
                                       {"c", "x", "c", "'''", "s", "\"C:\\d\"", "d", "1.5", "n", "11"}};
    app->bars.variant_tables.entity_ids = {e.serial_id, e.serial_id};
    app->bars.variant_count = 2;
    capture_stdout();
    apply_parametric_variant(*app, 0);
    EXPECT_EQ(rows[0]->current.char_value, 'x');
    EXPECT_EQ(rows[1]->current.string_value, "hello");
    EXPECT_EQ(format_parameter_statement(*rows[1]), "STR s = \"hello\";");
    EXPECT_EQ(rows[2]->current.double_value, 1.0);  // nan skipped
    EXPECT_EQ(rows[3]->current.int_value, 7);
    EXPECT_DOUBLE_EQ(app->parameter_sliders[3].value, 0.7);
    EXPECT_EQ(app->bars.applied_variant_index, 0);
    rows[0]->current.char_value = 'q';
    apply_parametric_variant(*app, 1);
    EXPECT_EQ(rows[0]->current.char_value, 'q');
    EXPECT_EQ(rows[1]->current.string_value, "hello");  // refused with the box
    EXPECT_EQ(app->message_titles[1].text, "Error: Invalid Value for Parameter");
    EXPECT_EQ(rows[2]->current.double_value, 1.5);
    EXPECT_EQ(app->parameter_value_fields[2].text, "1.50");
    EXPECT_EQ(rows[3]->current.int_value, 7);  // 11 is out of bounds
    apply_parametric_variant(*app, 2);         // no such variant
    EXPECT_EQ(captured_stdout(), "TODO:ESCAPED-CHARACTER!\n");
}

TEST_F(Editing, VariantsPlaceholderKeepsTheOverlayForAnOpenPopup) {
    app->pane_open_flags[PANE_HELP] = 1;
    show_variant_directives_placeholder(*app);
    EXPECT_TRUE(app->DIRECTIVEPANE.visible);
    show_variant_directives_placeholder(*app);
    EXPECT_FALSE(app->DIRECTIVEPANE.visible);
    EXPECT_TRUE(app->OVERLAY.visible && app->MASKPANE.visible);
    app->pane_open_flags[PANE_HELP] = 0;
    show_variant_directives_placeholder(*app);
    show_variant_directives_placeholder(*app);
    EXPECT_FALSE(app->OVERLAY.visible || app->MASKPANE.visible);
}

TEST_F(Editing, CarryOverZoomAndEyeHeight) {
    EntityRecord sub_a = entity_construct(), sub_b = entity_construct();
    EntityRecord old = entity_construct(true), fresh = entity_construct(true);
    old.parallel = fresh.parallel = 1;
    old.visible = 0;
    old.translation = {1, 2, 3};
    old.rotation_order = 4;
    fresh.locked = 1;
    fresh.subelement_records = {&sub_a, nullptr, &sub_b};
    merge_entity_display_flags(*app, old, fresh);
    EXPECT_EQ(fresh.locked, 1);
    EXPECT_EQ(sub_a.visible + sub_b.visible + fresh.visible, 0);
    EXPECT_EQ(fresh.rotation_order, 4);
    EXPECT_EQ(fresh.transform_matrix[12], 1.0);

    app->camera.orbit_distance = 999;
    EXPECT_EQ(zoom_orbit_out(*app), 1);
    EXPECT_EQ(app->camera.orbit_distance, 1000.0);
    EXPECT_EQ(zoom_orbit_out(*app), 0);

    CameraSlot& saved = app->camera.controller_cameras[CAMERA_FIRST_PERSON];
    saved.eye[1] = 1.75;
    saved.look_at[1] = 1.5;
    app->camera.camera_controller = CAMERA_FIRST_PERSON;
    app->camera.live_camera.eye[1] = 1.75;
    app->camera.live_camera.look_at[1] = 1.0;
    set_eye_height(*app, "2.0", 2.0);
    EXPECT_DOUBLE_EQ(saved.look_at[1], 1.75);
    EXPECT_DOUBLE_EQ(app->camera.live_camera.look_at[1], 1.25);
    EXPECT_EQ(app->tones.eye_height_text, "2.0");
}

TEST_F(Editing, BuildersChainTheTabRingAndADisabledHeaderTakesNoClick) {
    build_entity_inspector(*app);
    build_parameter_pane(*app);
    EXPECT_EQ(app->rotation_fields[2].next_field, &app->translation_fields[0]);
    EXPECT_EQ(app->translation_fields[0].previous_field, &app->rotation_fields[2]);
    EXPECT_EQ(app->uniform_scale_field.next_field, &app->scale_fields[0]);
    // A disabled header passes no click to its buttons.
    parametric({int_parameter("n", 1, false)});
    app->parameter_entity_header.enabled = false;
    const uint8_t before = entity(0).parameter_auto_sync;
    app->parameter_entity_header.dispatch_click(app->parameter_auto_sync_button.x + 5, app->parameter_auto_sync_button.y + 5, 0);
    EXPECT_EQ(entity(0).parameter_auto_sync, before);
}
