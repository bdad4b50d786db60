// What the console, the trace channels, the message boxes, the confirmation,
// the directive pane and the status line show in the real window: every
// element is reached by walking the tree from the root, and every check is
// on the X server's pixels where the user looks.
#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "panes/environments/export_actions.h"
#include "platform/files.h"
#include "panes/popups/message_boxes.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/menus/settings_menu_actions.h"
#include "panes/menus/view_menu_actions.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"
#include "ui/slider.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

using Rect = ScreenRect;
Rect inset(Rect r, int32_t l, int32_t t, int32_t right, int32_t b) {
    return {r.x + l, r.y + t, r.w - l - right, r.h - t - b};
}

void save(const Picture& p, const std::string& name) { save_picture(p, "panes", name); }

bool differs(uint32_t a, uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) sum += std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff));
    return sum > 60;
}

// The colour most pixels of the region have: the pane's background.
uint32_t background(const Picture& p, Rect r) {
    std::map<uint32_t, int> counts;
    for (int32_t y = r.y; y < r.y + r.h; ++y)
        for (int32_t x = r.x; x < r.x + r.w; ++x)
            if (p.inside(x, y)) ++counts[p.at(x, y)];
    uint32_t best = 0;
    int most = -1;
    for (const auto& c : counts)
        if (c.second > most) best = c.first, most = c.second;
    return best;
}

// Pixels of the region clearly off its background: text, icons.
int ink(const Picture& p, Rect r, uint32_t bg) {
    int n = 0;
    for (int32_t y = r.y; y < r.y + r.h; ++y)
        for (int32_t x = r.x; x < r.x + r.w; ++x) n += p.inside(x, y) && differs(p.at(x, y), bg);
    return n;
}

