// Every kernel run, of every kind, reaches the console and the traces:
// opens, pushes, re-assemblies and the parallel batches each write their
// console steps with their outcome and hand what the kernel printed to the
// KERNEL channel; a cancelled run ends its step with "kernel run cancelled".
#include <gtest/gtest.h>
#include <unistd.h>

#include "pipeline/orch_support.h"
#include "pipeline/parameter_push.h"
#include "pipeline/reassembly.h"
#include "pipeline/reparse.h"

namespace {

using Lines = std::vector<std::string>;

// Three sub-elements that say when they are done; deck and mast share the
// invocation group 2, crane gets a group of its own after it.
const char* const kCrane =
    "#PARALLEL;\n#VREK(deck){ print(\"deck done\"); m = box(1); };\n"
    "#VREK(crane){ print(\"crane done\"); m = box(1).tx(2); };\n"
    "#VREK(mast){ print(\"mast done\"); m = box(1).tx(4); };\n"
    "return { VREK(2|deck), VREK(crane), VREK(2|mast) };\n";

struct RunTraces : KernelTest {
    // The KERNEL lines without the kernel's own summary lines ("vrek: ...").
    Lines printed() const {
        Lines lines;
        for (const std::string& line : ctx.channel(TRACE_KERNEL))
            if (line.rfind("vrek: ", 0) != 0) lines.push_back(line);
        return lines;
    }
    Lines console_tail(size_t n) const {
        const Lines all = ctx.console();
        return Lines(all.end() - static_cast<long>(std::min(n, all.size())), all.end());
    }
    void set_parallel_mode(bool multi_core, bool grouped) {
        ctx.app->bars.parallel_multi_core = multi_core ? 1 : 0;
        ctx.app->bars.parallel_invocation_groups = grouped ? 1 : 0;
    }
};

TEST_F(RunTraces, APushWritesItsStepAndShowsWhatTheScriptPrintsNow) {
    ctx.open({script("count.vrek", "INT n(5, 0, 10, \"N\");\nprint(n);\nreturn box(1).tx(n);\n")});
    ASSERT_EQ(ctx.set().count, 1);
    EXPECT_EQ(printed(), Lines{"5"});
    EntityRecord& e = ctx.entity(0);

    // A push as the parameter pane and the tick make it (from the pane), and
    // as a variant makes it (not from the pane): each its own step.
    ctx.app->entities.current_environment_parts.parameter_view->selected_row = 0;
    for (int32_t value : {7, 2}) {
        SCOPED_TRACE(value);
        e.parse_result.parameters[0].current.int_value = value;
        if (value == 7) push_selected_entity_parameters(*ctx.app);
        else push_entity_parameters(*ctx.app, &e, false);
        EXPECT_EQ(console_tail(2), (Lines{"Re-Assembling: count.vrek", "<ms>"}));
        EXPECT_EQ(printed(), Lines{std::to_string(value)});
    }
    EXPECT_EQ(ctx.console_count("Re-Assembling: "), 2u);

    // A push that fails ends its step with the outcome, and the kernel's
    // message is in the trace.
    e.parse_record.sections[SECTION_OPERATIONS] = "print(n);\nfail();\nreturn box(1).tx(n);\n";
    e.parse_result.parameters[0].current.int_value = 3;
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(console_tail(2), (Lines{"Re-Assembling: count.vrek", "  \t 1 Assembly-Error (see trace for details)"}));
    const Lines kernel = ctx.channel(TRACE_KERNEL);
    EXPECT_EQ(kernel.at(0), "3");
    EXPECT_NE(std::find(kernel.begin(), kernel.end(), "vrek: element 0: fail() called, nothing written"), kernel.end());
}

// The kernel's prints in every batch reach KERNEL, in batch order, each
// batch under the names of its sub-elements; one run for all of them shows
// its output as it came.
TEST_F(RunTraces, EveryParallelBatchShowsItsOutputUnderItsSubElementsNames) {
    struct Mode {
        bool multi_core, grouped;
        Lines expected;
    };
    const Mode modes[] = {
        {true, true, {"// E:deck", "// E:mast", "deck done", "mast done", "// E:crane", "crane done"}},
        {true, false, {"// E:deck", "deck done", "// E:crane", "crane done", "// E:mast", "mast done"}},
        {false, false, {"deck done", "crane done", "mast done"}},
    };
    // Every element assembled again, not only the edited one.
    ctx.app->bars.parallel_culling = 0;
    for (size_t i = 0; i < 3; ++i) {
        const Mode& mode = modes[i];
        const std::string name = "crane" + std::to_string(i) + ".vrek";
        SCOPED_TRACE(name);
        set_parallel_mode(mode.multi_core, mode.grouped);
        ctx.open({script(name, kCrane)});
        ASSERT_EQ(ctx.set().count, static_cast<int32_t>(i + 1));
        EXPECT_EQ(printed(), mode.expected);
        EXPECT_EQ(console_tail(2), (Lines{"Assembling: " + name, "<ms>"}));

        // Re-assembled after an edit, the batches print anew.
        std::string edited = kCrane;
        edited.replace(edited.find("crane done"), 10, "crane moved");
        ASSERT_TRUE(write_text_file(scripts + name, edited));
        reparse_and_reassemble_entity(*ctx.app, ctx.entity(i), ctx.app->io_settings.meshing_algorithm);
        Lines moved = mode.expected;
        *std::find(moved.begin(), moved.end(), "crane done") = "crane moved";
        EXPECT_EQ(printed(), moved);
        EXPECT_EQ(console_tail(4), (Lines{"Re-Parsing: " + name, "<ms>", "Re-Assembling: " + name, "<ms>"}));
    }
}

TEST_F(RunTraces, AParallelPushShowsTheRunsOfTheChangedSubElements) {
    ctx.open({script("pair.vrek", "#PARALLEL;\n#VREK(a){ INT n(1, 0, 9, \"N\"); print(n); m = box(1); };\n"
                                  "#VREK(b){ INT k(2, 0, 9, \"K\"); print(k); m = box(1).tx(3); };\n"
                                  "return { VREK(a), VREK(b) };\n")});
    EntityRecord& e = ctx.entity(0);
    ASSERT_EQ(e.parse_result.merged_parameters.size(), 2u);
    e.parse_result.merged_parameters[0]->current.int_value = 4;
    e.parse_result.merged_parameters[1]->current.int_value = 6;
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(printed(), (Lines{"// E:a", "4", "// E:b", "6"}));
    EXPECT_EQ(console_tail(2), (Lines{"Re-Assembling: pair.vrek", "<ms>"}));
    e.parse_result.merged_parameters[1]->current.int_value = 8;
    push_entity_parameters(*ctx.app, &e, false);
    EXPECT_EQ(printed(), (Lines{"// E:b", "8"}));
}

TEST_F(RunTraces, ASerialReassemblyAndTheParseFunctionShowTheirRuns) {
    const std::string path = script("say.vrek", "print(\"first\");\nreturn box(1);\n");
    ctx.open({path});
    EXPECT_EQ(printed(), Lines{"first"});
    ASSERT_TRUE(write_text_file(path, "print(\"second\");\nreturn box(1);\n"));
    reparse_and_reassemble_entity(*ctx.app, ctx.entity(0), ctx.app->io_settings.meshing_algorithm);
    EXPECT_EQ(printed(), Lines{"second"});
    EXPECT_EQ(console_tail(4), (Lines{"Re-Parsing: say.vrek", "<ms>", "Re-Assembling: say.vrek", "<ms>"}));

    // Re-opened unchanged, the re-parse is skipped after its own run shows.
    ctx.app->io_settings.reassembly_culling = 1;
    ctx.open({path});
    EXPECT_EQ(console_tail(2), (Lines{"<ms>", "  \t (nothing to do - skipping re-assembly)"}));
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("vrek: parsed"), std::string::npos);

