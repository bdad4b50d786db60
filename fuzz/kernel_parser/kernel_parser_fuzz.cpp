// Feeds arbitrary bytes to the stand-in kernel's front end the way its three
// runs see them: as a script, as element blocks, and evaluated with small
// budgets. Nothing may crash, hang or produce an ambiguous report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "eval/evaluate.h"
#include "run/staged_input.h"

static size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ScriptProgram program = parse_script(text);
    const std::string report = compose_parse_report(program, text);
    // Each tag exactly once, so a reader can never mistake a section.
    for (const char* tag : {"</ERRORS>", "<NOTES>", "</SOURCE>", "<OPERATIONS>"})
        if (count_of(report, tag) != 1) std::abort();
    if (count_of(report, "<BREAK>") != 0) std::abort();

    EvalLimits limits;
    limits.vertex_budget = 20000;
    limits.step_budget = 20000;
    limits.side_effects = false;
    EvalOutcome outcome = evaluate_program(program, limits, nullptr);
    if (outcome.ok) {
        InteropWriterMesh mesh;
        build_interop_mesh(outcome.mesh, mesh);
        interop_serialise({mesh});
    }

    StagedInput staged = read_element_blocks(text);
    if (staged.entries > staged.blocks.size() + 4096) std::abort();
    for (const auto& block : staged.blocks) {
        ScriptProgram sub = parse_script(block.body);
        compose_parse_report(sub, block.source);
    }
    return 0;
}
