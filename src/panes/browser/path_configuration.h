#pragma once
#include <string>

struct AppContext;
struct Element;
struct Label;

// The configuration pane's two paths and the native open-script chooser.

// Stores and validates the kernel path and shows it, its state and whether
// both paths are usable ("OK", else "!") on the configuration pane. An
// empty path shows "???".
void apply_kernel_path_setting(AppContext& app, const std::string& path);
// The same for the entity workspace directory.
void apply_entity_workspace_setting(AppContext& app, const std::string& directory);

// A path on its configuration box: cut at its start to the box's width so
// that its end stays in view; the whole path stays as the label's extra
// text.
void show_configured_path(const Element& box, Label& value, const std::string& text);

// Asks the desktop chooser for scripts, starting in the browser's directory,
// and queues the chosen paths (one per line of its answer, blank lines
// dropped) for the tick to open five ticks later, behind the open pane. An
// answer without paths queues nothing and takes the open pane down; without
// a chooser nothing happens.
void run_native_open_script_dialog(AppContext& app);
