#pragma once
#include <gtk/gtk.h>

// The GTK signal handlers that create_window connects. Each unpacks its
// event into plain numbers and calls the listener in entry 0 of the table.
// Declared here so that tests can feed them fabricated events.

gboolean on_gtk_expose(GtkWidget* widget, GdkEventExpose* event, gpointer data);
gboolean on_gtk_configure(GtkWidget* widget, GdkEventConfigure* event, gpointer data);
gboolean on_gtk_motion(GtkWidget* widget, GdkEventMotion* event, gpointer data);
gboolean on_gtk_delete(GtkWidget* widget, GdkEvent* event, gpointer data);
gboolean on_gtk_focus_in(GtkWidget* widget, GdkEventFocus* event, gpointer data);
gboolean on_gtk_focus_out(GtkWidget* widget, GdkEventFocus* event, gpointer data);
gboolean on_gtk_enter(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
gboolean on_gtk_leave(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
void on_gtk_drag_data_received(GtkWidget* widget, GdkDragContext* context, gint x, gint y,
                               GtkSelectionData* selection, guint info, guint time, gpointer data);
gboolean on_gtk_button_press(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean on_gtk_button_release(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean on_gtk_scroll(GtkWidget* widget, GdkEventScroll* event, gpointer data);
gboolean on_gtk_key_press(GtkWidget* widget, GdkEventKey* event, gpointer data);
gboolean on_gtk_key_release(GtkWidget* widget, GdkEventKey* event, gpointer data);
