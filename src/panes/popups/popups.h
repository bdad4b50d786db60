#pragma once
#include <cstdint>

struct AppContext;
struct Element;

// The modal popup panes over the main window. Each has one open byte in
// pane_open_flags; an open popup shows its pane with OVERLAY (dimming) and
// MASKPANE (swallows pointer events). Escape and every close button close
// the top-most popup in a fixed order.

// The pane element of a popup (index of pane_open_flags).
Element& popup_pane(AppContext& app, int32_t index);

// Any popup open, leaving out `except` (-1: none left out).
bool any_other_popup_open(const AppContext& app, int32_t except);

// Toggles: flag ^= 1 and the pane follows it; OVERLAY and MASKPANE are
// shown while this or another popup is open.
void toggle_popup(AppContext& app, int32_t index);
void toggle_run_pane(AppContext& app);
void toggle_parse_pane(AppContext& app);
void toggle_capture_pane(AppContext& app);
void toggle_screenshot_pane(AppContext& app);
void toggle_profile_pane(AppContext& app);
void toggle_directive_pane(AppContext& app);
void toggle_about_pane(AppContext& app);
void toggle_help_pane(AppContext& app);

// Plain closers: flag and pane off; the masks as for the toggles.
void close_run_pane(AppContext& app);
void close_parse_pane(AppContext& app);
void close_capture_pane(AppContext& app);
void close_screenshot_pane(AppContext& app);
void close_profile_pane(AppContext& app);
void close_directive_pane(AppContext& app);
void close_export_pane(AppContext& app);

// Puts a message box (PANE_INFO, PANE_ERROR or PANE_WARNING) on top of the
// others, the only one shown, over the mask that keeps clicks from the panes
// beneath.
void raise_message_box(AppContext& app, int32_t index);
// The open message box on top, -1 when none is open.
int32_t top_message_box(const AppContext& app);
// Message-box closers: the box beneath shows again; OVERLAY and MASKPANE
// stay while another popup is open.
void close_warning_box(AppContext& app);
void close_error_box(AppContext& app);
void close_info_box(AppContext& app);
// The open (export-location) pane after an opening ran; masks as above.
void close_open_pane(AppContext& app);

// Closes the top-most open popup; nothing when none is open.
void escape_from_popups(AppContext& app);

// Shows or hides the inline file browser with its frame.
void show_file_browser(AppContext& app, bool shown);

// Confirmation: Cancel (runs the cancel callback), OK (the action runs five
// ticks later behind LOADPANE), and the re-assembly algorithm bar.
void close_confirm_dialog(AppContext& app);
void accept_confirm_dialog(AppContext& app);
void accept_confirm_if_open(AppContext& app);
void show_confirm_extra(AppContext& app);
// Run by the tick when the accepted confirmation's turn comes.
void finish_confirmed_action(AppContext& app);

// The native folder chooser for the export location (deferred request).
void choose_export_folder(AppContext& app);

// Bound thunks on app_instance.
void on_click_confirm_ok();
void on_click_confirm_cancel();
void on_click_close_popup();
void on_click_toggle_run_pane();
void on_click_toggle_about_pane();
void on_click_toggle_help_pane();

// Pointer callbacks of the masks: they report every event handled.
void mask_ignore_click();
bool mask_swallow_pointer(int32_t x, int32_t y, int32_t button);
bool mask_swallow_scroll(int32_t x, int32_t y, int32_t direction);
// Binds the five swallowing callbacks and the ignoring click to an element.
void make_event_mask(Element& element);

// Fills the context's hooks with the popup and message-box operations.
struct AppHooks;
void install_popup_operations(AppHooks& hooks);
