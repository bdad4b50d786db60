#pragma once
#include <cstdint>
#include <utility>
#include <vector>

struct AppContext;
struct Element;

// Builds the interface once, after the art exists and before the context is
// published: stage 0 (the start-up state) and then the widget stages, in
// order. Draws nothing and runs no user action.
void build_user_interface(AppContext& app);

// Stage 0: key states cleared, path copies and export defaults taken, the
// console metrics filled from face 3, "env0" created and bound, the start-up
// time reported on standard output and the console, and the start-up mode
// chosen (0 plain intro only when both paths are VALID and no interactive
// configuration was asked for). Returns the start-up time in milliseconds.
int64_t build_startup_state(AppContext& app);

// The widget stages; each gives its region geometry, captions, children and
// callbacks.
void build_window_frame(AppContext& app);
void build_console_panes(AppContext& app);
void build_entity_inspector(AppContext& app);
void build_parameter_pane(AppContext& app);
void build_bars_and_menus(AppContext& app);
// Parts of build_bars_and_menus: the environment tab strip and its preview;
// the tip row, hint bar, status, tool bar and text tabs; the popup frames.
void build_environment_tabs(AppContext& app);
void build_tab_tip_and_tool_bars(AppContext& app);
void build_popup_frames(AppContext& app);
// The floating bars over the 3D view and the contents of the parallel-flags
// strip, camera-directive pane, variant bar and mesh-inspector key strip.
void build_floating_bars(AppContext& app);
void build_popup_panes(AppContext& app);
// Parts of the popup stage: the parse-report, capture, profiling and
// directive panes; the about and help panes and the message-box bodies.
void build_report_and_capture_panes(AppContext& app);
void build_about_help_and_message_bodies(AppContext& app);
// The open and load panes, the file browser's frame and the configuration
// pane, its texts taken from the path copies.
void build_file_panes(AppContext& app);
void build_minimal_bar_and_bindings(AppContext& app);
// Parts of build_popup_panes: the run pane and the confirmation pane's
// title, buttons and re-assembly bar; the export pane.
void build_run_and_confirm_panes(AppContext& app);
void build_export_pane(AppContext& app);

// The 64 keyed elements, in the order their keys are given.
std::vector<std::pair<const char*, Element*>> named_elements(AppContext& app);

// Click actions bound here: the PARSE button, and the two bars that take
// clicks so that nothing below them does.
void parse_action_alt();
void colour_bar_ignore_click();
void slider_bar_ignore_click();
