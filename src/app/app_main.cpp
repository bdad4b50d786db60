#include "app/app_main.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "context/keyword_tables.h"
#include "art/art_gl.h"
#include "art/font_atlas.h"
#include "art/icon_raster.h"
#include "panes/layout/pointer_routing.h"
#include "panes/browser/drag_and_drop.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/services.h"
#include "platform/termination.h"
#include "platform/window.h"
#include "shell/app_callbacks.h"
#include "shell/app_tick.h"
#include "shell/key_dispatch.h"
#include "text/text_utils.h"

namespace {

constexpr const char* build_version = "0.2.5";
constexpr size_t banner_width = 50;

void print_line(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The staging directory named from the workspace argument as given.
std::string staging_for(const std::string& workspace) {
    if (!workspace.empty() && workspace.back() != '/') return workspace + "/tmp/";
    return workspace + "tmp/";
}

}  // namespace

std::string banner_line(const std::string& text) {
    std::string line = text;
    if (line.size() < banner_width - 1) line.append(banner_width - 1 - line.size(), ' ');
    return line + "%";
}

void print_banner() {
    const std::string rule(banner_width, '-');
    print_line(rule);
    print_line(banner_line("%  VREK-EI"));
    print_line(rule);
    print_line(banner_line("%  Vrekform Inspector V0 : 64-bit Linux"));
    print_line(rule);
    print_line(banner_line(std::string("%    > Build-Version: ") + build_version));
    print_line(banner_line("%    > Build-Date: " + build_date_text()));
    print_line(rule);
    print_line(banner_line("%    > Kernel: vrek"));
    print_line(banner_line("%    > Close the window to quit."));
    print_line(rule);
}

void read_command_line(std::vector<std::string> arguments) {
    if (!arguments.empty() && arguments[0] == "vrek") arguments[0] = "./vrek";
    const size_t n = arguments.size();
    if (n == 0) return;
    if (n > 3) {
        print_line("ERROR: expected 0, 1 or 2 command-line arguments.");
        print_line("NOTE: ignoring command-line arguments.");
        return;
    }
    const std::string& kernel = arguments[0];
    const bool kernel_exists = !kernel.empty() && path_exists(kernel);
    // A path that opens is not yet a kernel: a directory or a file without
    // execute permission can never be run.
    const std::string kernel_problem = kernel_exists ? kernel_path_problem(kernel) : std::string();
    if (!kernel_problem.empty()) print_line("ERROR: the specified kernel executable can not be run: " + kernel_problem + ".");
    if (n == 1) {
        if (!kernel_exists) print_line("ERROR: the specified kernel executable does not exist.");
        print_line("EXEC:[\"" + kernel + "\"];");
        set_kernel_path(kernel);
        return;
    }
    const std::string& workspace = arguments[1];
    const bool workspace_exists = !workspace.empty() && path_exists(workspace);
    if (!kernel_exists) print_line("ERROR: the specified kernel executable does not exist.");
    if (!workspace_exists) print_line("ERROR: the specified entity workspace does not exist.");
    print_line("EXEC:[\"" + kernel + "\"];");
    print_line("TEMP:[\"" + workspace + "\"];");
    set_kernel_path(kernel);
    set_workspace_path(workspace.empty() || workspace.back() == '/' ? workspace : workspace + "/");
    if (workspace_exists) {
        const std::string staging = staging_for(workspace);
        if (!path_exists(staging) && !ensure_directory(staging)) {
            print_line("ERROR: unable to write to specified entity workspace.");
        }
    }
    if (n == 3) {
        const std::string option = to_upper(arguments[2]);
        if (option == "-IC" || option == "--IC" || option == "-INTERACTIVE-CONFIG" ||
            option == "--INTERACTIVE-CONFIG") {
            interactive_config_flag = 1;
        }
    }
}

void generate_interface_art(int32_t workers) {
    int64_t t0 = now_ms();
    build_icon_atlas(workers);
    print_line("ICN-GEN:" + long_to_text(now_ms() - t0) + " ms");
    int64_t t1 = now_ms();
    build_logo_image(workers);
    print_line("SDF-GEN:" + long_to_text(now_ms() - t1) + " ms");
    int64_t t2 = now_ms();
    build_font_atlas(workers);
    print_line("VTX-GEN:" + long_to_text(now_ms() - t2) + " ms");
}

void fill_app_services(AppServices& services) {
    services.redraw_request = request_window_redraw;
    services.set_fullscreen = platform_set_fullscreen;
    services.resize_window = platform_resize_window;
    services.open_script_dialog = native_open_script;
    services.choose_folder_dialog = native_choose_folder;
    services.save_image = platform_save_png;
    services.local_date_text = date_text;
    services.local_time_text = time_text;
    services.local_date_time_stamp = date_time_stamp;
    services.clipboard_get = platform_clipboard_get_text;
    services.clipboard_set = platform_clipboard_set_text;
    services.set_background = platform_set_widget_background;
}

void fill_platform_listener(PlatformListener& listener, const AppContext& app, int32_t argc, char** argv) {
    listener = PlatformListener();
    listener.argc = argc;
    listener.argv = argv;
    listener.width = app.frame.window_width;
    listener.height = app.frame.window_height;
    listener.title = "VREK:EI";
    // The intro's cover colour: what the window shows before its first frame.
    listener.background = 0xFF000000u;
    if (const double* cover = app.busy_mask.background_colour) {
        for (int i = 0; i < 3; ++i) {
            const double channel = std::min(1.0, std::max(0.0, cover[i]));
            listener.background |= static_cast<uint32_t>(channel * 255.0 + 0.5) << (16 - 8 * i);
        }
    }
    listener.min_width = 360;
    listener.min_height = 240;
    listener.icon_width = 128;
    listener.icon_height = 128;
    listener.icon_row_length = icon_atlas_size;
    listener.icon_pixels = icon_atlas.pixels.size() >= static_cast<size_t>(icon_atlas_bytes)
                               ? icon_atlas.pixels.data() + window_icon_byte_offset
                               : nullptr;
    listener.on_start = app_on_start;
    listener.on_gl_init = app_on_gl_init_callback;
    listener.on_draw = on_gl_draw_callback;
    listener.on_tick = app_on_tick;
    listener.on_mouse_button = app_on_mouse_button;
    listener.on_mouse_move = app_on_pointer_motion;
    listener.on_mouse_drag = app_on_mouse_drag;
    listener.on_key_down = app_on_key_down;
    listener.on_key_up = app_on_key_up;
    listener.on_resize = app_on_resize;
    listener.on_window_enter = on_pointer_enter;
    listener.on_window_leave = app_on_leave;
    listener.on_window_focus_in = on_focus_in;
    listener.on_window_focus_out = app_on_focus_out;
    listener.on_drop = on_drag_and_drop;
}

std::unique_ptr<AppContext> build_application(PlatformListener& listener, int32_t argc, char** argv,
                                              int32_t art_workers) {
    generate_interface_art(art_workers);
    // Large: always on the heap.
    std::unique_ptr<AppContext> app = make_app_context();
    build_user_interface(*app);
    bind_root_callbacks(*app);
    app_instance = app.get();
    fill_app_services(app->services);
    fill_platform_listener(listener, *app, argc, argv);
    return app;
}

int32_t app_main(int32_t argc, char** argv) {
    install_termination_handling();
    print_banner();
    app_start_ms = now_ms();
    std::vector<std::string> arguments;
    for (int32_t i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    read_command_line(arguments);

    // Freed after the loop, once nothing can reach it any more.
    PlatformListener listener;
    std::unique_ptr<AppContext> app = build_application(listener, argc, argv, 0);
    set_platform_listener(&listener, 0);
    int32_t result = 1;
    if (create_window(listener) == 0) {
        run_frame_loop();
    } else {
        result = 0;  // the reason is printed; a loop would wait for ever
    }
    set_platform_listener(nullptr, 0);
    app_instance = nullptr;
    release_entity_meshes(*app);
    app.reset();
    // Every run has ended; nothing it left behind may outlive the program.
    end_run_leftovers();
    return result;
}
