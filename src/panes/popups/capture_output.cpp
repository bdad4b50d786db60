#include "panes/popups/capture_output.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/message_boxes.h"
#include "panes/popups/popups.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

// The renderer reads at most this many pixels each way.
constexpr int32_t max_capture_side = 2048;

std::string time_stamp(const AppContext& app) {
    return app.services.local_date_time_stamp ? app.services.local_date_time_stamp() : std::string();
}

void copy_theme_colour(std::array<double, 4>& out, int32_t k) {
    const double* c = active_theme.colours[k];
    std::copy(c, c + 4, out.begin());
}

void redraw(AppContext& app) {
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

struct ImageSave {
    const std::string& name;
    const std::vector<uint8_t>& pixels;
    int32_t width;
    int32_t height;
};

std::string png_path(const std::string& name) { return workspace_path + name + ".png"; }

// "<base>", else the first free of "<base>_2", "<base>_3", ...: names go to
// the second, and a capture never takes the place of an earlier file.
std::string free_image_name(const std::string& base) {
    std::string name = base;
    for (int64_t k = 2; name_taken(png_path(name)); ++k) name = base + "_" + long_to_text(k);
    return name;
}

// Writes the PNG; false with the reason when the buffer does not hold the
// whole image or the writer fails.
bool write_png(AppContext& app, const ImageSave& image, std::string& failure) {
    const uint64_t bytes = 4ull * static_cast<uint64_t>(std::max(image.width, 0)) *
                           static_cast<uint64_t>(std::max(image.height, 0));
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() < bytes) {
        failure = "no complete image was captured";
        return false;
    }
    return app.services.save_image(png_path(image.name), "png", image.pixels.data(), image.width, image.height,
                                   image.width * 4, failure);
}

// The file and the reason, after the message's own text.
std::string failure_lines(const std::string& path, const std::string& reason) {
    return concat4("\n\n\t File: ", path, "\n\t Reason: ", reason);
}

std::string elapsed_seconds(int64_t start_ms) {
    return double_to_text_fixed(static_cast<double>(now_ms() - start_ms) / 1000.0, 2);
}

void open_capture_pane(AppContext& app) {
    if (!app.pane_open_flags[PANE_CAPTURE]) toggle_capture_pane(app);
}

void open_screenshot_pane(AppContext& app) {
    if (!app.pane_open_flags[PANE_SCREENSHOT]) toggle_screenshot_pane(app);
}

void capture_by_modifiers(AppContext& app) {
    if (alt_held > 0 || shift_held > 0 || ctrl_held > 0) {
        open_screenshot_dialog(app);
    } else {
        open_snapshot_dialog(app);
    }
}

}  // namespace

void open_snapshot_dialog(AppContext& app) {
    CaptureSettings& c = app.capture;
    const std::string prefix = "vrek_snapshot_";
    c.snapshot_name = free_image_name(prefix + time_stamp(app));
    c.snapshot_width = 512;
    c.snapshot_height = 512;
    c.snapshot_requested = 1;
    c.snapshot_callback = snapshot_done;
    copy_theme_colour(c.snapshot_background, 3);
    // The label breaks the name after its prefix.
    app.snapshot_name_label.set_text(prefix + "\n" + c.snapshot_name.substr(prefix.size()) + ".png");
    redraw(app);
}

void open_screenshot_dialog(AppContext& app) {
    CaptureSettings& c = app.capture;
    c.screenshot_name = free_image_name("vrek_screenshot_" + time_stamp(app));
    c.capture_options = {1, 1, 1};
    c.screenshot_width = std::min(app.frame.window_width, max_capture_side);
    c.screenshot_height = std::min(app.frame.window_height, max_capture_side);
    app.BORDER.border_top.width = 0;
    c.screenshot_callback = screenshot_done;
    copy_theme_colour(c.screenshot_background, 3);
    app.screenshot_name_label.set_text("Output Image File: " + c.screenshot_name + ".png");
    redraw(app);
}

void save_environment_snapshot(AppContext& app) {
    if (!app.services.save_image) return;
    const int64_t start = now_ms();
    const CaptureSettings& c = app.capture;
    const std::string path = png_path(c.snapshot_name);
    std::string failure;
    const bool saved =
        write_png(app, {c.snapshot_name, c.snapshot_pixels, c.snapshot_width, c.snapshot_height}, failure);
    close_capture_pane(app);
    if (saved) {
        show_info_box(app, "Environment Image Snapshot Saved",
                      "Environment image written in " + elapsed_seconds(start) + " seconds.");
    } else {
        show_error_box(app, "Error: Image Snapshot Save Failure",
                       "An error occured during environment image snapshot file writing." +
                           failure_lines(path, failure));
    }
}

void save_application_screenshot(AppContext& app) {
    if (!app.services.save_image) return;
    const int64_t start = now_ms();
    const CaptureSettings& c = app.capture;
    const std::string path = png_path(c.screenshot_name);
    std::string failure;
    const bool saved =
        write_png(app, {c.screenshot_name, c.screenshot_pixels, c.screenshot_width, c.screenshot_height}, failure);
    close_screenshot_pane(app);
    if (saved) {
        show_info_box(app, "Application Screenshot Saved",
                      "Program image written in " + elapsed_seconds(start) + " seconds.");
    } else {
        show_error_box(app, "Error: Screenshot Save Failure",
                       "An error occured during application screenshot file writing." +
                           failure_lines(path, failure));
    }
}

std::string ppd_output_text(const std::string& report) {
    std::string text = report;
    std::replace(text.begin(), text.end(), '\t', '>');
    return text;
}

void copy_ppd_to_clipboard(AppContext& app) {
    const std::string text = ppd_output_text(app.ppd_report_label.text);
    if (app.services.clipboard_set && app.services.clipboard_set(text)) {
        show_info_box(app, "PPD Copied to Clipboard",
                      "PPD (performance-profiling-data) successfully copied to clipboard.\n\n"
                      "Note: use [CTRL|CMD + V] to paste into a text-editor/viewer.");
    } else {
        show_info_box(app, "PPD Emission Failure",
                      "PPD (performance-profiling-data) error on copy.\n\n"
                      "Note: an issue occurred copying PPD text to the system clipboard.");
    }
}

void write_ppd_text_file(AppContext& app) {
    const std::string text = ppd_output_text(app.ppd_report_label.text);
    std::string failure;
    if (replace_file(workspace_path + "vrek_ppd.txt", text, failure)) {
        show_info_box(app, "PPD Written to Text-File",
                      "PPD (performance-profiling-data) successfully written to text-file.\n\n\t Path: " +
                          workspace_path + "\n\t Name: vrek_ppd.txt");
    } else {
        show_error_box(app, "PPD Emission Failure",
                       "PPD (performance-profiling-data) error on write.\n\n"
                       "Note: check that the temporary-working location (still) exists.\n\n\t Path: " +
                           workspace_path + "\n\t Name: vrek_ppd.txt\n\t Reason: " + failure);
    }
}

void on_click_capture() { on_instance<capture_by_modifiers>(); }
void on_click_snapshot() { on_instance<open_snapshot_dialog>(); }
void on_click_save_snapshot() { on_instance<save_environment_snapshot>(); }
void on_click_save_screenshot() { on_instance<save_application_screenshot>(); }
void on_click_copy_ppd() { on_instance<copy_ppd_to_clipboard>(); }
void on_click_write_ppd() { on_instance<write_ppd_text_file>(); }
void snapshot_done() { on_instance<open_capture_pane>(); }
void screenshot_done() { on_instance<open_screenshot_pane>(); }
