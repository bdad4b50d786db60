#pragma once
#include <cstdint>
#include <string>

// The desktop services the rest of the program reaches through the
// application's service table: redraw, full screen, window size, the two
// native file dialogs, PNG writing, local date and time texts, the
// clipboard and the window background. All act on the window made by
// create_window and run on the GTK main thread.

struct AppServices {
    void (*redraw_request)() = nullptr;
    void (*set_fullscreen)(bool on) = nullptr;
    void (*resize_window)(int32_t width, int32_t height) = nullptr;
    std::string (*open_script_dialog)(const std::string& start_folder) = nullptr;
    std::string (*choose_folder_dialog)(const std::string& start_folder) = nullptr;
    bool (*save_image)(const std::string& path, const std::string& type, const uint8_t* pixels, int32_t width,
                       int32_t height, int32_t row_stride, std::string& failure) = nullptr;
    std::string (*local_date_text)() = nullptr;
    std::string (*local_time_text)() = nullptr;
    std::string (*local_date_time_stamp)() = nullptr;
    std::string (*clipboard_get)() = nullptr;
    bool (*clipboard_set)(const std::string& text) = nullptr;
    void (*set_background)(double red, double green, double blue, double alpha) = nullptr;
};

// Asks the frame loop for a redraw; requests before the next draw merge.
void request_window_redraw();
// Calls GTK only when the request differs from the last one.
void platform_set_fullscreen(bool on);
// Sizes below 1 pixel are raised to 1 (X refuses an empty window).
void platform_resize_window(int32_t width, int32_t height);
// Modal chooser for "*.vrek" files starting in the folder: one absolute
// path per line, each ended by "\n"; empty when cancelled.
std::string native_open_script(const std::string& start_folder);
// Modal folder chooser: the folder followed by "/"; empty when cancelled.
std::string native_choose_folder(const std::string& start_folder);
// Saves RGBA pixels (rows top to bottom, `row_stride` bytes apart) with the
// GdkPixbuf writer for `type` ("png"), under a temporary name renamed into
// place only when the whole file was written, and never over anything that
// stands at that name. False, after a "GTK-IMAGE-ERROR:(" line and with the
// reason in `failure` ("File exists" for a taken name), when the image
// cannot be saved or the arguments describe no image.
bool platform_save_png(const std::string& path, const std::string& type, const uint8_t* pixels, int32_t width,
                       int32_t height, int32_t row_stride, std::string& failure);
// Local date "2024-02-05", time "09:05:07" and stamp "20240205090507".
std::string date_text();
std::string time_text();
std::string date_time_stamp();
// Plain text of the clipboard; empty when it holds none.
std::string platform_clipboard_get_text();
bool platform_clipboard_set_text(const std::string& text);
// Window background from channels in 0..1 (clamped; alpha is not used).
void platform_set_widget_background(double red, double green, double blue, double alpha);

// 0..1 channel to a GdkColor channel: channel x 255 x 256, truncated, so
// 1.0 gives 0xFF00. Out-of-range and NaN channels are clamped first.
uint16_t background_channel_value(double channel);
