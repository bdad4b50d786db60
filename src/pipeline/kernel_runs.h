#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/interop_mesh.h"
#include "model/parallel_grammar.h"
#include "model/parse_record.h"

struct AppContext;

// Kernel runs on the main thread: stage a text in the workspace's "tmp/",
// empty the output file, run `kernel_path` and read the output back.

// Stores the mode as the mesh's algorithm, and as its kind when it is one
// of the three known modes.
void stamp_mesh_mode(InteropMesh* mesh, int32_t mode);

// The execute_mode_keywords entry (app/keyword_tables.h) of a mode; modes
// outside 0..2 fall back to Optimal-CSG so a staged script never carries an
// unknown mode.
std::string execute_mode_keyword(int32_t mode);

// What the last parse or assemble run left for the trace channels: the
// kernel's captured output and the texts for the SCRIPT, FILE-IO and ERROR
// channels. Main thread only.
extern std::string kernel_trace_text;
extern std::string script_trace_text;
extern std::string file_io_trace_text;
extern std::string error_trace_text;
// How the last run's kernel ended when that explains a missing result
// ("kernel ended by signal 11", "kernel exited with status 3"); empty when
// it exited normally or wrote its output. Also the last line of
// `kernel_trace_text`.
extern std::string kernel_end_text;
void reset_run_trace_texts();

// Staged text forms.
// "// logic\n" + script.
std::string compose_parse_input(const std::string& script);
// "{\n// directives\n#execute_mode:<keyword>;\n// logic\n" + script + "\n};\n"
std::string compose_element_block(const std::string& script, int32_t mode);
// Count line, then per script a blank line and its block (single and
// start-up assemblies).
std::string compose_assemble_input(const std::vector<std::string>& scripts, const std::vector<int32_t>& modes);
// Count line, then per sub-element "{\n// E:" + reference + "\n" + source + "\n};\n".
std::string compose_subelement_parse_input(const std::vector<SubElementSource>& sources);

// Writes the input text and empties the output file. When either write
// fails it prints the reason, leaves it in `message` and returns false: the
// kernel must then not run, or it would read a stale input or leave a stale
// result to be taken for its own.
bool stage_kernel_files(const std::string& input_path, const std::string& input_text,
                        const std::string& output_path, std::string& message);

EntityParseRecord parse_script_file(const std::string& path);
std::vector<EntityParseRecord> parse_parallel_elements(const std::vector<SubElementSource>& sources);

// The first mesh of a one-element assembly, stamped with mode and time, or
// null. The caller owns the mesh.
InteropMesh* assemble_script(const std::string& script, int32_t mode, bool profiling);

void assemble_startup_meshes(AppContext& app);
void assemble_startup_entity(AppContext& app);

// The CCPP pre-pass; false (and nothing written) for a blank prefix.
bool run_ccpp_assembly(const std::string& prefix, int32_t algorithm, bool profiling);
