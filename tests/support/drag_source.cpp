// A small window whose whole area is a drag source of "text/uri-list" data:
// the URIs given as arguments, each ended by CR LF. The window tests start
// it and drag from it with xdotool. It leaves after the drag, or after
// 30 seconds, without running exit handlers.
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

std::string uris;

void on_drag_data_get(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer) {
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8,
                           reinterpret_cast<const guchar*>(uris.data()), static_cast<gint>(uris.size()));
}

gboolean leave(gpointer) {
    std::fflush(stdout);
    _exit(0);
}

void on_drag_end(GtkWidget*, GdkDragContext*, gpointer) {
    std::printf("DRAG-END\n");
    g_timeout_add(500, leave, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    for (int i = 1; i < argc; ++i) uris += std::string(argv[i]) + "\r\n";
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "vk-drag-source");
    gtk_window_set_default_size(GTK_WINDOW(window), 100, 100);
    gtk_window_move(GTK_WINDOW(window), 0, 0);
    GtkWidget* area = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(window), area);
    static const GtkTargetEntry target = {const_cast<gchar*>("text/uri-list"), 0, 0};
    gtk_drag_source_set(area, GDK_BUTTON1_MASK, &target, 1, GDK_ACTION_COPY);
    g_signal_connect(area, "drag-data-get", G_CALLBACK(on_drag_data_get), nullptr);
    g_signal_connect(area, "drag-end", G_CALLBACK(on_drag_end), nullptr);
    g_timeout_add(30000, leave, nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
