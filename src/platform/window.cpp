#include "platform/window.h"

#include <gdk/gdkkeysyms.h>
#include <gtkgl/gtkglarea.h>
#include <GL/gl.h>

#include <clocale>
#include <climits>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/driver_setup_scope.h"
#include "platform/frame_pacing.h"
#include "platform/gtk_handlers.h"
#include "platform/input_translation.h"
#include "platform/termination.h"
#include "render/gl_state.h"

constexpr uint32_t gdk_bit(GdkModifierType mask) {
    return static_cast<uint32_t>(mask);
}
static_assert(GDK_STATE_SHIFT == gdk_bit(GDK_SHIFT_MASK) && GDK_STATE_CONTROL == gdk_bit(GDK_CONTROL_MASK) &&
                  GDK_STATE_MOD1 == gdk_bit(GDK_MOD1_MASK),
              "modifier bits must match GDK's");
static_assert(GDK_STATE_BUTTON1 == gdk_bit(GDK_BUTTON1_MASK) && GDK_STATE_BUTTON2 == gdk_bit(GDK_BUTTON2_MASK) &&
                  GDK_STATE_BUTTON3 == gdk_bit(GDK_BUTTON3_MASK) && GDK_STATE_BUTTON4 == gdk_bit(GDK_BUTTON4_MASK) &&
                  GDK_STATE_BUTTON5 == gdk_bit(GDK_BUTTON5_MASK),
              "button bits must match GDK's");

