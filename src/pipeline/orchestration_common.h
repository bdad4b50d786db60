#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/parse_record.h"
#include "pipeline/kernel_runs.h"

struct AppContext;

// Pieces shared by opening, pushing and re-assembling: console lines, trace
// routing, message texts, entity texts and mesh retirement.

// "" for one, "s" otherwise; "the" for one, "each" otherwise.
std::string plural_suffix(int64_t n);
std::string plural_article(int64_t n);

// Console line with the time stamp on.
void log_console(AppContext& app, const std::string& text);
// "  \t <now - start> ms".
void log_duration(AppContext& app, int64_t start_ms);

// The four run trace texts of the last kernel run to the KERNEL, SCRIPT,
// FILE-IO and ERROR channels, in this order; a run that ended abnormally
// (`kernel_end`, as the kernel runs give it) first gets a console line.
void route_run_traces(AppContext& app, const std::string& kernel_end);

// ERRORS lines of a parse record (never negative).
int32_t parse_error_count(const EntityParseRecord& record);

// "// E:<invocation>\n<ERRORS text>" for every sub-element with errors, and
// the total count.
int64_t collect_element_errors(const std::vector<EntityParseRecord>& elements, std::string& listing);

// Splits a parallel script into its sub-elements (group prefixes removed)
// and parses each; the parse run's texts go to the traces. Reports and
// returns false when the sources cannot be built, the run failed or an
// element has syntax errors.
bool parse_parallel_script(AppContext& app, const EntityParseRecord& record, const std::string& name,
                           std::vector<SubElementSource>& sources, std::vector<EntityParseRecord>& elements,
                           bool reassembly = false);

// The syntax-error console line and pane of a first assembly (or of a
// re-assembly, whose texts differ in a few words). The kernel's error lines
// go to the ERROR trace, where the pane sends the user; for a parallel
// script they are the sub-element listing, which also follows the pane's
// text after a blank line. A script that could not be read at all is
// named with its path and the reason (`unreadable`, as
// unreadable_script_lines gives them) after the text and the error lines.
void report_syntax_errors(AppContext& app, const std::string& name, int64_t n, const std::string& error_lines,
                          bool parallel, bool reassembly = false, const std::string& unreadable = std::string());
// "  \t n <word>-Error(s) (see trace for details)" and its pane; word is
// "Assembly" or "Re-Assembly". The kernel's own messages
// (`kernel_error_report`) end the text. The traces follow the pane.
void report_runtime_errors(AppContext& app, const std::string& name, int64_t n, bool reassembly);
// When the kernel run could not run, was cancelled or ended abnormally
// (`kernel_end` not empty): the pane naming that and the reason, and true.
// The caller routes the traces.
bool report_kernel_failure(AppContext& app, const std::string& name, bool reassembly, const std::string& kernel_end);
// After an assembly that gave no mesh: a kernel that could not run or ended
// abnormally (`kernel_end`), or one that exited with its own error report,
// gets its pane (and true); anything else is the caller's to report.
bool report_failed_assembly(AppContext& app, const InteropMesh* mesh, const std::string& name, bool reassembly,
                            const std::string& kernel_end);
// After a dispatch that a cancel ended: the "kernel run cancelled" console
// line, the traces of the runs and the cancelled run's pane; true then.
bool report_cancelled_dispatch(AppContext& app, const std::string& name, bool reassembly);
// "!!! ERROR !!! : " + message on standard output and the "ERROR: ..." pane.
void report_source_error(AppContext& app, const std::string& message);

// True when the display colours must be recomputed after an assembly.
bool recolour_needed(const AppContext& app);

// File name, summary values, information lines and headings.
void compose_entity_texts(AppContext& app, EntityRecord& entity);
// A new single entity owning the mesh, with a copy of the parse record and
// its texts composed.
EntityRecord serial_entity(AppContext& app, InteropMesh* mesh, const EntityParseRecord& record);

// Queues the mesh's GL objects for deletion and frees it (null allowed).
void retire_mesh(AppContext& app, InteropMesh* mesh);
// Frees the meshes of a failed run (they were never drawn).
void release_meshes(std::vector<InteropMesh*>& meshes);
// Retires the mesh and frees every sub-element record with its mesh.
void release_subelement_records(AppContext& app, std::vector<EntityRecord*>& records);

// Sub-element records for a parallel entity: one heap record per present
// mesh (mesh attached, parse record and result copied from its element);
// every mesh must be present.
std::vector<EntityRecord*> build_subelement_records(const std::vector<InteropMesh*>& meshes,
                                                    const std::vector<EntityParseRecord>& elements);

// Merges the parameters of the records that declare any into `result`. The
// merged result points into the records, so it must be built from the
// records the entity keeps.
void merge_subelement_parameters(const std::vector<EntityRecord*>& records, ParseResult& result);
