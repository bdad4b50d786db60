#pragma once
#include <string>
#include <vector>

#include "model/parse_record.h"
#include "pipeline/kernel_runs.h"

// Splitting a "#PARALLEL;" script into its sub-elements.
//
// The keyword lines (DIRECTIVES then FUNCTIONS) name a global prefix and
// suffix and the "VREK(name){...};" definitions; the single OPERATIONS line
// is the parallel return "return { a(x), 2|b(y){...}, ... };" whose
// top-level invocations become the sub-elements, in order.

// One SubElementSource per invocation of the return, in order. Empty when
// the record is not parallel or a fatal error was found. Every message is
// printed and stored through print_and_store_line(messages, ...), so after
// a run messages->front() holds the last one; `messages` may be null.
std::vector<SubElementSource> build_subelement_sources(const EntityParseRecord& record,
                                                       std::vector<std::string>* messages);

// The trimmed body of the first global prefix line, or "" (not parallel, no
// prefix, malformed prefix). Writes nothing.
std::string extract_global_prefix_body(const EntityParseRecord& record);
