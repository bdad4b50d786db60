#include "platform/services.h"

#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>

#include "platform/date_texts.h"
#include "platform/files.h"
#include "platform/platform_state.h"
#include "platform/termination.h"

namespace {

GtkWindow* parent_window() {
    return platform_state.window ? GTK_WINDOW(platform_state.window) : nullptr;
}

void print_line(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void print_image_error(int code, const char* message) {
    std::printf("GTK-IMAGE-ERROR:(%d)[%s];\n", code, message ? message : "");
    std::fflush(stdout);
}

// Local date and time components, read once; -1 where GLib gives none.
struct LocalClock {
    int32_t year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
};

LocalClock read_local_clock() {
    LocalClock clock;
    GTimeZone* zone = g_time_zone_new_local();
    GDateTime* now = g_date_time_new_now(zone);
    if (now) {
        gint year = -1, month = -1, day = -1;
        g_date_time_get_ymd(now, &year, &month, &day);
        clock.year = year;
        clock.month = month;
        clock.day = day;
        clock.hour = g_date_time_get_hour(now);
        clock.minute = g_date_time_get_minute(now);
        clock.second = g_date_time_get_second(now);
        g_date_time_unref(now);
    }
    g_time_zone_unref(zone);
    return clock;
}

}  // namespace

void request_window_redraw() {
    platform_state.redraw_requested = true;
}

void platform_set_fullscreen(bool on) {
    if (on == platform_state.fullscreen) return;
    platform_state.fullscreen = on;
    GtkWindow* window = parent_window();
    if (!window) return;
    if (on) {
        gtk_window_fullscreen(window);
    } else {
        gtk_window_unfullscreen(window);
    }
}

void platform_resize_window(int32_t width, int32_t height) {
    if (!platform_state.window) return;
    GdkWindow* gdk_window = gtk_widget_get_window(platform_state.window);
    if (!gdk_window) return;
    gdk_window_resize(gdk_window, width < 1 ? 1 : width, height < 1 ? 1 : height);
}

namespace {

// Answers the dialog with a cancel once a signal asked the program to end:
// the dialog's own loop would otherwise keep it open until the user chose.
gboolean cancel_dialog_on_termination(gpointer dialog) {
    if (termination_signal() == 0) return TRUE;
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    return FALSE;
}

gint run_dialog(GtkWidget* dialog) {
    const guint watch = g_timeout_add(50, cancel_dialog_on_termination, dialog);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    // Gone already when it cancelled the dialog.
    if (GSource* source = g_main_context_find_source_by_id(nullptr, watch)) g_source_destroy(source);
    return response;
}

}  // namespace

std::string native_open_script(const std::string& start_folder) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new("Open Vrekform Script File", parent_window(),
                                                    GTK_FILE_CHOOSER_ACTION_OPEN, "gtk-cancel", GTK_RESPONSE_CANCEL,
                                                    "gtk-open", GTK_RESPONSE_ACCEPT, nullptr);
    // Without a dialog there is nothing to choose from: the same as a cancel.
    if (!dialog || !GTK_IS_DIALOG(dialog)) {
        print_line("CRITICAL-GTK-ERROR:NULL-DIALOG-POST-CONSTRUCTOR!");
        if (dialog) gtk_widget_destroy(dialog);
        return "";
    }
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    if (!start_folder.empty()) gtk_file_chooser_set_current_folder(chooser, start_folder.c_str());
    gtk_file_chooser_set_select_multiple(chooser, TRUE);
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_add_pattern(filter, "*.vrek");
    gtk_file_filter_set_name(filter, "Vrekform Script (.vrek)");
    gtk_file_chooser_add_filter(chooser, filter);

    std::string result;
    if (run_dialog(dialog) == GTK_RESPONSE_ACCEPT) {
        GSList* names = gtk_file_chooser_get_filenames(chooser);
        for (GSList* item = names; item; item = item->next) {
            char* name = static_cast<char*>(item->data);
            if (!name) continue;
            print_line(std::string("GTK-NATIVE-OPEN:") + name);
            result += name;
            result += "\n";
            g_free(name);
        }
        g_slist_free(names);
    }
    gtk_widget_destroy(dialog);
    return result;
}

