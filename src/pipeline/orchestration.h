#pragma once
#include <string>

struct AppContext;
struct EntityRecord;

// Opens one script that is not loaded yet: the kernel parses it, syntax
// errors are reported, and the script is assembled as a whole or as the
// sub-elements of a "#PARALLEL;" script into a new entity of the current
// environment. Every step writes a console line; the kernel's output goes
// to the trace channels; every failure raises an error pane and leaves the
// environment as it was.
void parse_and_assemble_script(AppContext& app, const std::string& path);

// Appends a finished entity to the current environment and refreshes what
// shows it (the steps after a successful assembly). The local record is
// released; the set's copy owns the mesh. An entity that cannot be stored
// (no entity set, or its serial id already present) has its meshes freed.
void add_assembled_entity(AppContext& app, EntityRecord& entity, int64_t assembly_start_ms);

// The critical-error console line and pane of a first assembly, then the
// traces of the last run.
void report_critical_assembly_error(AppContext& app, const std::string& name);
