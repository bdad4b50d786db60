#include "run/kernel_run.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <sstream>

#include "interop/interop_writer.h"
#include "run/staged_input.h"

const char* const kPrefixStateMagic = "VREK-CCPP-STATE";

static const char* const kUsage =
    "usage: vrek -interop -parse IN OUT [\"*\" | -ccpp]\n"
    "       vrek -interop -assemble|-assemble-ppd IN OUT [-ccpp CC]\n"
    "       vrek -interop -compute|-compute-ppd IN OUT ALG\n"
    "This is the bundled stand-in kernel, not the real one.\n";

// Inputs are scripts: anything larger is refused before it is parsed, so a
// device or a runaway file cannot grow memory without bound.
const size_t kMaxInputBytes = size_t(4) << 20;

enum ReadResult { READ_OK, READ_FAILED, READ_TOO_LARGE };

// C streams, not iostreams: reading a directory must fail, not throw.
static ReadResult read_whole(const std::string& path, std::string& text) {
    text.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return READ_FAILED;
    char buffer[1 << 16];
    ReadResult result = READ_OK;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, f);
        if (text.size() + n > kMaxInputBytes) {
            result = READ_TOO_LARGE;
            break;
        }
        text.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(f)) result = READ_FAILED;
            break;
        }
    }
    std::fclose(f);
    if (result != READ_OK) text.clear();
    return result;
}

static std::string read_problem(ReadResult r, const std::string& path) {
    return r == READ_TOO_LARGE ? "vrek: " + path + " is larger than the input limit of " +
                                     std::to_string(kMaxInputBytes) + " bytes\n"
                               : "vrek: cannot read " + path + "\n";
}