    // The parse function's runs too.
    ctx.app->entities.current_environment->trace_log = TraceLog();
    reparse_environment_entities(*ctx.app);
    ASSERT_FALSE(ctx.channel(TRACE_KERNEL).empty());
    EXPECT_NE(ctx.channel(TRACE_KERNEL).at(0).find("vrek: parsed"), std::string::npos);
}

// An assembly that gives no mesh still shows what the kernel printed: here
// it says it cut the file.
TEST_F(RunTraces, ACriticalEndingShowsTheKernelsOutput) {
    ctx.open({script("cut.vrek", "print(\"cutting\");\ntruncate();\nreturn box(1);\n")});
    EXPECT_EQ(ctx.set().count, 0);
    EXPECT_EQ(console_tail(1), Lines{"  \t Critical Assembly-Error (NULL-RETURN)"});
    const Lines kernel = ctx.channel(TRACE_KERNEL);
    EXPECT_NE(std::find(kernel.begin(), kernel.end(), "cutting"), kernel.end());
}

// Escape during a parallel dispatch, a serial push or a parallel push: the
// step ends with the outcome, never with a dangling "Assembling: ".
TEST_F(RunTraces, ACancelledRunEndsItsStepWithTheOutcome) {
    // The user presses Escape once the run's input is staged: the parses
    // before it are left alone.
    static std::string staged_input;
    auto cancel_once_staged = [&](const std::string& name) {
        staged_input = workspace + "tmp/" + name;
        unlink(staged_input.c_str());
        kernel_wait_pump = [] { return access(staged_input.c_str(), F_OK) == 0; };
    };
    const std::string slow = "#PARALLEL;\n#VREK(a){ INT s(0, 0, 9000, \"S\"); sleep(s); m = box(1); };\n"
                             "#VREK(b){ INT t(0, 0, 9000, \"T\"); sleep(t); m = box(1).tx(2); };\n"
                             "#VREK(c){ sleep(5000); m = box(1).tx(4); };\n"
                             "return { VREK(a), VREK(b), VREK(c) };\n";
    for (const bool multi_core : {true, false}) {
        SCOPED_TRACE(multi_core);
        set_parallel_mode(multi_core, false);
        reset_call_log();
        cancel_once_staged(multi_core ? "vrek_assemble_in_sub_0" : "vrek_assemble_in");
        ctx.open({script("slow.vrek", slow)});
        kernel_wait_pump = nullptr;
        EXPECT_EQ(ctx.set().count, 0);
        EXPECT_EQ(console_tail(2), (Lines{"Assembling: slow.vrek", "  \t kernel run cancelled"}));
        ASSERT_EQ(error_boxes().size(), 1u);
        EXPECT_EQ(first_line(error_boxes()[0]), "Kernel Run Cancelled");
    }

    // A push of two changed sub-elements stops at the first cancelled one:
    // the next run would have cleared the user's cancel.
    ctx.open({script("quick.vrek", "#PARALLEL;\n#VREK(a){ INT s(0, 0, 9000, \"S\"); sleep(s); m = box(1); };\n"
                                   "#VREK(b){ INT t(0, 0, 9000, \"T\"); sleep(t); m = box(1).tx(2); };\n"
                                   "return { VREK(a), VREK(b) };\n")});
    ASSERT_EQ(ctx.set().count, 1);
    EntityRecord& e = ctx.entity(0);
    e.parse_result.merged_parameters[0]->current.int_value = 5000;
    e.parse_result.merged_parameters[1]->current.int_value = 5000;
    cancel_once_staged("vrek_assemble_in");
    push_entity_parameters(*ctx.app, &e, false);
    kernel_wait_pump = nullptr;
    EXPECT_EQ(console_tail(2), (Lines{"Re-Assembling: quick.vrek", "  \t kernel run cancelled"}));
    EXPECT_EQ(ctx.channel(TRACE_KERNEL).at(0), "// E:a");
    const Lines kernel = ctx.channel(TRACE_KERNEL);
    EXPECT_EQ(std::find(kernel.begin(), kernel.end(), "// E:b"), kernel.end());
}

}  // namespace
