#include "panes/run_pane_standins.h"

#include "app/app_hooks.h"

void toggle_reassembly_culling() { record_standin_call("toggle_reassembly_culling"); }

void toggle_assembly_profiling() { record_standin_call("toggle_assembly_profiling"); }