// Width of the inked columns of a region, first to last, each row against
// its first pixel (the bar's shading changes from row to row).
int ink_extent(const Picture& p, Rect r) {
    int first = -1, last = -1;
    for (int32_t x = r.x + 1; x < r.x + r.w; ++x)
        for (int32_t y = r.y; y < r.y + r.h; ++y)
            if (p.inside(x, y) && differs(p.at(x, y), p.at(r.x, y))) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

Element* find_text(Element& e, const std::string& text) {
    return find_element(e, [&](Element& x) { return x.text == text; });
}
Container& container(Element* e) {
    auto* c = dynamic_cast<Container*>(e);
    EXPECT_NE(c, nullptr);
    static Container none;
    return c ? *c : none;
}

struct PaneTexts : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;

    Element& named(const std::string& name) {
        Element* e = ::named(app, name);
        EXPECT_NE(e, nullptr) << name;
        static Element none;
        return e ? *e : none;
    }
    // The picture once two grabs a little apart agree.
    Picture shown() {
        app.frame.needs_redraw = 1;
        live.pump_for(200);
        Picture p = grab_canvas(live);
        for (int tries = 0; tries < 20; ++tries) {
            live.pump_for(200);
            Picture again = grab_canvas(live);
            const bool same = again.rgb == p.rgb;
            p = std::move(again);
            if (same) break;
        }
        return p;
    }
    // The visible scroll pane among a pane's children, and what it shows.
    ScrollPane* visible_scroll(Element& pane) {
        for (Element* child : container(&pane).children)
            if (auto* s = dynamic_cast<ScrollPane*>(child); s != nullptr && s->visible) return s;
        return nullptr;
    }
    // Ink in text line k of a text element, inside the view that shows it.
    int line_ink(const Picture& p, const Element& text, const Element& view, int32_t k) {
        const int32_t lh = static_cast<int32_t>(text.typeface->line_height) + text.line_gap;
        Rect line{text.abs_x + text.padding_left, text.abs_y + text.padding_top + k * lh, text.abs_width, lh};
        const Rect v = rect_of(view);
        const int32_t top = std::max(line.y, v.y), bottom = std::min(line.y + line.h, v.y + v.h);
        const int32_t right = std::min(line.x + line.w, v.x + v.w);
        if (bottom - top < lh || right <= line.x) return -1;  // not wholly in view
        return ink(p, {line.x, top, right - line.x, bottom - top}, background(p, v));
    }
    // The icon of a popup's title bar, against the bar's colour on each row.
    int title_icon_ink(Element& pane) {
        auto& frame = dynamic_cast<BorderLayout&>(pane);
        auto& bar = dynamic_cast<BorderLayout&>(*frame.top);
        Element& holder = *bar.left;
        const Picture p = shown();
        save(p, "icon_" + pane.name);
        int n = 0;
        for (int32_t y = holder.abs_y + 2; y < holder.abs_y + holder.abs_height - 2; ++y)
            for (int32_t x = holder.abs_x + 1; x < holder.abs_x + holder.abs_width - 1; ++x)
                n += differs(p.at(x, y), p.at(holder.abs_x + 1, y));
        return n;
    }
    // The body text of a popup: ink inside its padding, none in the right
    // and bottom padding where cut-off text would run.
    void expect_text_fits(Element& pane, const std::string& shot) {
        auto& frame = dynamic_cast<BorderLayout&>(pane);
        Element& text = *container(frame.centre).children.at(0);
        const Picture p = shown();
        save(p, shot);
        const Rect r = rect_of(text);
        const uint32_t bg = background(p, r);
        EXPECT_GT(ink(p, inset(r, text.padding_left, text.padding_top, text.padding_right, text.padding_bottom), bg),
                  500);
        EXPECT_EQ(ink(p, {r.x + r.w - text.padding_right + 2, r.y, text.padding_right - 4, r.h}, bg), 0);
        EXPECT_EQ(ink(p, {r.x + text.padding_left, r.y + r.h - text.padding_bottom + 2,
                          r.w - text.padding_left - text.padding_right, text.padding_bottom - 4},
                      bg),
                  0);
    }
    bool open_script(const std::string& name, const std::function<bool()>& done) {
        DeferredRequests& r = app.deferred_requests;
        r.pending_paths = {sample.workspace() + name};
        r.pending_path_count = 1;
        r.open_paths_requested = 1;
        r.deferred_countdown = 5;
        return live.pump_until(done, 30'000);
    }
    // Keys go where the pointer is; a move to where it already is never
    // reports done, so the corner alternates.
    int32_t corner = 0;
    bool escape() {
        corner = 3 - corner;
        return live.xdotool("mousemove --sync " + live.at(corner, 2) + " key Escape");
    }
    bool switch_done(int32_t index) {
        return live.pump_until(
            [&] { return app.entities.environment_index == index && !app.status.transition_active && !app.busy_mask.visible; },
            10000);
    }

    void console_and_traces();
    void message_icons_and_notices();
    void attribute_trace();

    // A kernel of our own making in the sample's folder: a shell script.
    std::string fake_kernel(const std::string& body) {
        const std::string path = sample.root + "/fake vrek";
        EXPECT_TRUE(write_text_file(path, "#!/bin/sh\n" + body));
        EXPECT_EQ(chmod(path.c_str(), 0755), 0);
        return path;
    }
    // The CONSOLE pane opened and one of its trace tabs chosen: the scroll
    // pane that shows that channel.
    ScrollPane* trace_tab(const char* tab) {
        if (!named("CONSOLETRACE").visible && !live.click(named("CONSOLE"))) return nullptr;
        auto& split = dynamic_cast<SplitLayout&>(named("CONSOLETRACE"));
        Element* button = find_text(*split.second, tab);
        if (button == nullptr || !live.click(*button)) return nullptr;
        ScrollPane* trace = visible_scroll(*split.second);
        return trace != nullptr && trace->content != nullptr ? trace : nullptr;
    }
    // Index of the first line of a text element that holds `part`, or -1.
    static int32_t line_holding(const Element& text, const std::string& part) {
        const size_t at = text.text.find(part);
        if (at == std::string::npos) return -1;
        return static_cast<int32_t>(std::count(text.text.begin(), text.text.begin() + static_cast<long>(at), '\n'));
    }
};

void PaneTexts::console_and_traces() {
    SCOPED_TRACE("console and traces");
    ASSERT_TRUE(live.click(named("CONSOLE")));
    auto& split = dynamic_cast<SplitLayout&>(named("CONSOLETRACE"));
    ASSERT_TRUE(split.visible);
    ScrollPane* console = visible_scroll(*split.first);
    ASSERT_NE(console, nullptr);
    ASSERT_NE(console->content, nullptr);
    const Element& lines = *console->content;
    const TraceLog& log = app.entities.current_environment->trace_log;

    // Every start-up line the pane has room for shows (the first is blank,
    // under the title).
    Picture p = shown();
    save(p, "console_start");
    int shown_lines = 0;
    for (int32_t k = 1; k < log.console_count; ++k) {
        const int n = line_ink(p, lines, console->view, k);
        if (n < 0) break;
        EXPECT_GT(n, 20) << "console line " << k << ": " << log.console_lines[size_t(k)];
        ++shown_lines;
    }
    EXPECT_GE(shown_lines, 4);

    // The broken script, twice: its box, and the lines it adds to the
    // console.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(open_script("syntax_error.vrek", [&] { return app.ERRORPANE.visible; }));
        Element& box = named("ERRORPANE");
        expect_text_fits(box, "syntax_error_box");
        EXPECT_GT(title_icon_ink(box), 200);
        ASSERT_TRUE(escape());
        ASSERT_FALSE(app.ERRORPANE.visible);
    }

    // The newest line is in view as it arrives; the wheel takes the view
    // back up to the older ones.
    ASSERT_GT(lines.height, console->view.abs_height) << "the console should need scrolling by now";
    const Picture before = shown();
    const int last = line_ink(before, lines, console->view, log.console_count - 1);
    EXPECT_GT(last, 20) << log.console_lines[size_t(log.console_count - 1)];
    ASSERT_TRUE(live.xdotool("mousemove --sync " +
                             live.at(console->view.abs_x + 40, console->view.abs_y + console->view.abs_height / 2) +
                             " click --repeat 25 --delay 30 4"));
    p = shown();
    save(p, "console_scrolled");
    EXPECT_GT(ink(p, rect_of(console->view), background(before, rect_of(console->view))), 0);
    EXPECT_NE(p.rgb, before.rgb);

    // The kernel's own line, then its two error lines on the ERROR tab.
    Element& lower = *split.second;
    for (const char* tab : {"KERNEL", "ERROR"}) {
        SCOPED_TRACE(tab);
        Element* button = find_text(lower, tab);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(live.click(*button));
        ScrollPane* trace = visible_scroll(lower);
        ASSERT_NE(trace, nullptr);
        ASSERT_NE(trace->content, nullptr);
        p = shown();
        save(p, std::string("trace_") + tab);
        const int expected_lines = std::string(tab) == "ERROR" ? 4 : 1;
        for (int32_t k = 0; k < expected_lines; ++k) EXPECT_GT(line_ink(p, *trace->content, trace->view, k), 20) << k;
    }
}