namespace {

void connect_before(GtkWidget* widget, const char* signal, GCallback handler) {
    gtk_signal_connect_full(GTK_OBJECT(widget), signal, reinterpret_cast<GtkSignalFunc>(handler), nullptr, nullptr,
                            nullptr, 0, 0);
}

// GTK destroys the window (and the canvas with it) after "delete_event";
// forgetting the pointers keeps later service calls away from freed widgets.
void on_gtk_destroyed(GtkWidget* widget, gpointer) {
    if (platform_state.window == widget) platform_state.window = nullptr;
    if (platform_state.canvas == widget) platform_state.canvas = nullptr;
}

bool make_canvas_current(GtkWidget* canvas) {
    return canvas && gtk_widget_get_realized(canvas) && gtk_gl_area_make_current(GTK_GL_AREA(canvas));
}

// Needs the canvas's context current. Done once: at window creation when
// the context can be made current there, else at the first expose.
void ensure_gl_state() {
    if (platform_state.gl_state_initialised) return;
    platform_state.gl_state_initialised = true;
    init_gl_state();
    init_default_lighting();
}


// The pixels are copied: the caller's buffer may be released before the
// window is.
void set_window_icon(GtkWidget* window, const PlatformListener& listener) {
    if (!icon_is_usable(listener)) return;
    GdkPixbuf* wrapped =
        gdk_pixbuf_new_from_data(listener.icon_pixels, GDK_COLORSPACE_RGB, TRUE, 8, listener.icon_width,
                                 listener.icon_height, listener.icon_row_length * 4, nullptr, nullptr);
    if (!wrapped) return;
    GdkPixbuf* copy = gdk_pixbuf_copy(wrapped);
    g_object_unref(wrapped);
    if (!copy) return;
    gtk_window_set_icon(GTK_WINDOW(window), copy);
    g_object_unref(copy);
}

int32_t fail_window(const char* message) {
    g_print("%s", message);
    platform_state.window_ready = false;
    platform_state.alive = false;  // nothing will ever become ready
    return 1;
}

void drain_gtk_events() {
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
    // A signal asking the process to end is taken as a close request.
    if (termination_signal() != 0 && platform_state.alive) {
        on_gtk_delete(nullptr, nullptr, nullptr);
        if (platform_state.window) gtk_widget_destroy(platform_state.window);
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    }
}

void queue_canvas_draw() {
    if (platform_state.canvas) gtk_widget_queue_draw(platform_state.canvas);
}

// What a wait turn collects: whether a cancel was asked for, and the input
// held back for later.
struct WaitTurn {
    bool cancel = false;
    std::vector<GdkEvent*> held;
};

bool is_user_input(GdkEventType type) {
    switch (type) {
        case GDK_MOTION_NOTIFY:
        case GDK_BUTTON_PRESS:
        case GDK_2BUTTON_PRESS:
        case GDK_3BUTTON_PRESS:
        case GDK_BUTTON_RELEASE:
        case GDK_KEY_PRESS:
        case GDK_KEY_RELEASE:
        case GDK_ENTER_NOTIFY:
        case GDK_LEAVE_NOTIFY:
        case GDK_FOCUS_CHANGE:
        case GDK_SCROLL:
        case GDK_DRAG_ENTER:
        case GDK_DRAG_LEAVE:
        case GDK_DRAG_MOTION:
        case GDK_DRAG_STATUS:
        case GDK_DROP_START:
        case GDK_DROP_FINISHED:
            return true;
        default:
            return false;
    }
}

void handle_event_while_waiting(GdkEvent* event, gpointer data) {
    WaitTurn& turn = *static_cast<WaitTurn*>(data);
    const GdkEventType type = event->type;
    if (type == GDK_DELETE) {
        // The run is cancelled now; the close itself is held until the
        // pipeline that waits has returned, since closing now would destroy
        // the canvas under it. The user asked to close, so the program quits.
        turn.cancel = true;
        turn.held.push_back(gdk_event_copy(event));
        return;
    }
    if ((type == GDK_KEY_PRESS || type == GDK_KEY_RELEASE) && event->key.keyval == GDK_Escape) {
        if (type == GDK_KEY_PRESS) turn.cancel = true;
        return;  // used up by the cancel, release included
    }
    if (is_user_input(type)) {
        // Of a run of moves only the last position matters.
        if (type == GDK_MOTION_NOTIFY && !turn.held.empty() && turn.held.back()->type == GDK_MOTION_NOTIFY) {
            gdk_event_free(turn.held.back());
            turn.held.back() = gdk_event_copy(event);
        } else {
            turn.held.push_back(gdk_event_copy(event));
        }
        return;
    }
    gtk_main_do_event(event);
}

// GTK's own handler, in the shape the handler slot takes.
void pass_event_on(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

}  // namespace

bool pump_window_while_waiting() {
    static bool pumping = false;
    if (!platform_state.window || !platform_state.window_ready || pumping) return termination_signal() != 0;
    pumping = true;
    if (claim_frame_draw(platform_state, now_ms())) queue_canvas_draw();
    WaitTurn turn;
    gdk_event_handler_set(handle_event_while_waiting, &turn, nullptr);
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
    gdk_event_handler_set(pass_event_on, nullptr, nullptr);
    // Back at the end of the queue, ahead of anything that arrives later.
    for (GdkEvent* event : turn.held) {
        gdk_event_put(event);
        gdk_event_free(event);
    }
    pumping = false;
    return turn.cancel || termination_signal() != 0;
}

bool icon_is_usable(const PlatformListener& listener) {
    return listener.icon_width > 0 && listener.icon_height > 0 && listener.icon_row_length > 0 &&
           listener.icon_pixels != nullptr && listener.icon_row_length >= listener.icon_width &&
           listener.icon_row_length <= INT_MAX / 4;
}

int32_t create_window(const PlatformListener& listener) {
    const std::string title = listener.title;
    // gtk_init may remove its own options from the vector; the listener
    // stays as the caller wrote it.
    int argc = listener.argc;
    char** argv = listener.argv;
    bool display_open = gtk_init_check(&argc, &argv);
    // GTK switched to the user's locale; GL and C library calls must keep
    // reading and writing numbers with a point.
    std::setlocale(LC_NUMERIC, "C");
    if (!display_open) {
        return fail_window("Unable to Open X-Display!\n");
    }
    if (gdk_gl_query() == 0) {
        return fail_window("OpenGL Not Supported!\n");
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_container_set_border_width(GTK_CONTAINER(window), 0);

    GdkColor background;
    background.pixel = 0;
    background.red = static_cast<guint16>(((listener.background >> 16) & 0xFFu) * 256u);
    background.green = static_cast<guint16>(((listener.background >> 8) & 0xFFu) * 256u);
    background.blue = static_cast<guint16>((listener.background & 0xFFu) * 256u);
    gtk_widget_modify_bg(window, GTK_STATE_NORMAL, &background);

    set_window_icon(window, listener);

    connect_before(window, "delete_event", G_CALLBACK(on_gtk_delete));
    gtk_quit_add_destroy(1, GTK_OBJECT(window));

    GtkWidget* canvas = nullptr;
    {
        const DriverSetupScope driver_setup;  // the driver loads while the visual is chosen
        canvas = gtk_gl_area_new_vargs(nullptr, GDK_GL_DOUBLEBUFFER, GDK_GL_RGBA, GDK_GL_DEPTH_SIZE, 1,
                                       GDK_GL_NONE);
    }
    if (!canvas) {
        gtk_widget_destroy(window);
        return fail_window("Failed to Create GTK-GL-Area Widget!\n");
    }
    // The canvas shows the window's background too until it draws.
    gtk_widget_modify_bg(canvas, GTK_STATE_NORMAL, &background);
    platform_state.window = window;
    platform_state.canvas = canvas;
    g_signal_connect(window, "destroy", G_CALLBACK(on_gtk_destroyed), nullptr);
    g_signal_connect(canvas, "destroy", G_CALLBACK(on_gtk_destroyed), nullptr);

    gtk_widget_set_events(canvas, GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_POINTER_MOTION_HINT_MASK |
                                      GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK |
                                      GDK_KEY_RELEASE_MASK | GDK_SCROLL_MASK);
    connect_before(canvas, "expose_event", G_CALLBACK(on_gtk_expose));
    connect_before(canvas, "motion_notify_event", G_CALLBACK(on_gtk_motion));
    connect_before(canvas, "button_press_event", G_CALLBACK(on_gtk_button_press));
    connect_before(canvas, "button_release_event", G_CALLBACK(on_gtk_button_release));
    connect_before(canvas, "scroll_event", G_CALLBACK(on_gtk_scroll));
    connect_before(canvas, "configure_event", G_CALLBACK(on_gtk_configure));
    connect_before(canvas, "key_press_event", G_CALLBACK(on_gtk_key_press));
    connect_before(canvas, "key_release_event", G_CALLBACK(on_gtk_key_release));

    gtk_widget_set_events(window, GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_FOCUS_CHANGE_MASK);
    connect_before(window, "focus_in_event", G_CALLBACK(on_gtk_focus_in));
    connect_before(window, "focus_out_event", G_CALLBACK(on_gtk_focus_out));
    connect_before(window, "enter_notify_event", G_CALLBACK(on_gtk_enter));
    connect_before(window, "leave_notify_event", G_CALLBACK(on_gtk_leave));

    static const GtkTargetEntry drop_targets[] = {
        {const_cast<gchar*>("STRING"), 0, 0},
        {const_cast<gchar*>("text/plain"), 0, 0},
        {const_cast<gchar*>("text/uri-list"), 0, 1},
    };
    gtk_drag_dest_set(canvas,
                      static_cast<GtkDestDefaults>(GTK_DEST_DEFAULT_MOTION | GTK_DEST_DEFAULT_HIGHLIGHT |
                                                   GTK_DEST_DEFAULT_DROP),
                      drop_targets, 3, static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
    connect_before(canvas, "drag_data_received", G_CALLBACK(on_gtk_drag_data_received));

    if (listener.min_width > 0 && listener.min_height > 0) {
        gtk_widget_set_usize(canvas, listener.min_width, listener.min_height);
    } else {
        gtk_widget_set_usize(canvas, 360, 240);
    }

    gtk_window_set_default_size(GTK_WINDOW(window), listener.width, listener.height);
    gtk_quit_add_destroy(1, GTK_OBJECT(canvas));
    gtk_container_add(GTK_CONTAINER(window), canvas);
    gtk_widget_show(canvas);
    gtk_widget_show(window);

    gtk_widget_set_can_focus(canvas, TRUE);
    gtk_widget_grab_focus(canvas);

    clear_platform_key_states();

    // GL calls only reach a context that is current.
    if (make_canvas_current(canvas)) {
        ensure_gl_state();
    }

    if (!platform_state.window) {
        return fail_window("Unable to Create GTK-GL-Area Widget!\n");
    }
    platform_state.window_ready = true;
    return 0;
}

void run_frame_loop() {
    FrameLoopHooks hooks;
    hooks.sleep_step = frame_sleep_step;
    hooks.drain_events = drain_gtk_events;
    hooks.clock_ms = now_ms;
    hooks.queue_draw = queue_canvas_draw;
    run_frame_loop_with(platform_state, hooks);
}

// The software rasteriser sets up its code generator on the first draw and
// keeps a few bytes of it past exit. One invisible triangle (a zero colour
// mask) makes that first draw inside the driver's set-up scope, so that leak
// checks stay on for everything drawn afterwards. Done in every build: it
// costs one tiny draw and keeps all builds on the same path.
namespace {
void warm_up_rasteriser() {
    const DriverSetupScope driver_setup;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glBegin(GL_TRIANGLES);
    glVertex2f(0, 0), glVertex2f(1, 0), glVertex2f(0, 1);
    glEnd();
    glFinish();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}
}  // namespace

gboolean on_gtk_expose(GtkWidget*, GdkEventExpose* event, gpointer) {
    if (event && event->count > 0) {
        return TRUE;  // only the last expose of a series draws
    }
    GtkWidget* canvas = platform_state.canvas;
    if (!canvas) return TRUE;
    gtk_widget_grab_focus(canvas);
    if (make_canvas_current(canvas)) {
        ensure_gl_state();
        PlatformListener* listener = active_listener();
        if (!platform_state.gl_initialised) {
            platform_state.gl_initialised = true;
            warm_up_rasteriser();
            if (listener && listener->on_gl_init) listener->on_gl_init(listener);
        }
        if (listener && listener->on_draw) listener->on_draw(listener);
        glFlush();
    }
    gtk_gl_area_swap_buffers(GTK_GL_AREA(canvas));
    return TRUE;
}

gboolean on_gtk_configure(GtkWidget* widget, GdkEventConfigure*, gpointer) {
    if (!make_canvas_current(widget)) {
        return TRUE;
    }
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    glViewport(0, 0, allocation.width, allocation.height);
    platform_state.canvas_width = allocation.width;
    platform_state.canvas_height = allocation.height;
    PlatformListener* listener = active_listener();
    if (listener && listener->on_resize) listener->on_resize(listener, allocation.width, allocation.height);
    if (!platform_state.gl_initialised && listener) {
        // Nothing was drawn yet and the swap below shows the buffer: the
        // window's background, not an empty (black) buffer, until the first
        // frame, however long that takes to make.
        const uint32_t c = listener->background;
        glClearColor(static_cast<float>((c >> 16) & 0xFFu) / 255.0f, static_cast<float>((c >> 8) & 0xFFu) / 255.0f,
                     static_cast<float>(c & 0xFFu) / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glFlush();
    if (platform_state.canvas) {
        gtk_gl_area_swap_buffers(GTK_GL_AREA(platform_state.canvas));
        gtk_widget_draw(platform_state.canvas, nullptr);
    }
    return TRUE;
}

gboolean on_gtk_motion(GtkWidget*, GdkEventMotion* event, gpointer) {
    int32_t x = 0;
    int32_t y = 0;
    if (event->is_hint) {
        // A hint's buttons are those of the moment it moved: a hint handled
        // after a quick press is still a move, not a drag (or the hover would
        // stay on the element left). Its position is read now (the query also
        // asks for the next hint), unless a button held when it moved has been
        // released since: then the drag ended at the release, and the pointer's
        // later way must not be applied as part of it.
        gint pointer_x = 0;
        gint pointer_y = 0;
        GdkModifierType now = static_cast<GdkModifierType>(0);
        gdk_window_get_pointer(event->window, &pointer_x, &pointer_y, &now);
        if (buttons_released_since(event->state, static_cast<uint32_t>(now))) {
            x = truncate_coordinate(event->x);
            y = truncate_coordinate(event->y);
        } else {
            x = pointer_x;
            y = pointer_y;
        }
    } else {
        x = truncate_coordinate(event->x);
        y = truncate_coordinate(event->y);
    }
    return dispatch_motion_event(active_listener(), event->state, x, y) != 0;
}

gboolean on_gtk_delete(GtkWidget*, GdkEvent*, gpointer) {
    g_print("Quitting...\n");
    platform_state.alive = false;
    return FALSE;
}

gboolean on_gtk_focus_in(GtkWidget*, GdkEventFocus*, gpointer) {
    return dispatch_notify(active_listener(), &PlatformListener::on_window_focus_in) != 0;
}

gboolean on_gtk_focus_out(GtkWidget*, GdkEventFocus*, gpointer) {
    return dispatch_notify(active_listener(), &PlatformListener::on_window_focus_out) != 0;
}

gboolean on_gtk_enter(GtkWidget*, GdkEventCrossing*, gpointer) {
    return dispatch_notify(active_listener(), &PlatformListener::on_window_enter) != 0;
}

gboolean on_gtk_leave(GtkWidget*, GdkEventCrossing*, gpointer) {
    return dispatch_notify(active_listener(), &PlatformListener::on_window_leave) != 0;
}

void on_gtk_drag_data_received(GtkWidget*, GdkDragContext*, gint x, gint y, GtkSelectionData* selection, guint,
                               guint, gpointer) {
    g_print("DRAG-DROP:\n");
    // The data may be missing or empty; its length bounds every read, and
    // the text ends at the first NUL as a C string would.
    const guchar* data = selection ? gtk_selection_data_get_data(selection) : nullptr;
    gint length = selection ? gtk_selection_data_get_length(selection) : -1;
    if (!data || length <= 0) {
        return;
    }
    std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    text = text.substr(0, text.find('\0'));
    g_print("%s", text.c_str());
    if (text.empty()) {
        return;
    }
    PlatformListener* listener = active_listener();
    if (listener && listener->on_drop) listener->on_drop(listener, x, y, text);
}

gboolean on_gtk_button_press(GtkWidget*, GdkEventButton* event, gpointer) {
    return dispatch_button_event(active_listener(), event->button, false, event->x, event->y) != 0;
}

gboolean on_gtk_button_release(GtkWidget*, GdkEventButton* event, gpointer) {
    return dispatch_button_event(active_listener(), event->button, true, event->x, event->y) != 0;
}

gboolean on_gtk_scroll(GtkWidget*, GdkEventScroll* event, gpointer) {
    return dispatch_scroll_event(active_listener(), static_cast<int32_t>(event->direction), event->x, event->y) != 0;
}

gboolean on_gtk_key_press(GtkWidget*, GdkEventKey* event, gpointer) {
    return dispatch_key_event(active_listener(), event->keyval, event->state, false) != 0;
}

gboolean on_gtk_key_release(GtkWidget*, GdkEventKey* event, gpointer) {
    return dispatch_key_event(active_listener(), event->keyval, event->state, true) != 0;
}
