#pragma once
#include <string>

struct AppContext;

// Writes the visible entities of the current environment into one file per
// selected format and topology (STL once), reports each format in the
// FILE-IO and ERROR channels and ends with an information box giving the
// elapsed time, or with an error box naming each file that failed and why
// (a failed file leaves any earlier one of its name untouched). A format
// whose file fails is reported and the others are still written. No current
// entity set: nothing at all.
void export_environment_mesh(AppContext& app);

// The path every file of one export starts with: the directory and name
// joined with one "/", then "_" and the date-time stamp when the time-stamp
// option is on (an empty stamp without the service).
std::string export_base_path(const AppContext& app);

// The export confirmation's OK: closes the export pane (flag and element)
// and exports.
void export_confirmed(AppContext& app);
void on_export_confirmed();
