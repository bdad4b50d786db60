#pragma once

struct AppContext;

// The parse function: every script of the current environment is parsed
// again (nothing is assembled, no entity changes) into the parse report,
// one row per script and per parallel sub-element, and the parse pane is
// toggled.
void reparse_environment_entities(AppContext& app);
// The same on the published context.
void parse_action();