void PaneTexts::message_icons_and_notices() {
    SCOPED_TRACE("icons and notices");
    // With nothing open, PARSE warns.
    ASSERT_TRUE(live.click(named("PARSE")));
    ASSERT_TRUE(app.WARNINGPANE.visible);
    EXPECT_GT(title_icon_ink(named("WARNINGPANE")), 200);
    expect_text_fits(named("WARNINGPANE"), "warning_box");
    ASSERT_TRUE(escape());

    show_info_box(app, "Info: Icon", "The information box shows its icon.");
    EXPECT_GT(title_icon_ink(named("INFOPANE")), 200);
    ASSERT_TRUE(escape());

    ASSERT_TRUE(open_script("mirrored_gate.vrek", [&] { return app.entities.current_entities->count == 1; }));
    assemble_environment_action(app);
    ASSERT_TRUE(app.CONFIRMPANE.visible);
    EXPECT_GT(title_icon_ink(named("CONFIRMPANE")), 200);
    ASSERT_TRUE(escape());
    ASSERT_FALSE(app.CONFIRMPANE.visible);

    // The parameter pane's "Variants" notice fills the directive pane.
    show_variant_directives_placeholder(app);
    ASSERT_TRUE(app.DIRECTIVEPANE.visible);
    expect_text_fits(named("DIRECTIVEPANE"), "variants_notice");
    ASSERT_TRUE(escape());
}

