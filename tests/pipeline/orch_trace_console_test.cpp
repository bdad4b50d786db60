// The console line list and the four trace channels: storage, growth,
// stamps, measuring and the text elements that show them.
#include <gtest/gtest.h>

#include "context/current_environment.h"
#include "context/tables.h"
#include "context/console_lines.h"
#include "context/trace_channels.h"
#include "panes/console/console_panes.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orch_support.h"
#include "pipeline/orchestration_common.h"
#include "text/split.h"
#include "ui/element.h"
#include "ui/slider.h"

namespace {

using Lines = std::vector<std::string>;

struct TraceTest : ::testing::Test {
    OrchContext ctx;
    Label* panes = ctx.app->trace_labels;
    Element& console_element = ctx.app->console_text;

    void SetUp() override {
        console_element.typeface = &typefaces[3];
        for (int c = 0; c < 4; ++c) panes[c].typeface = &typefaces[3];
    }
    void fix_time() {
        ctx.app->services.local_time_text = [] { return std::string("09:05:07"); };
    }
    TraceLog& log() { return ctx.app->entities.current_environment->trace_log; }
};

TEST_F(TraceTest, MultiLineTextsAreSplitAndOneLineTextsKeptWhole) {
    fix_time();
    append_error_trace(*ctx.app, "first\nsecond line\nthird");
    EXPECT_EQ(ctx.channel(TRACE_ERROR), (Lines{"first", "second line", "third"}));
    EXPECT_EQ(log().channel_total_height[TRACE_ERROR], 3 * trace_line_height(ctx.app->ui_metrics));
    EXPECT_EQ(log().channel_widest[TRACE_ERROR], trace_line_width(ctx.app->ui_metrics, "second line"));
    append_error_trace(*ctx.app, "");  // stores nothing
    EXPECT_EQ(log().channel_count[TRACE_ERROR], 3);

    // Several lines carry no stamp, one line does, and keeps its newline.
    append_file_io_trace(*ctx.app, "a\nb");
    append_file_io_trace(*ctx.app, "done\n");
    EXPECT_EQ(ctx.channel(TRACE_FILE_IO), (Lines{"a", "b", "09:05:07 | done\n"}));

    // KERNEL and SCRIPT hold only the latest text.
    append_kernel_trace(*ctx.app, "one\ntwo");
    append_kernel_trace(*ctx.app, "three");
    EXPECT_EQ(ctx.channel(TRACE_KERNEL), Lines{"three"});
    EXPECT_EQ(panes[TRACE_KERNEL].text, "three");
    // The selected channel's extents follow it into the trace view.
    EXPECT_EQ(log().trace_view_width, trace_line_width(ctx.app->ui_metrics, "three"));
    append_script_trace(*ctx.app, "x\ny");
    append_script_trace(*ctx.app, "");
    EXPECT_TRUE(ctx.channel(TRACE_SCRIPT).empty());
    EXPECT_EQ(panes[TRACE_SCRIPT].text, "");
}

TEST_F(TraceTest, ChannelsGrowBeforeStoringAndPanesLayOutOnlyTheLinesInView) {
    for (int i = 0; i < 64; ++i) append_error_trace(*ctx.app, "line");
    EXPECT_EQ(log().channel_lines[TRACE_ERROR].size(), static_cast<size_t>(log().channel_capacity[TRACE_ERROR]));
    // A text larger than twice the capacity jumps straight to room for it.
    std::string big;
    for (int i = 0; i < 300; ++i) big += "x\n";
    append_error_trace(*ctx.app, big);
    EXPECT_EQ(log().channel_count[TRACE_ERROR], 364);
    EXPECT_EQ(log().channel_capacity[TRACE_ERROR], 728);

    // A long kernel trace in a view of 200 pixels: the pane is as large as
    // all its lines, so its scroll pane reaches them all, but it holds and
    // lays out only a few around the view, wherever it is scrolled.
    std::string trace;
    const int lines = 50000;
    for (int i = 0; i < lines; ++i) trace += "kernel line " + std::to_string(i) + (i == 777 ? " the widest\n" : "\n");
    ScrollPane& scroll = ctx.app->trace_panes[TRACE_KERNEL];
    const Label& pane = panes[TRACE_KERNEL];
    scroll.content = &panes[TRACE_KERNEL];
    scroll.attach_children();
    scroll.set_layout_callback(trace_view_layout(TRACE_KERNEL));
    scroll.width = 300, scroll.height = 200 + scroll.bar_thickness;
    // The scroll pane's layout reaches the program's context, as in the
    // program.
    app_instance = ctx.app.get();
    append_kernel_trace(*ctx.app, trace);
    const int32_t lh = static_cast<int32_t>(typefaces[3].line_height) + pane.line_gap;
    EXPECT_EQ(pane.text_height, lines * lh - pane.line_gap);
    EXPECT_EQ(pane.height, pane.text_height + 16);
    EXPECT_EQ(pane.width, pane.text_width + 16);
    EXPECT_EQ(pane.text_width, trace_line_width(ctx.app->ui_metrics, "kernel line 777 the widest"));
    auto held = [&] { return split(pane.text, '\n'); };
    auto expect_held = [&](int32_t first, const char* where) {
        SCOPED_TRACE(where);
        const std::vector<std::string> shown = held();
        EXPECT_LE(pane.line_count, 200 / lh + 20);
        ASSERT_EQ(static_cast<int32_t>(shown.size()), pane.line_count);
        EXPECT_LT(pane.text.size(), 2000u);
        EXPECT_EQ(shown.front(), "kernel line " + std::to_string(first));
        // Placed where the first held line lies among them all.
        EXPECT_EQ(pane.text_offset_y, first * lh);
        // The lines the view shows are among those held.
        const int32_t top = (-pane.y - pane.padding_top) / lh;
        EXPECT_GE(top, first);
        EXPECT_LE(std::min(top + 200 / lh, lines - 1), first + pane.line_count - 1);
    };
    expect_held(0, "top");
    scroll.scroll_y = 1.0;
    scroll.relayout();
    expect_held(lines - pane.line_count, "bottom");
    EXPECT_EQ(held().back(), "kernel line " + std::to_string(lines - 1));
    app_instance = nullptr;
}

TEST_F(TraceTest, NulBytesAndBrokenUtf8DoNotReachTheChannels) {
    append_error_trace(*ctx.app, std::string("ok\0bad", 6) + "\xff\xfe" + " caf\xc3\xa9 " + "\xe2\x82");
    EXPECT_EQ(ctx.channel(TRACE_ERROR), Lines{"ok?bad?? caf\xc3\xa9 ??"});
    append_console_line(*ctx.app, std::string("a\0b", 3), false);
    EXPECT_EQ(ctx.console().back(), "a?b");
    EXPECT_EQ(plain_trace_text("plain text\n"), "plain text\n");
    // Overlong and surrogate encodings are not valid UTF-8.
    EXPECT_EQ(plain_trace_text("\xc0\xaf|\xed\xa0\x80"), "??|???");
}

TEST_F(TraceTest, ConsoleLinesAreStampedOnRequestAndNeverSplit) {
    append_console_line(*ctx.app, "plain", true);
    fix_time();
    append_console_line(*ctx.app, "stamped", true);
    append_console_line(*ctx.app, "unstamped", false);
    append_console_line(*ctx.app, "two\nlines", false);
    EXPECT_EQ(ctx.console(), (Lines{"plain", "09:05:07 | stamped", "unstamped", "two\nlines"}));
    EXPECT_EQ(log().console_total_height, 4 * trace_line_height(ctx.app->ui_metrics));
    // The element shows, and makes room for, every row.
    EXPECT_EQ(console_element.line_count, 5);
    EXPECT_EQ(console_element.text_height,
              5 * static_cast<int32_t>(typefaces[3].line_height) + 4 * console_element.line_gap);
    EXPECT_EQ(log().console_view_width, trace_line_width(ctx.app->ui_metrics, "09:05:07 | stamped"));

    // How a dead kernel ended reaches the console with its trace.
    reset_run_trace_texts();
    route_run_traces(*ctx.app, "");
    EXPECT_EQ(ctx.console().size(), 4u);
    route_run_traces(*ctx.app, "kernel ended by signal 11");
    EXPECT_EQ(ctx.console().back(), "09:05:07 |   \t kernel ended by signal 11");
    reset_run_trace_texts();
}

TEST_F(TraceTest, ConsoleGrowsAndSitsFourPixelsShorterThanATracePane) {
    append_console_line(*ctx.app, "only", false);
    append_error_trace(*ctx.app, "only");
    EXPECT_EQ(console_element.text, "only");
    EXPECT_FALSE(console_element.multiline);
    EXPECT_EQ(console_element.height, panes[TRACE_ERROR].height - 4);
    EXPECT_EQ(console_element.width, panes[TRACE_ERROR].width);
    // Never smaller than the title drawn over its first line.
    ctx.app->console_title.width = 300;
    ctx.app->console_title.height = 40;
    append_console_line(*ctx.app, "1", false);
    EXPECT_EQ((std::vector<int32_t>{console_element.width, console_element.height}), (std::vector<int32_t>{300, 40}));
    for (int i = 2; i < 64; ++i) append_console_line(*ctx.app, std::to_string(i), false);
    EXPECT_EQ(ctx.console().size(), 64u);
    EXPECT_EQ(ctx.console().back(), "63");
    EXPECT_LE(64u, log().console_lines.size());

    // A log without room drops the line instead of writing past it.
    TraceLog empty;
    destroy_trace_log(empty);
    EXPECT_FALSE(append_console_text(empty, "lost", "", ctx.app->ui_metrics));
    EXPECT_EQ(empty.console_count, 0);
    append_trace_lines(empty, TRACE_ERROR, "kept", "", ctx.app->ui_metrics);
    EXPECT_EQ(empty.channel_count[TRACE_ERROR], 1);
    append_trace_lines(empty, 7, "unknown channel", "", ctx.app->ui_metrics);
}

}  // namespace
