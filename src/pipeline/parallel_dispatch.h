#pragma once
#include <cstdint>
#include <vector>

#include "model/interop_mesh.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/parallel_jobs.h"

// The three ways of assembling a parallel entity's sub-elements: all in one
// kernel run, one run per element on worker threads, or one run per
// invocation group on worker threads. Every result holds one mesh pointer
// per element (null where none was produced); the caller owns the meshes.

// Multi-core off: one run. On: per group when `groups` is not empty, else
// per element. Stamps element_index, and batch_index on threaded batches.
std::vector<InteropMesh*> assemble_parallel_entity(const std::vector<SubElementSource>& sources,
                                                   const std::vector<bool>& selection,
                                                   const std::vector<InvocationGroup>& groups, bool ccpp,
                                                   bool profiling, int32_t mode, bool multi_core);

std::vector<InteropMesh*> assemble_elements_in_one_run(const std::vector<SubElementSource>& sources,
                                                       const std::vector<bool>& selection, bool ccpp, bool profiling,
                                                       int32_t mode);
