#pragma once
#include <cstdint>
#include <string>

// The program's small fixed vocabularies, each indexed by its enumeration.
// The tables the model and platform layers need themselves are declared
// there and only gathered here:
//   parameter_type_keywords  model/parameters.h   (by ParameterType)
//   report_section_names     model/parse_record.h (by ReportSection)
//   path_state_names         platform/paths.h     (by PathState)
#include "model/parameters.h"
#include "model/parse_record.h"
#include "platform/paths.h"

// By MeshAlgorithm (0 Pure-Union, 1 Basic-CSG, 2 Optimal-CSG).
// "Pure-Union Mesh", "Basic-CSG Mesh", "Optimal-CSG Mesh": run pane and
// entity information.
// "pure_union_mesh", "basic_csg_mesh", "optimal_csg_mesh": the
// "#execute_mode:" directive of every staged assemble input.
extern const char* const execute_mode_keywords[3];
// "Pure-Union", "Basic-CSG", "Optimal-CSG": profiling reports.
extern const char* const mesh_kind_short_names[3];

// The code of parameter_type_keywords[i] is parameter_type_codes[i] (= i).
extern const uint32_t parameter_type_codes[13];

// The code of a type word: the first of the twelve real keywords with the
// same length and bytes (case-sensitive, untrimmed); anything else is
// PARAMETER_UNDEFINED, the word "UNDEFINED" included. The definition parser
// keeps its own, more lenient reading of a definition's head.
int32_t parameter_type_code(const std::string& word);

// Written into the header comment block of every exported mesh file.
extern const char generator_text[];
extern const char version_text[];

// The compiler's date of the build as "YYYY-MM-DD".
std::string build_date_text();
