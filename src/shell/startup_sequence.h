#pragma once

struct AppContext;

// The timed intro between the first frame and normal input: the logo fades
// in and out, the workspace is prepared, the start-up scripts are assembled
// once, three console lines are logged and the cover fades away. Mode 0
// runs it straight through; mode 1 waits after the logo until the user has
// confirmed the configuration. The tick calls one step per tick until
// startup_done.

// Logo opacity at t seconds after the loop started: up 0.25..1.0, down
// 1.0..1.75, 0 elsewhere.
double logo_ramp(double t);

void step_startup_sequence(AppContext& app);
void step_plain_startup(AppContext& app);
void step_interactive_startup(AppContext& app);

// The one start-up assembly (blocking) and its three console lines.
void run_startup_assembly(AppContext& app);