void PaneTexts::attribute_trace() {
    SCOPED_TRACE("attribute trace");
    Element& strip = named("STATSCROLL");
    // Inside the bar's edges.
    const Rect line = inset(rect_of(strip), 0, 3, 0, 3);
    auto extent = [&](const char* shot) {
        const Picture p = shown();
        save(p, shot);
        return ink_extent(p, line);
    };
    const int enlarged = extent("status_enlarged");
    ASSERT_GT(enlarged, 100);
    on_settings_menu_item(app, 8, 11);  // widgets : enlarge-trace, off
    const int regular = extent("status_regular");
    EXPECT_GT(std::abs(enlarged - regular), enlarged / 10) << enlarged << " " << regular;
    on_view_menu_item(app, 5, 0);  // state : attribute-trace, off
    EXPECT_EQ(extent("status_hidden"), 0);

    // A new environment starts with the trace shown, enlarged; coming back
    // restores this one's hidden, regular trace.
    const int32_t env0_lines = app.entities.current_environment->trace_log.console_count;
    ASSERT_TRUE(live.click(named("ENVIRONMENT")));
    ASSERT_TRUE(switch_done(1));
    EXPECT_NEAR(extent("status_env1"), enlarged, enlarged / 10);

    // Its console and kernel trace show its own log, not the last one's.
    ASSERT_TRUE(live.click(named("CONSOLE")));
    auto& split = dynamic_cast<SplitLayout&>(named("CONSOLETRACE"));
    ScrollPane* console = visible_scroll(*split.first);
    ScrollPane* trace = visible_scroll(*split.second);
    ASSERT_TRUE(console && console->content && trace && trace->content);
    const Picture p = shown();
    save(p, "console_env1");
    const TraceLog& log = app.entities.current_environment->trace_log;
    ASSERT_EQ(log.channel_count[TRACE_KERNEL], 0);
    EXPECT_EQ(line_ink(p, *trace->content, trace->view, 0), 0);
    int looked = 0;
    for (int32_t k = std::max(log.console_count, 1); k < env0_lines; ++k) {
        const int n = line_ink(p, *console->content, console->view, k);
        if (n < 0) continue;  // scrolled out of the view
        EXPECT_EQ(n, 0) << "console line " << k;
        ++looked;
    }
    EXPECT_GE(looked, 3);
    // The title over a short console is whole: its right half has ink too.
    const Rect title = rect_of(*container(console->content).children.at(0));
    EXPECT_GT(ink(p, {title.x + title.w / 2, title.y, title.w / 2, title.h}, background(p, rect_of(console->view))), 20);

    Element* tab = find_text(named("TABSCROLL"), "env0");
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(live.click(*tab));
    ASSERT_TRUE(switch_done(0));
    EXPECT_EQ(extent("status_env0_back"), 0);
    on_view_menu_item(app, 5, 0);
    EXPECT_NEAR(extent("status_env0_shown"), regular, enlarged / 20);
}

// One application per process: the window layer draws only in the first
// window a process opens.
TEST_F(PaneTexts, ConsoleTracesBoxesNoticesAndStatusLineShowWhatTheyHold) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(2, 2)));
    console_and_traces();
    if (HasFatalFailure()) return;
    message_icons_and_notices();
    if (HasFatalFailure()) return;
    attribute_trace();
}

}  // namespace

