#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/parse_record.h"

// One sub-element of a parallel script: [0] its reference text (the
// invocation's text between "(" and ")", group prefix included until the
// keys are extracted), [1] its complete source (empty when unresolved).
using SubElementSource = std::vector<std::string>;
// Its two texts; a record with fewer strings reads as empty ones.
const std::string& subelement_reference(const SubElementSource& source);
const std::string& subelement_text(const SubElementSource& source);

// The ascending element indices that one batch kernel run assembles.
using InvocationGroup = std::vector<int32_t>;

// Groups the selected elements by key (key -1: no group); groups in
// ascending key order, indices ascending within a group. Needs a selection
// of the keys' length.
std::vector<InvocationGroup> group_by_batch_key(const std::vector<int32_t>& keys, const std::vector<bool>& selection);

// Splitting a "#PARALLEL;" script into its sub-elements.
//
// The keyword lines (DIRECTIVES then FUNCTIONS) name a global prefix and
// suffix and the "VREK(name){...};" definitions; the single OPERATIONS line
// is the parallel return "return { a(x), 2|b(y){...}, ... };" whose
// top-level invocations become the sub-elements, in order.

// One SubElementSource per invocation of the return, in order. Empty when
// the record is not parallel or a fatal error was found. Every message is
// printed and stored through print_and_store_line(messages, ...), so after
// a run messages->front() holds the last one; `messages` may be null. With
// `quiet` the messages are only stored, not printed (reports read the
// sub-elements without speaking).
std::vector<SubElementSource> build_subelement_sources(const EntityParseRecord& record,
                                                       std::vector<std::string>* messages, bool quiet = false);

// The trimmed body of the first global prefix line, or "" (not parallel, no
// prefix, malformed prefix). Writes nothing.
std::string extract_global_prefix_body(const EntityParseRecord& record);