std::string native_choose_folder(const std::string& start_folder) {
    print_line("DIALOG-DIRECTORY:['" + start_folder + "'];");
    print_line("CREATING-GTK-DIALOG...");
    GtkWidget* dialog = gtk_file_chooser_dialog_new("Select Environment Mesh Export Location", parent_window(),
                                                    GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "gtk-cancel",
                                                    GTK_RESPONSE_CANCEL, "gtk-save", GTK_RESPONSE_ACCEPT, nullptr);
    if (!dialog || !GTK_IS_DIALOG(dialog)) {
        print_line("CRITICAL-GTK-ERROR:NULL-DIALOG-POST-CONSTRUCTOR!");
        if (dialog) gtk_widget_destroy(dialog);
        return "";
    }
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    print_line("CONFIGURING-GTK-DIALOG...");
    if (!start_folder.empty()) gtk_file_chooser_set_current_folder(chooser, start_folder.c_str());
    print_line("RUNNING-GTK-DIALOG...");
    std::string result;
    if (run_dialog(dialog) == GTK_RESPONSE_ACCEPT) {
        // A chooser may accept without a local folder (nothing selected).
        if (char* folder = gtk_file_chooser_get_filename(chooser)) {
            print_line(std::string("GTK-NATIVE-SAVE:") + folder);
            result = std::string(folder) + "/";
            g_free(folder);
        }
    }
    gtk_widget_destroy(dialog);
    return result;
}

bool platform_save_png(const std::string& path, const std::string& type, const uint8_t* pixels, int32_t width,
                       int32_t height, int32_t row_stride, std::string& failure) {
    auto refuse = [&failure](int code, const char* message) {
        print_image_error(code, message);
        failure = message ? message : "";
        return false;
    };
    // GdkPixbuf reads height x row_stride bytes without checking them:
    // arguments that cannot describe the image are refused here.
    if (!pixels || width <= 0 || height <= 0 || width > INT32_MAX / 4 || row_stride < width * 4) {
        return refuse(-1, "invalid image dimensions or pixel buffer");
    }
    GdkPixbuf* image = gdk_pixbuf_new_from_data(pixels, GDK_COLORSPACE_RGB, TRUE, 8, width, height, row_stride,
                                                nullptr, nullptr);
    if (!image) {
        return refuse(-1, "cannot wrap the pixels");
    }
    // Encoded in memory first, so that the file is written as a whole or
    // not at all.
    GError* error = nullptr;
    gchar* encoded = nullptr;
    gsize encoded_size = 0;
    gboolean saved = gdk_pixbuf_save_to_buffer(image, &encoded, &encoded_size, type.c_str(), &error, nullptr);
    g_object_unref(image);
    if (error) {
        const bool result = refuse(error->code, error->message);
        g_error_free(error);
        g_free(encoded);
        return result;
    }
    if (!saved || !encoded) {
        g_free(encoded);
        return refuse(-1, "image not saved");
    }
    const std::string bytes(encoded, encoded_size);
    g_free(encoded);
    std::string reason;
    // A capture never takes the place of a file the user has.
    if (!create_new_file(path, bytes, reason)) return refuse(-1, reason.c_str());
    return true;
}

std::string date_text() {
    LocalClock clock = read_local_clock();
    return format_date_text(clock.year, clock.month, clock.day);
}

std::string time_text() {
    LocalClock clock = read_local_clock();
    return format_time_text(clock.hour, clock.minute, clock.second);
}

std::string date_time_stamp() {
    LocalClock clock = read_local_clock();
    return format_date_time_stamp(clock.year, clock.month, clock.day, clock.hour, clock.minute, clock.second);
}

std::string platform_clipboard_get_text() {
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    if (!text) return "";
    std::string result(text);
    g_free(text);
    return result;
}

bool platform_clipboard_set_text(const std::string& text) {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), text.c_str(), static_cast<gint>(text.size()));
    return true;
}

uint16_t background_channel_value(double channel) {
    // Converting an out-of-range double to an integer is undefined: clamp.
    if (!(channel > 0.0)) return 0;
    if (channel > 1.0) channel = 1.0;
    return static_cast<uint16_t>(channel * 255.0 * 256.0);
}

void platform_set_widget_background(double red, double green, double blue, double) {
    if (!platform_state.window) return;
    GdkColor colour;
    colour.pixel = 0;
    colour.red = background_channel_value(red);
    colour.green = background_channel_value(green);
    colour.blue = background_channel_value(blue);
    gtk_widget_modify_bg(platform_state.window, GTK_STATE_NORMAL, &colour);
}
