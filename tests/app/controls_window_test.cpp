// Controls of the built interface that answer the pointer, in a real window
// under a private X server: the file list's scroll bar, the popup close
// buttons, the boolean parameter values and the parameter sliders. Every
// element is reached by walking the tree from the root and judged by the
// pixels the X server shows. One live application per process: each test
// runs as its own CTest entry.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "art/icon_table.h"
#include "panes/menus/interface_themes.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/message_boxes.h"
#include "platform/files.h"
#include "platform/platform_state.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/window_size.h"
#include "ui/slider.h"
#include "ui/text_field.h"
#include "ui/theme.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

// --- The screen -------------------------------------------------------------

// Saved to test-output/app/controls_<name>.png for review.
void save(const Picture& p, const std::string& name) { save_picture(p, "app", "controls_" + name); }

double luminance(uint32_t c) {
    return (0.2126 * (c >> 16 & 0xff) + 0.7152 * (c >> 8 & 0xff) + 0.0722 * (c & 0xff)) / 255.0;
}

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

// The share of the pixels of `r` that differ between two pictures.
double changed_share(const Picture& a, const Picture& b, Rect r) {
    int64_t points = 0, changed = 0;
    for (int32_t y = std::max(r.y, 0); y < r.y + r.h && y < a.height; ++y)
        for (int32_t x = std::max(r.x, 0); x < r.x + r.w && x < a.width; ++x)
            ++points, changed += !near_colour(a.at(x, y), b.at(x, y), 8);
    return points == 0 ? 0.0 : double(changed) / double(points);
}

// --- The tree, walked from the root ----------------------------------------

// A visible element and its rectangle in the canvas, summed along its path.
struct Placed {
    const Element* e = nullptr;
    Rect r;
    explicit operator bool() const { return e != nullptr; }
};

void walk(const Element& e, int32_t ox, int32_t oy, const std::function<void(const Placed&)>& visit) {
    if (!e.visible) return;
    const Placed here{&e, {ox + e.x, oy + e.y, e.width, e.height}};
    visit(here);
    if (auto* c = dynamic_cast<const Container*>(&e))
        for (const Element* child : c->children)
            if (child != nullptr) walk(*child, here.r.x, here.r.y, visit);
}

std::vector<Placed> all_under(const Placed& from) {
    std::vector<Placed> out;
    if (!from) return out;
    const auto* c = dynamic_cast<const Container*>(from.e);
    if (c == nullptr) return out;
    for (const Element* child : c->children)
        if (child != nullptr) walk(*child, from.r.x, from.r.y, [&](const Placed& p) { out.push_back(p); });
    return out;
}

// A visible child of `from` with the name key, at any depth.
Placed named_under(const Placed& from, const std::string& key) {
    for (const Placed& p : all_under(from))
        if (p.e->name == key) return p;
    return {};
}

Placed root_of(const AppContext& app) { return {&app, {0, 0, app.width, app.height}}; }

// --- The application --------------------------------------------------------

struct ControlsWindow : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    void TearDown() override { free_context_meshes(app); }

    bool click_at(int32_t x, int32_t y) { return live.click_at(x, y); }
    bool click(const Placed& p) { return p && click_at(p.r.x + p.r.w / 2, p.r.y + p.r.h / 2); }
    // A press, a drag in steps and a release, as a hand does it.
    bool drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        live.find_canvas();
        std::string steps = "mousemove --sync " + live.at(x0, y0) + " sleep 0.1 mousedown 1 sleep 0.1";
        for (int k = 1; k <= 8; ++k)
            steps += " mousemove " + live.at(x0 + (x1 - x0) * k / 8, y0 + (y1 - y0) * k / 8) + " sleep 0.05";
        return live.xdotool(steps + " sleep 0.1 mouseup 1");
    }
    // The pointer over the window's bottom-left corner, where nothing
    // shows a hover, and the frames that follow on the screen.
    Picture settled() {
        live.xdotool("mousemove --sync " + live.at(4, app.height - 4) + " mousemove --sync " +
                     live.at(3, app.height - 3));
        live.pump_for(300);
        Picture shown = grab_canvas(live);
        for (int tries = 0; tries < 10; ++tries) {
            live.pump_for(150);
            Picture again = grab_canvas(live);
            if (changed_share(shown, again, {0, 0, shown.width, shown.height}) == 0.0) break;
            shown = std::move(again);
        }
        return shown;
    }
    Placed named(const std::string& key) { return named_under(root_of(app), key); }
};

