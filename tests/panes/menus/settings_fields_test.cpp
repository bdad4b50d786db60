#include "panes/menu_fixture.h"
#include "support/call_log.h"

#include "panes/menus/settings_fields.h"
#include "support/decimal_comma_locale.h"
#include "ui/ui_state.h"

namespace {

std::vector<int> resizes;
void record_resize(int32_t w, int32_t h) { resizes = {w, h}; }

// Texts no integer field, respectively no decimal field, can read.
const std::vector<const char*> integer_junk = {"", "abc", "nan", "inf", "99999999999"};
const std::vector<const char*> decimal_junk = {"", "abc", "nan", "inf", "-inf", "1e999"};

std::string warning(const std::string& typed, const std::string& note) {
    return "show_warning_box: Warning: Invalid Numeric Literal\nThe character sequence: \"" + typed +
           "\" caused a number parsing error.\n\nNote: the value has not been modified." + note;
}

struct FieldFixture : MenuFixture {
    FieldFixture() { app->services.resize_window = record_resize; resizes.clear(); }

    // Types `text` into the field and presses Enter.
    void commit(SettingsField field, const std::string& text) {
        settings_field(*app, field).set_text(text);
        commit_settings_field(*app, field);
    }
    // Every junk text warns once with the field's note and leaves `stored` shown.
    void expect_junk_refused(SettingsField field, const std::string& note, const std::string& stored) {
        for (const char* text : field <= FIELD_MAX_CORES ? integer_junk : decimal_junk) {
            reset_call_log();
            commit(field, text);
            ASSERT_EQ(call_log().size(), 1u) << text;
            EXPECT_EQ(call_log()[0], warning(text, note)) << text;
            EXPECT_EQ(settings_field(*app, field).text, stored) << text;
        }
    }
};

const std::string width_note = "\n\nNote: the width dimension should be a positive integer.";
const std::string rate_note =
    "\n\nNote: the maximum framerate should be a positive, non-zero\ninteger or -1 (to signal an uncapped framerate).";
const std::string cores_note =
    "\n\nNote: the max-core count should be a positive non-zero integer\nwithin the range [1:8] inclusive.";

}  // namespace

TEST_F(FieldFixture, WindowSizeFieldsResizeThroughThePlatformOnly) {
    // The field shows the number asked for until the platform's report.
    commit(FIELD_WINDOW_WIDTH, "0x400");
    EXPECT_EQ(resizes, (std::vector<int>{1024, 480}));
    EXPECT_EQ(app->frame.window_width, 720);
    EXPECT_EQ(app->window_width_field.text, "1024");
    commit(FIELD_WINDOW_HEIGHT, "12abc");
    EXPECT_EQ(resizes, (std::vector<int>{720, 12}));
    EXPECT_EQ(app->window_height_field.text, "12");
    resizes.clear();
    reset_call_log();
    commit(FIELD_WINDOW_WIDTH, "0");
    EXPECT_TRUE(resizes.empty());
    EXPECT_EQ(call_log(), (std::vector<std::string>{warning("0", width_note)}));
    EXPECT_EQ(app->window_width_field.text, "720");
    expect_junk_refused(FIELD_WINDOW_WIDTH, width_note, "720");
    EXPECT_TRUE(resizes.empty());
}

TEST_F(FieldFixture, FrameRateAndCoresRefuseOutOfRange) {
    commit(FIELD_FRAME_RATE, "010");
    EXPECT_EQ(app->io_settings.max_frame_rate, 8);
    EXPECT_EQ(app->frame_rate_field.text, "8");
    commit(FIELD_FRAME_RATE, "-1");
    EXPECT_EQ(app->io_settings.max_frame_rate, -1);
    for (const char* text : {"0", "-2"}) {
        reset_call_log();
        commit(FIELD_FRAME_RATE, text);
        EXPECT_EQ(call_log(), (std::vector<std::string>{warning(text, rate_note)}));
        EXPECT_EQ(app->io_settings.max_frame_rate, -1);
    }
    expect_junk_refused(FIELD_FRAME_RATE, rate_note, "-1");

    commit(FIELD_MAX_CORES, "8");
    EXPECT_EQ(app->bars.max_cores, 8);
    reset_call_log();
    commit(FIELD_MAX_CORES, "9");
    EXPECT_EQ(call_log(), (std::vector<std::string>{warning("9", cores_note)}));
    EXPECT_EQ(app->max_cores_field.text, "8");
    expect_junk_refused(FIELD_MAX_CORES, cores_note, "8");
}

TEST_F(FieldFixture, EyeHeightStoresTheNumberRead) {
    commit(FIELD_EYE_HEIGHT, "2.0m");
    EXPECT_EQ(app->tones.eye_height_value, 2.0);
    EXPECT_EQ(app->tones.eye_height_text, "2");
    EXPECT_EQ(app->eye_height_field.text, "2");
    expect_junk_refused(FIELD_EYE_HEIGHT, "\n\nNote: eye-heights can/may/typically range from 1.5 to 2.0 meters.",
                        "2");
    EXPECT_EQ(app->tones.eye_height_value, 2.0);
}

TEST_F(FieldFixture, SliderFieldsClampAndSlidersShowTheirValue) {
    IoSettings& io = app->io_settings;
    commit(FIELD_WORLD_SCALE, "1.5");
    EXPECT_EQ(app->slider_fields[0].text, "1");
    EXPECT_EQ(io.world_scale, 1.0);
    EXPECT_EQ(app->sliders[0].value, 1.0);
    commit(FIELD_LIGHT_INTENSITY, "-3");
    EXPECT_EQ(app->slider_value_texts[2], "0");
    EXPECT_EQ(app->sliders[2].value, 0.0);
    commit(FIELD_BACKGROUND_INTENSITY, "0.25x");
    EXPECT_EQ(app->slider_value_texts[3], "0.25");
    EXPECT_EQ(app->slider_fields[3].text, "0.25");
    EXPECT_EQ(io.background_intensity, 0.25);
    commit(FIELD_FIELD_OF_VIEW, "200");
    EXPECT_EQ(app->slider_fields[1].text, "160");
    EXPECT_EQ(app->camera.live_camera.fov, 160.0);
    expect_junk_refused(FIELD_FIELD_OF_VIEW, "", "160");

    // Escape shows the last committed text, not the typed one.
    app->slider_fields[3].set_text("0.9");
    sync_settings_field(*app, FIELD_BACKGROUND_INTENSITY);
    EXPECT_EQ(app->slider_fields[3].text, "0.25");

    app->sliders[1].on_changed(0.5);
    EXPECT_EQ(io.field_of_view, 90.0);
    EXPECT_EQ(app->slider_fields[1].text, "90");
    app->sliders[0].on_changed(0.333);
    EXPECT_EQ(app->slider_value_texts[0], "0.33");
}

TEST_F(FieldFixture, FieldsReadTheSameUnderADecimalCommaLocale) {
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active());
    commit(FIELD_WORLD_SCALE, "0.25");
    EXPECT_EQ(app->io_settings.world_scale, 0.25);
    commit(FIELD_WORLD_SCALE, "0,25");
    EXPECT_EQ(app->io_settings.world_scale, 0.0);
    app->sliders[2].on_changed(0.5);
    EXPECT_EQ(app->slider_fields[2].text, "0.50");
}
