#pragma once
#include <string>

struct AppContext;

// Image captures and the profiling report's output. A capture is asked of
// the renderer, which reads the next frame back and then opens the capture's
// pane; its Save button writes the PNG into the workspace. Every outcome is
// reported in a message box.

// Snapshot: the 3D view alone, 512 x 512, named after the local time.
void open_snapshot_dialog(AppContext& app);
// Screenshot: the whole window at its size (at most 2048 x 2048, what the
// renderer can read back).
void open_screenshot_dialog(AppContext& app);

// Write the captured pixels as "<workspace><name>.png" and close the pane;
// without the image service they do nothing. A buffer smaller than the
// recorded size and a failed write are reported in the error box.
void save_environment_snapshot(AppContext& app);
void save_application_screenshot(AppContext& app);

// The profiling report with every tab shown as ">": to the clipboard, or
// into "<workspace>vrek_ppd.txt".
void copy_ppd_to_clipboard(AppContext& app);
void write_ppd_text_file(AppContext& app);
std::string ppd_output_text(const std::string& report);

// Bound thunks on the published context. CAPTURE takes a screenshot while
// Shift, Control or Alt is held, else a snapshot.
void on_click_capture();
void on_click_snapshot();
void on_click_save_snapshot();
void on_click_save_screenshot();
void on_click_copy_ppd();
void on_click_write_ppd();
// Run by the renderer once the capture is read back: open the pane.
void snapshot_done();
void screenshot_done();
