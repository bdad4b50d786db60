#pragma once

// Recording stand-ins for the run pane's two toggles until their actions
// arrive. Each appends its own name to standin_call_log().

void toggle_reassembly_culling();
void toggle_assembly_profiling();
