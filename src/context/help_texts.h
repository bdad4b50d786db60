#pragma once
#include <array>
#include <cstdint>

#include "context/caption_tables.h"

// The longer fixed texts: the help pane's three sections and the run and
// parameter panes' meshing-algorithm texts. Tables indexed by algorithm use
// MeshAlgorithm (0 Pure-Union, 1 Basic-CSG, 2 Optimal-CSG).

// Help section bodies, one line per entry; a body is its lines joined with
// "\n" (none after the last), so the empty entries become blank lines.
extern const std::array<const char*, 3> startup_hint_lines;       // "Instructions"
extern const std::array<const char*, 8> keyboard_shortcut_hints;  // "Keyboard Shortcuts"
extern const std::array<const char*, 10> movement_hints;          // "Camera Control"

// The parameter pane's algorithm line, by algorithm.
extern const std::array<const char*, 3> algorithm_item_labels;

// The run pane's six capability labels; label i is dimmed unless bit i of
// the selected algorithm's flags is set.
extern const std::array<const char*, 6> algorithm_feature_labels;
extern const std::array<std::array<uint8_t, 6>, 3> algorithm_capabilities;

// One run-pane panel per algorithm: line 0 its title, line 1 its
// suitability note, further lines further notes (3, 4 and 3 lines).
extern const std::array<CaptionGroup, 3> algorithm_descriptions;
