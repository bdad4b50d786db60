#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/parse_record.h"

// Invocation groups of a parallel script, re-derived for its profiling
// report. The report must stay silent, so the sub-element reading here
// prints nothing; otherwise it follows the parallel assembly's rules, and
// the two are to be merged once the pipeline offers a quiet variant.

// One record per sub-element invocation of the script's return statement,
// in order: {invocation text, complete source}. Empty when the record is not
// parallel or its directives or return statement are unusable.
std::vector<std::vector<std::string>> report_subelement_sources(const EntityParseRecord& record);

// Selected indices whose key is not -1, grouped by equal key; groups in
// ascending key order, members in index order. Empty when there are no keys
// or the selection does not have one flag per key.
std::vector<std::vector<int32_t>> report_group_by_batch_key(const std::vector<int32_t>& keys,
                                                            const std::vector<uint8_t>& selection);