namespace {

// A kernel that crashes on the start-up assembly: the intro still ends, the
// box says why, and so do the console and the ERROR channel.
TEST_F(PaneTexts, AKernelCrashDuringTheIntroIsReportedOnScreen) {
    const std::string kernel = fake_kernel("echo 'vrek: about to fail'\nkill -SEGV $$\n");
    ASSERT_TRUE(live.open());
    ASSERT_TRUE(set_kernel_path(kernel) && set_workspace_path(sample.workspace()));
    live.find_canvas();
    prepare_app_workspace(app);
    ASSERT_TRUE(live.pump_until([&] { return app.startup.startup_done != 0; }, 30'000) && live.await_frames());
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(2, 2)));

    const std::string reason = "kernel ended by signal 11";
    Element& box = named("ERRORPANE");
    ASSERT_TRUE(box.visible) << "no box after the intro";
    EXPECT_NE(find_element(box, [&](Element& e) { return e.visible && e.text.find(reason) != std::string::npos; }),
              nullptr);
    expect_text_fits(box, "startup_crash_box");
    ASSERT_TRUE(escape());
    ASSERT_FALSE(box.visible);

    ASSERT_TRUE(live.click(named("CONSOLE")));
    auto& split = dynamic_cast<SplitLayout&>(named("CONSOLETRACE"));
    ScrollPane* console = visible_scroll(*split.first);
    ASSERT_TRUE(console != nullptr && console->content != nullptr);
    const int32_t line = line_holding(*console->content, "Start-Up Meshes: " + reason);
    ASSERT_GE(line, 0) << console->content->text;
    Picture p = shown();
    save(p, "startup_crash_console");
    EXPECT_GT(line_ink(p, *console->content, console->view, line), 20);

    for (const char* tab : {"ERROR", "KERNEL"}) {
        SCOPED_TRACE(tab);
        ScrollPane* trace = trace_tab(tab);
        ASSERT_NE(trace, nullptr);
        const int32_t at = line_holding(*trace->content, reason);
        ASSERT_GE(at, 0) << trace->content->text;
        if (std::string(tab) == "KERNEL") {
            EXPECT_EQ(line_holding(*trace->content, "vrek: about to fail"), 0);
        }
        p = shown();
        save(p, std::string("startup_crash_") + tab);
        EXPECT_GT(line_ink(p, *trace->content, trace->view, at), 20);
    }
}

// A script that prints its parameter, opened, then the parameter typed anew
// and committed with Enter as a user does: the push's run is on the console
// and the KERNEL tab shows the new print, not the one of the open.
TEST_F(PaneTexts, APushedParameterShowsItsNewPrintInTheKernelTrace) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    const std::string path = sample.workspace() + "printing.vrek";
    ASSERT_TRUE(write_text_file(path, "INT count(5, 0, 10, \"Count\");\nprint(count + 500);\nreturn box(1).tx(count);\n"));
    ASSERT_TRUE(live.open_scripts({path}));
    ScrollPane* trace = trace_tab("KERNEL");
    ASSERT_NE(trace, nullptr);
    ASSERT_EQ(line_holding(*trace->content, "505"), 0) << trace->content->text;

    // The entity chosen in the parameter pane, its value field clicked,
    // the new value typed and committed.
    ASSERT_TRUE(live.click(named("PARAMETER")));
    Element& pane = named("PARAMETERCONTROL");
    const auto shown_text = [&](const std::string& text) {
        return find_shown(pane, [&](Element& e) { return e.text == text; });
    };
    Element* row = nullptr;
    ASSERT_TRUE(live.pump_until([&] {
        row = find_shown(pane, [](Element& e) { return e.text.rfind("printing", 0) == 0; });
        return row != nullptr;
    }, 5000));
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(row->abs_x + 40, row->abs_y + row->abs_height / 2 + 1) +
                             " mousemove --sync " + live.at(row->abs_x + 40, row->abs_y + row->abs_height / 2) +
                             " click 1"));
    Element* field = nullptr;
    ASSERT_TRUE(live.pump_until([&] { return (field = shown_text("5")) != nullptr; }, 5000));
    ASSERT_TRUE(live.await_frames());
    ASSERT_TRUE(live.click(*field));
    ASSERT_TRUE(live.xdotool("key ctrl+a type 7"));
    ASSERT_TRUE(live.xdotool("key Return"));
    // Until the push has taken the value.
    const EntityRecord& entity = app.entities.current_entities->records.at(0);
    ASSERT_TRUE(live.pump_until([&] { return entity.parse_result.parameters.at(0).last_pushed.int_value == 7; }, 30'000));

    trace = trace_tab("KERNEL");
    ASSERT_NE(trace, nullptr);
    const int32_t at = line_holding(*trace->content, "507");
    ASSERT_EQ(at, 0) << trace->content->text;
    EXPECT_EQ(line_holding(*trace->content, "505"), -1);
    Picture p = shown();
    save(p, "pushed_print_kernel");
    EXPECT_GT(line_ink(p, *trace->content, trace->view, at), 20);

    // The console names the push's run, and its outcome follows.
    auto& split = dynamic_cast<SplitLayout&>(named("CONSOLETRACE"));
    ScrollPane* console = visible_scroll(*split.first);
    ASSERT_TRUE(console != nullptr && console->content != nullptr);
    const int32_t step = line_holding(*console->content, "Re-Assembling: printing.vrek");
    ASSERT_GE(step, 0) << console->content->text;
    p = shown();
    save(p, "pushed_print_console");
    EXPECT_GT(line_ink(p, *console->content, console->view, step), 20);
    EXPECT_GT(line_ink(p, *console->content, console->view, step + 1), 20);
}

// Error lines name the lines as the user wrote them: a script with errors
// on lines 4 and 8, and the broken sample (lines 2 and 3), opened in the
// window; the ERROR trace shows those numbers and no others.
TEST_F(PaneTexts, ErrorLinesNameTheScriptsOwnLines) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    ASSERT_TRUE(write_text_file(sample.workspace() + "lines.vrek",
                                "// errors on lines 4 and 8\na = box(1);\n\nb = sphere(1, 16, 3);\nc = a + box(2);\n"
                                "/* a comment\n   over two lines */\nd = blob(2);\nreturn c;\n"));
    for (const char* name : {"lines.vrek", "syntax_error.vrek"}) {
        ASSERT_TRUE(open_script(name, [&] { return app.ERRORPANE.visible; })) << name;
        ASSERT_TRUE(escape());
        ASSERT_FALSE(app.ERRORPANE.visible);
    }
    ScrollPane* trace = trace_tab("ERROR");
    ASSERT_NE(trace, nullptr);
    const Element& text = *trace->content;
    const Picture p = shown();
    save(p, "error_lines");
    const std::pair<const char*, const char*> expected[] = {
        {"WRONG-ARGUMENT-COUNT : 'sphere'", "AT LINE 4;"},
        {"UNKNOWN-PRIMITIVE : 'blob'", "AT LINE 8;"},
        {"UNBALANCED-BRACKETS", "AT LINE 3;"},
        {"WRONG-ARGUMENT-COUNT : 'sphere'", "AT LINE 2;"},
    };
    for (const auto& [error, where] : expected) {
        SCOPED_TRACE(where);
        const int32_t at = line_holding(text, where);
        ASSERT_GE(at, 0) << text.text;
        const size_t start = text.text.rfind('\n', text.text.find(where)) + 1;
        EXPECT_EQ(text.text.compare(start, std::strlen(error), error), 0) << text.text;
        EXPECT_GT(line_ink(p, text, trace->view, at), 20);
    }
    for (const char* wrong : {"AT LINE 5;", "AT LINE 9;"}) EXPECT_EQ(line_holding(text, wrong), -1) << text.text;
}

