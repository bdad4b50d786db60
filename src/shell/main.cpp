#include <GL/gl.h>

#include "platform/platform_state.h"
#include "platform/window.h"

// Until the renderer draws the 3D view, the canvas shows the window's
// background colour.
static int32_t clear_to_background(PlatformListener* listener) {
    uint32_t colour = listener->background;
    glClearColor(((colour >> 16) & 0xFFu) / 255.0f, ((colour >> 8) & 0xFFu) / 255.0f, (colour & 0xFFu) / 255.0f,
                 ((colour >> 24) & 0xFFu) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return 0;
}

int main(int argc, char** argv) {
    PlatformListener listener;
    listener.argc = argc;
    listener.argv = argv;
    listener.width = 720;
    listener.height = 480;
    listener.title = "VREK:EI";
    listener.background = 0xFF000000u;
    listener.min_width = 360;
    listener.min_height = 240;
    listener.on_draw = clear_to_background;

    set_platform_listener(&listener, 0);
    if (create_window(listener) != 0) {
        return 1;  // the reason is already printed
    }
    run_frame_loop();
    return 0;
}