// --- The file list's scroll bar ---------------------------------------------

// The rows of the track's centre column drawn unlike the track's commonest
// colour: where the thumb shows (first and last row; -1 when none).
std::pair<int32_t, int32_t> thumb_rows(const Picture& p, Rect track) {
    const int32_t x = track.x + track.w / 2;
    std::map<uint32_t, int> counts;
    for (int32_t y = track.y; y < track.y + track.h; ++y) ++counts[p.at(x, y)];
    const uint32_t common =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    int32_t first = -1, last = -1;
    for (int32_t y = track.y + 1; y < track.y + track.h - 1; ++y)
        if (!near_colour(p.at(x, y), common, 12)) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

TEST_F(ControlsWindow, FileListScrollBarFollowsDragsAndTrackClicks) {
    for (int k = 0; k < 50; ++k)
        ASSERT_TRUE(write_text_file(sample.workspace() + "extra_" + std::to_string(100 + k) + ".vrek",
                                    "return box(1);\n"));
    ASSERT_TRUE(live.open());
    ASSERT_TRUE(live.finish_intro(sample));
    ASSERT_TRUE(click(named("OPEN")));
    ASSERT_TRUE(live.pump_until([&] { return bool(named("FILEPANE")); }, 5000));
    const Picture top = settled();
    save(top, "browser_top");

    // The scroll bar at the list's right edge: the track is the tallest
    // bar-wide element of the browser, the thumb lies on it.
    const int32_t S = app.ui_metrics.bar_height;
    Placed track;
    for (const Placed& p : all_under(named("FILEPANE")))
        if (p.r.w == S && !dynamic_cast<const Container*>(p.e) && (!track || p.r.h > track.r.h)) track = p;
    ASSERT_TRUE(track);
    ASSERT_GT(track.r.h, 6 * S);
    const Placed pane = named("FILEPANE");
    const Rect list{pane.r.x, track.r.y, track.r.x - pane.r.x, track.r.h};
    const auto at_top = thumb_rows(top, track.r);
    ASSERT_GE(at_top.first, 0) << "no thumb drawn";
    EXPECT_LE(at_top.first, track.r.y + 3);

    // Dragging the thumb to the track's end scrolls the list to its end.
    const int32_t x = track.r.x + track.r.w / 2;
    ASSERT_TRUE(drag(x, (at_top.first + at_top.second) / 2, x, track.r.y + track.r.h + 40));
    const Picture bottom = settled();
    save(bottom, "browser_dragged");
    const auto at_bottom = thumb_rows(bottom, track.r);
    EXPECT_GE(at_bottom.second, track.r.y + track.r.h - 4);
    EXPECT_GE(at_bottom.first, track.r.y + track.r.h / 2);
    EXPECT_GT(changed_share(top, bottom, list), 0.02) << "the list did not scroll";

    // A click on the track's middle brings the thumb's centre there.
    ASSERT_TRUE(click_at(x, track.r.y + track.r.h / 2));
    const Picture middle = settled();
    save(middle, "browser_track_click");
    const auto at_middle = thumb_rows(middle, track.r);
    EXPECT_NEAR((at_middle.first + at_middle.second) / 2.0, track.r.y + track.r.h / 2.0, 3.0);
    EXPECT_GT(changed_share(bottom, middle, list), 0.02);
    EXPECT_GT(changed_share(top, middle, list), 0.02);
}

// --- Popup close buttons ----------------------------------------------------

// A visible element under `from` that shows `text`.
Placed with_text(const Placed& from, const std::string& text) {
    for (const Placed& p : all_under(from))
        if (p.e->text == text) return p;
    return {};
}

// The close mark of a popup: its top-right DELETE icon.
Placed close_mark(const Placed& pane) {
    Placed best;
    for (const Placed& p : all_under(pane))
        if (p.e->icon == ICON_DELETE && (!best || p.r.x - p.r.y > best.r.x - best.r.y)) best = p;
    return best;
}

TEST_F(ControlsWindow, PopupCloseButtonsCloseTheTopMostPopup) {
    ASSERT_TRUE(live.open());
    const Placed root = root_of(app);
    ASSERT_TRUE(live.pump_until([&] { return bool(with_text(root, "Kernel Path")); }, 10'000));
    live.pump_for(3200);  // the intro's fades end
    const Picture configuration = settled();
    save(configuration, "configuration");
    const Rect whole{0, 0, configuration.width, configuration.height};

    // During the configuration: the kernel box opens the browser, "Select"
    // with nothing chosen warns over it.
    ASSERT_TRUE(click(with_text(root, "Kernel Path")));
    const Picture browser = settled();
    ASSERT_GT(changed_share(configuration, browser, whole), 0.3);
    ASSERT_TRUE(click(with_text(named("FILEPANE"), "Select")));
    const Picture warned = settled();
    save(warned, "configuration_warning");
    const Placed warning = named("WARNINGPANE");
    ASSERT_TRUE(warning);
    ASSERT_GT(changed_share(browser, warned, warning.r), 0.1);

    // The warning's X closes the warning and leaves the browser; the
    // browser's X then brings the configuration back under its mask.
    ASSERT_TRUE(click(close_mark(warning)));
    EXPECT_LT(changed_share(browser, settled(), whole), 0.005) << "the warning's X left something else";
    ASSERT_TRUE(click(close_mark(named("FILEPANE"))));
    const Picture closed = settled();
    save(closed, "configuration_browser_closed");
    EXPECT_LT(changed_share(configuration, closed, whole), 0.005) << "the browser's X did not bring the configuration back";

    // After the intro: the browser's X closes the browser.
    ASSERT_TRUE(live.finish_intro(sample));
    const Picture none = settled();
    save(none, "none_open");
    ASSERT_TRUE(click(named("OPEN")));
    ASSERT_GT(changed_share(none, settled(), whole), 0.3);
    ASSERT_TRUE(click(close_mark(named("FILEPANE"))));
    EXPECT_LT(changed_share(none, settled(), whole), 0.005) << "the browser's X left the browser open";

    // With the error box and then the information box raised, the screen
    // shows the information box whole, as if alone: nothing of the error box
    // shows through. Its X closes it, and the error box shows again.
    show_error_box(app, "Error: First Message", "The error box's text.");
    const Picture error_alone = settled();
    ASSERT_TRUE(live.xdotool("key Escape"));
    show_info_box(app, "Info: Second Message", "The information box's text.");
    const Picture info_alone = settled();
    ASSERT_TRUE(live.xdotool("key Escape"));
    const Placed box = named("INFOPANE");
    ASSERT_TRUE(!box && !named("ERRORPANE"));
    show_error_box(app, "Error: First Message", "The error box's text.");
    show_info_box(app, "Info: Second Message", "The information box's text.");
    const Picture both = settled();
    save(both, "info_over_error");
    const Placed info = named("INFOPANE");
    ASSERT_TRUE(info);
    ASSERT_GT(changed_share(error_alone, info_alone, info.r), 0.002);
    EXPECT_LT(changed_share(info_alone, both, info.r), 0.0005) << "the box beneath shows through";
    ASSERT_TRUE(click(close_mark(info)));
    const Picture one_closed = settled();
    save(one_closed, "info_closed");
    EXPECT_LT(changed_share(error_alone, one_closed, info.r), 0.0005) << "the error box is not the one left open";
    ASSERT_TRUE(click(close_mark(named("ERRORPANE"))));
    EXPECT_LT(changed_share(none, settled(), whole), 0.005);
}

// A visible text field under `from`.
Placed text_field(const Placed& from) {
    for (const Placed& p : all_under(from))
        if (dynamic_cast<const TextField*>(p.e)) return p;
    return {};
}

// A refused export name raises a warning over the export pane. Enter, and
// clicks inside the warning or on the Export button beneath it, reach only
// the warning: no confirmation, no file. Once its X closed it, Enter exports.
TEST_F(ControlsWindow, MessageBoxTakesTheInputFromThePaneBeneath) {
    ASSERT_TRUE(live.open());
    ASSERT_TRUE(live.finish_intro(sample));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "parameters.vrek"}));
    // The workspace came after the interface, as the configuration gives it.
    set_export_location(app, sample.workspace());
    ASSERT_TRUE(click(named("EXPORT")));
    ASSERT_TRUE(live.pump_until([&] { return bool(named("EXPORTPANE")); }, 5000));
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(click(with_text(named("EXPORTPANE"), "STL")));
    const auto name_typed = [&](const std::string& text) {
        return click(text_field(named("EXPORTPANE"))) &&
               live.xdotool("key ctrl+a BackSpace type --delay 20 " + text) && live.xdotool("key Return");
    };
    ASSERT_TRUE(name_typed("first"));
    const Placed export_button = with_text(named("EXPORTPANE"), "Export");
    ASSERT_TRUE(export_button);
    const auto exported = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(sample.workspace()))
            if (entry.path().filename().string().rfind("first", 0) == 0) return true;
        return false;
    };
    const auto warned = [&] {
        return name_typed("a/b") && live.pump_until([&] { return bool(named("WARNINGPANE")); }, 5000);
    };

    ASSERT_TRUE(warned());
    const Picture warning_shown = settled();
    save(warning_shown, "export_name_warning");
    const Rect whole{0, 0, warning_shown.width, warning_shown.height};
    ASSERT_TRUE(live.xdotool("key Return"));
    live.pump_for(500);
    EXPECT_FALSE(named("WARNINGPANE")) << "Enter left the warning open";
    EXPECT_FALSE(named("CONFIRMPANE")) << "Enter on the warning went on to the export";
    EXPECT_TRUE(named("EXPORTPANE"));

    ASSERT_TRUE(warned());
    const Placed warning = named("WARNINGPANE");
    for (const Placed& target : {export_button, warning}) {
        ASSERT_TRUE(click(target));
        live.pump_for(500);
        EXPECT_LT(changed_share(warning_shown, settled(), whole), 0.001) << "a click reached the pane beneath";
        EXPECT_FALSE(named("CONFIRMPANE"));
    }
    EXPECT_FALSE(exported());

    // The control: closed by its X, the warning leaves the pane to Enter.
    ASSERT_TRUE(click(close_mark(named("WARNINGPANE"))));
    ASSERT_TRUE(live.pump_until([&] { return !named("WARNINGPANE"); }, 5000));
    ASSERT_TRUE(live.xdotool("key Return"));
    ASSERT_TRUE(live.pump_until([&] { return bool(named("CONFIRMPANE")); }, 5000));
    ASSERT_TRUE(live.xdotool("key Return"));
    EXPECT_TRUE(live.pump_until(exported, 30'000));
}

// --- Boolean values and parameter sliders ----------------------------------

// Pixels of the value's rectangle (less its edges) whose luminance stands
// more than 0.3 off the rectangle's commonest colour, its background.
int32_t readable_ink(const Picture& p, Rect r) {
    std::map<uint32_t, int> counts;
    for (int32_t y = r.y + 2; y < r.y + r.h - 2; ++y)
        for (int32_t x = r.x + 2; x < r.x + r.w - 2; ++x) ++counts[p.at(x, y)];
    if (counts.empty()) return 0;
    const uint32_t background =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    int32_t ink = 0;
    for (int32_t y = r.y + 2; y < r.y + r.h - 2; ++y)
        for (int32_t x = r.x + 2; x < r.x + r.w - 2; ++x)
            ink += std::abs(luminance(p.at(x, y)) - luminance(background)) > 0.3;
    return ink;
}

// The share of the thumb's inner pixels drawn unlike the same row of the
// slider away from the thumb (where only the track and the pane show).
double thumb_ink(const Picture& p, Rect slider, Rect thumb) {
    const bool left_half = thumb.x + thumb.w / 2 < slider.x + slider.w / 2;
    const int32_t away = left_half ? slider.x + slider.w - 30 : slider.x + 30;
    int32_t points = 0, drawn = 0;
    for (int32_t y = thumb.y + 2; y < thumb.y + thumb.h - 2; ++y)
        for (int32_t x = thumb.x + 2; x < thumb.x + thumb.w - 2; ++x)
            ++points, drawn += !near_colour(p.at(x, y), p.at(away, y), 12);
    return points == 0 ? 0.0 : double(drawn) / points;
}

struct SliderOnScreen {
    Placed slider, thumb;
};

std::vector<SliderOnScreen> parameter_sliders(const Placed& pane) {
    std::vector<SliderOnScreen> out;
    for (const Placed& p : all_under(pane))
        if (dynamic_cast<const Slider*>(p.e)) {
            const std::vector<Placed> parts = all_under(p);
            out.push_back({p, parts.empty() ? Placed{} : parts[0]});
        }
    return out;
}

// The script opened alone, its entity chosen in the PARAMETER pane, at
// 1280 x 800: room for every parameter.
void show_parameters_of(ControlsWindow& t, const std::string& script) {
    ASSERT_TRUE(t.live.open());
    ASSERT_TRUE(t.live.finish_intro(t.sample));
    ASSERT_TRUE(t.live.open_scripts({t.sample.workspace() + script}));
    ASSERT_TRUE(resize_window(t.live, 1280, 800));
    ASSERT_TRUE(t.click(t.named("PARAMETER")));
    Placed entity;
    const std::string name = script.substr(0, script.find('.'));
    const auto entity_row = [&] {
        for (const Placed& p : all_under(t.named("PARAMETERCONTROL")))
            if (p.e->text.rfind(name, 0) == 0) entity = p;
        return bool(entity);
    };
    ASSERT_TRUE(t.live.pump_until(entity_row, 5000));
    ASSERT_TRUE(t.live.await_frames());
    entity_row();
    // The row's name runs on past the pane: clicked near its start.
    ASSERT_TRUE(t.click_at(entity.r.x + 40, entity.r.y + entity.r.h / 2));
}

TEST_F(ControlsWindow, ParameterValuesAndSlidersCanBeSeen) {
    ASSERT_NO_FATAL_FAILURE(show_parameters_of(*this, "parameters.vrek"));
    const auto value = [&] {
        const Placed pane = named("PARAMETERCONTROL");
        const Placed on = with_text(pane, "TRUE");
        return on ? on : with_text(pane, "FALSE");
    };
    ASSERT_TRUE(live.pump_until([&] { return bool(value()); }, 5000));

    // Each mode button looks different on, and as before off again.
    for (const char* mode : {"Auto-Sync.", "Immediate", "Multi-Edit-Mode"}) {
        const Picture off = settled();
        const Placed button = with_text(named("PARAMETERCONTROL"), mode);
        ASSERT_TRUE(button) << mode;
        ASSERT_TRUE(click(button));
        const Picture on = settled();
        save(on, std::string("mode_on_") + mode);
        EXPECT_GT(changed_share(off, on, button.r), 0.3) << mode << " looks the same on and off";
        ASSERT_TRUE(click(button));
        EXPECT_LT(changed_share(off, settled(), button.r), 0.002) << mode << " looks different off again";
    }

    // Each bounded parameter's slider shows its thumb.
    const Picture shown = settled();
    save(shown, "sliders");
    std::vector<SliderOnScreen> sliders = parameter_sliders(named("PARAMETERCONTROL"));
    ASSERT_EQ(sliders.size(), 3u);  // Segments, Tower height, Seed
    for (const SliderOnScreen& s : sliders) {
        ASSERT_TRUE(s.thumb);
        EXPECT_GE(thumb_ink(shown, s.slider.r, s.thumb.r), 0.5) << "a slider without its thumb";
    }

    // Dragged, the first thumb shows where it was left, and not where it was.
    const Rect was = sliders[0].thumb.r;
    const int32_t y = was.y + was.h / 2;
    ASSERT_TRUE(drag(was.x + was.w / 2, y, was.x + was.w / 2 + 3 * was.w, y));
    const Picture dragged = settled();
    save(dragged, "slider_dragged");
    sliders = parameter_sliders(named("PARAMETERCONTROL"));
    ASSERT_EQ(sliders.size(), 3u);
    const Rect now = sliders[0].thumb.r;
    ASSERT_GE(now.x, was.x + was.w);
    EXPECT_GE(thumb_ink(dragged, sliders[0].slider.r, now), 0.5);
    EXPECT_LT(thumb_ink(dragged, sliders[0].slider.r, was), 0.3);

    // "Capped" in every theme, before and after each flip; the wheel
    // brings it into the pane's view first.
    const auto in_view = [&] {
        const Placed lower = named("PARAMETERLOWER"), field = value();
        if (!lower || !field) return false;
        if (field.r.y + field.r.h <= lower.r.y + lower.r.h - 16) return true;
        live.xdotool("mousemove " + live.at(field.r.x, lower.r.y + lower.r.h / 2) + " click 5");
        return false;
    };
    static const char* const themes[] = {"dark", "silver", "light", "charcoal", "midnight"};
    for (int32_t theme = 0; theme < theme_index_count; ++theme) {
        apply_ui_theme(app, theme);
        for (int flip = 0; flip < 2; ++flip) {
            ASSERT_TRUE(live.pump_until(in_view, 10'000));
            const Picture picture = settled();
            const Placed field = value();
            ASSERT_TRUE(field);
            save(picture, std::string("capped_") + themes[theme] + "_" + field.e->text);
            EXPECT_GE(readable_ink(picture, field.r), 20) << themes[theme] << " " << field.e->text;
            const std::string before = field.e->text;
            ASSERT_TRUE(click(field));
            ASSERT_TRUE(live.pump_until([&] { return value() && value().e->text != before; }, 2000));
        }
    }
    apply_ui_theme(app, default_theme_index);
}

// Each DBL slider dragged past each of its ends stages exactly that bound
// with APPLY, whatever its span: "no limit" (+-1e308), very narrow (1e-20)
// and ordinary; dragged to the middle, the "no limit" one stages a finite
// value strictly between its bounds.
TEST_F(ControlsWindow, DblSliderEndsStageTheirBounds) {
    ASSERT_TRUE(write_text_file(sample.workspace() + "spans.vrek",
                                "DBL offset(0.0, -1e308, 1e308, \"Offset\");\n"
                                "DBL tiny(1e-21, 0.0, 1e-20, \"Tiny\");\n"
                                "DBL width(1.0, 0.5, 5.0, \"Width\");\n"
                                "return box(width, 1, 1).tx(tiny).rgb(1, 0, 0);\n"));
    ASSERT_NO_FATAL_FAILURE(show_parameters_of(*this, "spans.vrek"));
    ASSERT_TRUE(live.pump_until([&] { return parameter_sliders(named("PARAMETERCONTROL")).size() == 3; }, 5000));
    // The values wait for APPLY.
    ASSERT_TRUE(click(with_text(named("PARAMETERCONTROL"), "Multi-Edit-Mode")));
    const std::string staged = sample.workspace() + "tmp/vrek_assemble_in";
    std::string last = read_file(staged);  // the open's own assembly
    const auto apply = [&] {
        std::string text;
        const auto changed = [&] { return (text = read_file(staged)) != last && !text.empty(); };
        const bool pushed = click(with_text(named("PARAMETERCONTROL"), "APPLY")) && live.pump_until(changed, 30'000);
        return last = pushed ? text : std::string();
    };
    // Slider k's thumb dragged to where `at` puts it on its track.
    const auto drag_to = [&](size_t k, double at) {
        const SliderOnScreen s = parameter_sliders(named("PARAMETERCONTROL"))[k];
        const int32_t y = s.thumb.r.y + s.thumb.r.h / 2;
        return drag(s.thumb.r.x + s.thumb.r.w / 2, y, std::max(0, s.slider.r.x + int32_t(at * s.slider.r.w)), y);
    };
    for (const auto& [at, block] : {std::pair{-0.2, "DBL offset = -1e+308;\nDBL tiny = 0;\nDBL width = 0.5;\n"},
                                    {1.2, "DBL offset = 1e+308;\nDBL tiny = 1e-20;\nDBL width = 5;\n"}}) {
        for (size_t k = 0; k < 3; ++k) ASSERT_TRUE(drag_to(k, at));
        save(settled(), at < 0 ? "dbl_sliders_left" : "dbl_sliders_right");
        const std::string text = apply();
        EXPECT_NE(text.find(block), std::string::npos) << text;
        EXPECT_TRUE(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos) << text;
    }
    ASSERT_TRUE(drag_to(0, 0.5));
    save(settled(), "dbl_slider_middle");
    const std::string text = apply();
    const size_t at = text.find("DBL offset = ");
    double middle = 0.0;
    ASSERT_NE(at, std::string::npos) << text;
    ASSERT_EQ(*std::from_chars(text.data() + at + 13, text.data() + text.size(), middle).ptr, ';') << text;
    EXPECT_TRUE(middle > -1e308 && middle < 1e308) << middle;
}

}  // namespace