// A script opened with one error, then edited to two, over and over: the
// ERROR channel holds a blank row between runs. Wheeled to its end, the
// pane shows its last line whole above its bottom padding.
TEST_F(PaneTexts, TheLastErrorLineStandsWholeAfterBlankRows) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    const std::string path = sample.workspace() + "broken.vrek";
    for (int pair = 1; pair <= 3; ++pair) {
        for (const char* body : {"a = box(1);\nb = blob(2);\nreturn a;\n",
                                 "a = box(1);\nb = blob(2);\nc = blob(3);\nreturn a;\n"}) {
            ASSERT_TRUE(write_text_file(path, body));
            ASSERT_TRUE(open_script("broken.vrek", [&] { return app.ERRORPANE.visible; }));
            ASSERT_TRUE(escape());
        }
        SCOPED_TRACE(pair);
        ScrollPane* trace = trace_tab("ERROR");
        ASSERT_NE(trace, nullptr);
        const Rect view = rect_of(trace->view);
        ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(view.x + 40, view.y + view.h / 2) +
                                 " click --repeat 30 --delay 20 5"));
        const Picture p = shown();
        save(p, "error_trace_end_" + std::to_string(pair));
        const Element& text = *trace->content;
        const int32_t bottom = text.abs_y + text.abs_height, lh = static_cast<int32_t>(text.typeface->line_height);
        const uint32_t bg = background(p, view);
        // Rows up from the last: the last run's two lines, then the blank.
        auto row_ink = [&](int32_t up) {
            return ink(p, {view.x, bottom - text.padding_bottom - lh - up * (lh + text.line_gap), view.w, lh}, bg);
        };
        EXPECT_GT(row_ink(0), 20);
        EXPECT_GT(row_ink(1), 20);
        EXPECT_EQ(row_ink(2), 0);
        EXPECT_EQ(ink(p, {view.x, bottom - text.padding_bottom + 1, view.w, text.padding_bottom - 1}, bg), 0);
    }
}