// A small output fits the stream's buffer, so a full disk shows only when
// the buffer is flushed and the file closed: both are checked.
static bool write_whole(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

// `staged`: the input is the program's parse form, whose header line is not
// one of the script's (a CCPP prefix is passed as it is).
static void parse_run(const std::string& in_path, const std::string& out_path, bool per_element, bool staged,
                      KernelRun& run) {
    std::string text;
    std::string report;
    if (const ReadResult r = read_whole(in_path, text); r != READ_OK) {
        run.err += read_problem(r, in_path);
        ScriptProgram empty;
        report = compose_parse_report(empty, "", {r == READ_TOO_LARGE
                                                      ? "INPUT-TOO-LARGE : THE STAGED INPUT EXCEEDS THE INPUT LIMIT;"
                                                      : "INPUT-UNREADABLE : THE STAGED INPUT COULD NOT BE READ;"});
        run.exit_code = KERNEL_ERRORS;
    } else if (!per_element) {
        ScriptProgram program = parse_script(text, staged ? staged_header_lines(text, false) : 0);
        report = compose_parse_report(program, text);
        if (!program.errors.empty()) run.exit_code = KERNEL_ERRORS;
        run.out += "vrek: parsed " + std::to_string(program.statements.size()) + " statements, " +
                   std::to_string(program.errors.size()) + " errors\n";
    } else {
        StagedInput staged = read_element_blocks(text);
        for (const auto& p : staged.problems) run.err += "vrek: " + p + "\n";
        size_t errors = 0;
        for (size_t i = 0; i < staged.entries; ++i) {
            if (i > 0) report += "<BREAK>\n";
            std::vector<std::string> extra = i == 0 ? staged.problems : std::vector<std::string>{};
            if (i >= staged.blocks.size()) {
                extra.push_back("MISSING-SUB-ELEMENT-BLOCK : ELEMENT " + std::to_string(i) + ";");
                report += compose_parse_report(ScriptProgram{}, "", extra);
                errors += extra.size();
                continue;
            }
            const StagedBlock& b = staged.blocks[i];
            ScriptProgram program = parse_script(b.source);
            report += compose_parse_report(program, b.source, extra);
            errors += program.errors.size() + extra.size();
        }
        if (errors > 0) run.exit_code = KERNEL_ERRORS;
        run.out += "vrek: parsed " + std::to_string(staged.entries) + " sub-elements, " + std::to_string(errors) +
                   " errors\n";
    }
    if (!write_whole(out_path, report)) {
        run.err += "vrek: cannot write " + out_path + "\n";
        run.exit_code = KERNEL_IO;
    }
}

static bool valid_prefix_state(const std::string& path) {
    std::string text;
    return read_whole(path, text) == READ_OK && text.compare(0, std::string(kPrefixStateMagic).size(), kPrefixStateMagic) == 0;
}

static void assemble_run(const std::string& in_path, const std::string& out_path, bool profile,
                         const std::string& prefix_state, const EvalLimits& limits, NanoClock clock, KernelRun& run) {
    if (!prefix_state.empty() && !valid_prefix_state(prefix_state)) {
        run.err += "vrek: CCPP-STATE-MISSING : " + prefix_state + " was not written by a compute step\n";
        run.exit_code = KERNEL_NO_PREFIX;
        return;
    }
    std::string text;
    if (const ReadResult r = read_whole(in_path, text); r != READ_OK) {
        run.err += read_problem(r, in_path);
        run.exit_code = KERNEL_ERRORS;
    }
    StagedInput staged = read_element_blocks(text);
    for (const auto& p : staged.problems) run.err += "vrek: " + p + "\n";
    if (!staged.problems.empty()) run.exit_code = KERNEL_ERRORS;

    std::vector<InteropWriterMesh> meshes(staged.entries);
    bool truncate = false;
    size_t vertices = 0, polygons = 0;
    for (size_t i = 0; i < staged.entries; ++i) {
        if (i >= staged.blocks.size() || staged.blocks[i].empty) continue;  // empty 144-byte entry
        const std::string& body = staged.blocks[i].body;
        ScriptProgram program = parse_script(body, staged_header_lines(body, true));
        if (!program.errors.empty()) {
            run.err += "vrek: element " + std::to_string(i) + ": " + program.errors[0] + "\n";
            run.exit_code = KERNEL_ERRORS;
            continue;
        }
        EvalOutcome outcome = evaluate_program(program, limits, clock);
        run.err += outcome.printed;
        if (outcome.fail_requested) {
            run.err += "vrek: element " + std::to_string(i) + ": fail() called, nothing written\n";
            run.exit_code = KERNEL_FAILED;
            return;
        }
        if (!outcome.ok) {
            run.err += "vrek: element " + std::to_string(i) + ": " + outcome.error + "\n";
            run.exit_code = KERNEL_ERRORS;
            continue;
        }
        // Every element's mesh is held until the file is written.
        if (vertices + outcome.mesh.vertex_count() > limits.live_vertex_budget) {
            run.err += "vrek: element " + std::to_string(i) + ": MESH-TOO-LARGE : THE ELEMENTS EXCEED THE VERTEX BUDGET\n";
            run.exit_code = KERNEL_ERRORS;
            continue;
        }
        truncate = truncate || outcome.truncate_requested;
        InteropWriterMesh& m = meshes[i];
        vertices += outcome.mesh.vertex_count();
        polygons += outcome.mesh.polygon_count();
        const std::string profile_text = profile ? format_profile_text(outcome) : std::string();
        build_interop_mesh(std::move(outcome.mesh), m);
        m.spare = {program.execute_mode < 0 ? 0 : program.execute_mode};
        m.ppd_text = profile_text;
    }
    std::string error;
    bool written;
    if (truncate) {
        const std::string bytes = interop_serialise(meshes);
        const size_t keep = std::max<size_t>(std::min<size_t>(bytes.size(), 150), bytes.size() / 2);
        written = write_interop_bytes(out_path, bytes.substr(0, keep), &error);
        run.err += "vrek: truncate() called, file cut to " + std::to_string(keep) + " bytes\n";
    } else {
        written = write_interop_file(out_path, meshes, &error);
    }
    if (!written) {
        run.err += "vrek: " + error + "\n";
        run.exit_code = KERNEL_IO;
        return;
    }
    run.out += "vrek: assembled " + std::to_string(staged.entries) + " elements, " + std::to_string(vertices) +
               " vertices, " + std::to_string(polygons) + " polygons\n";
}

static void compute_run(const std::string& in_path, const std::string& out_path, const std::string& alg,
                        KernelRun& run) {
    if (alg != "0" && alg != "1" && alg != "2") {
        run.err += "vrek: the algorithm must be 0, 1 or 2, not '" + alg + "'\n";
        run.exit_code = KERNEL_USAGE;
        return;
    }
    std::string text;
    if (const ReadResult r = read_whole(in_path, text); r != READ_OK) {
        run.err += read_problem(r, in_path);
        run.exit_code = KERNEL_IO;
        return;
    }
    ScriptProgram program = parse_script(text);
    if (!program.errors.empty()) {
        run.err += "vrek: prefix: " + program.errors[0] + "\n";
        run.exit_code = KERNEL_ERRORS;
        return;
    }
    std::ostringstream state;
    state.imbue(std::locale::classic());
    state << kPrefixStateMagic << "\nalgorithm: " << alg << "\nstatements: " << program.statements.size()
          << "\nprefix-bytes: " << text.size() << "\n";
    if (!write_whole(out_path, state.str())) {
        run.err += "vrek: cannot write " + out_path + "\n";
        run.exit_code = KERNEL_IO;
        return;
    }
    run.out += "vrek: prefix state written\n";
}

static KernelRun dispatch(const std::vector<std::string>& args_in, const EvalLimits& limits, NanoClock clock) {
    KernelRun run;
    std::vector<std::string> args = args_in;
    if (!args.empty() && args[0] == "-interop") args.erase(args.begin());
    auto usage = [&](const std::string& why) {
        run.err += "vrek: " + why + "\n" + kUsage;
        run.exit_code = KERNEL_USAGE;
        return run;
    };
    if (args.size() < 3) return usage("missing arguments");
    const std::string& mode = args[0];
    const std::string& in = args[1];
    const std::string& out = args[2];
    if (mode == "-parse") {
        // Only the inspector stages a "// logic" line in front of the
        // script, and its runs carry this variable; a script run by hand
        // may open with that line itself, and then it is one of its own.
        const char* const mark = std::getenv("VREKFORM_RUN");
        const bool staged = mark && *mark;
        if (args.size() == 3) parse_run(in, out, false, staged, run);
        else if (args.size() == 4 && args[3] == "*") parse_run(in, out, true, true, run);
        else if (args.size() == 4 && args[3] == "-ccpp") parse_run(in, out, false, false, run);
        else return usage("unexpected arguments after -parse IN OUT");
    } else if (mode == "-assemble" || mode == "-assemble-ppd") {
        std::string prefix_state;
        if (args.size() == 5 && args[3] == "-ccpp") prefix_state = args[4];
        else if (args.size() != 3) return usage("unexpected arguments after " + mode + " IN OUT");
        if (args.size() == 5 && prefix_state.empty()) return usage("-ccpp needs a file");
        assemble_run(in, out, mode == "-assemble-ppd", prefix_state, limits, clock, run);
    } else if (mode == "-compute" || mode == "-compute-ppd") {
        if (args.size() != 4) return usage(mode + " needs IN OUT ALG");
        compute_run(in, out, args[3], run);
    } else {
        return usage("unknown mode '" + mode + "'");
    }
    return run;
}

KernelRun run_kernel(const std::vector<std::string>& args, const EvalLimits& limits, NanoClock clock) {
    // The budgets keep well-formed scripts within bounds; this is the last
    // line for whatever they miss: a report and an exit status, not an abort.
    try {
        return dispatch(args, limits, clock);
    } catch (const std::bad_alloc&) {
        return {"", "vrek: out of memory, nothing written\n", KERNEL_RESOURCES};
    } catch (const std::exception& e) {
        return {"", std::string("vrek: ") + e.what() + ", nothing written\n", KERNEL_RESOURCES};
    }
}
