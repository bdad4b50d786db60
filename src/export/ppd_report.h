#pragma once
#include <string>

#include "model/entity.h"

// The performance-profiling ("PPD") text reports shown in the profiling
// pane, copied to the clipboard and written to "vrek_ppd.txt". Both only
// read the record; the single report may note a statement-count mismatch on
// standard output.

// Report of an entity assembled as one unit, or of one element record of a
// parallel entity. "M!" when the record has no mesh.
std::string compose_ppd_report(const EntityRecord& entity);

// Report of a parallel entity: per-element rows, the assembly outline and
// the invocation groups re-derived from its parse record.
std::string compose_parallel_ppd_report(const EntityRecord& entity);