// A kernel that prints 40,000 lines: its trace pane lays out a screenful,
// and the scroll bar and the wheel still reach the first and the last line.
TEST_F(PaneTexts, ALongKernelTraceLaysOutOnlyWhatItShowsAndScrollsToEveryLine) {
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    const std::string real = kernel_path;
    ASSERT_TRUE(set_kernel_path(fake_kernel("[ \"$2\" = -assemble ] && seq -f 'kernel trace line %g' 0 39999\nexec '" +
                                            real + "' \"$@\"\n")));
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(2, 2)));
    ScrollPane* trace = trace_tab("KERNEL");
    ASSERT_NE(trace, nullptr);
    const Element& text = *trace->content;
    const TraceLog& log = app.entities.current_environment->trace_log;
    const int32_t count = log.channel_count[TRACE_KERNEL];
    ASSERT_GT(count, 40000);
    const std::string& last_line = log.channel_lines[TRACE_KERNEL][static_cast<size_t>(count - 1)];
    const int32_t lh = static_cast<int32_t>(text.typeface->line_height) + text.line_gap;
    const int32_t in_view = trace->view.abs_height / lh + 1;
    // As large as all the lines; a screenful of them laid out.
    EXPECT_GE(text.height, count * lh);
    auto expect_screenful = [&](const char* where) {
        SCOPED_TRACE(where);
        EXPECT_LE(text.line_count, in_view + 20);
        EXPECT_LE(text.text.size(), 100u * static_cast<size_t>(in_view + 20));
    };
    expect_screenful("top");
    Picture p = shown();
    save(p, "long_trace_top");
    EXPECT_EQ(text.text.compare(0, 20, "kernel trace line 0\n"), 0);
    EXPECT_GT(line_ink(p, text, trace->view, 0), 20);

    // The thumb dragged down the whole bar: the last line shows.
    const Element& thumb = trace->vthumb;
    const Element& bar = trace->vbar;
    const int32_t x = thumb.abs_x + thumb.abs_width / 2;
    // A press on the thumb, a drag in steps and a release, as a hand does.
    auto drag_thumb_to = [&](int32_t y1) {
        const int32_t y0 = thumb.abs_y + thumb.abs_height / 2;
        std::string steps = "mousemove --sync " + live.at(x, y0) + " sleep 0.1 mousedown 1 sleep 0.1";
        for (int k = 1; k <= 8; ++k) steps += " mousemove " + live.at(x, y0 + (y1 - y0) * k / 8) + " sleep 0.05";
        return live.xdotool(steps + " sleep 0.1 mouseup 1");
    };
    ASSERT_TRUE(drag_thumb_to(bar.abs_y + bar.abs_height + 40)) << show(rect_of(thumb)) << " " << show(rect_of(bar));
    ASSERT_EQ(trace->scroll_y, 1.0) << show(rect_of(thumb)) << " " << show(rect_of(bar));
    expect_screenful("bottom");
    p = shown();
    save(p, "long_trace_bottom");
    ASSERT_GE(text.text.size(), last_line.size());
    EXPECT_EQ(text.text.substr(text.text.size() - last_line.size()), last_line);
    EXPECT_GT(line_ink(p, text, trace->view, count - 1), 20) << last_line;
    // The thumb sits at the end of its bar.
    EXPECT_GE(thumb.abs_y + thumb.abs_height, bar.abs_y + bar.abs_height - 2);

    // The wheel moves the lines up a step at a time, each step laid out.
    const std::string over_view =
        live.at(trace->view.abs_x + 40, trace->view.abs_y + trace->view.abs_height / 2);
    ASSERT_TRUE(live.xdotool("mousemove --sync " + over_view + " click --repeat 3 --delay 50 4"));
    EXPECT_NEAR(trace->scroll_y, 0.85, 1e-9);
    expect_screenful("wheeled");
    const int32_t middle = (-text.y - text.padding_top) / lh + 2;
    const Picture wheeled = shown();
    save(wheeled, "long_trace_wheeled");
    EXPECT_NE(wheeled.rgb, p.rgb);
    EXPECT_GT(line_ink(wheeled, text, trace->view, middle), 20);
    EXPECT_NE(text.text.find("kernel trace line " + std::to_string(middle) + "\n"), std::string::npos);

    // And back to the top by the thumb: the first line again.
    ASSERT_TRUE(drag_thumb_to(bar.abs_y - 40));
    EXPECT_EQ(trace->scroll_y, 0.0);
    expect_screenful("top again");
    p = shown();
    EXPECT_EQ(text.text.compare(0, 20, "kernel trace line 0\n"), 0);
    EXPECT_GT(line_ink(p, text, trace->view, 0), 20);
}

}  // namespace
