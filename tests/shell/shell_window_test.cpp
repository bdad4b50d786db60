// The real program under a private X server: the vrekform binary from the
// outside (banner, timings, staged start-up files, closing), then the
// application in this process with real X input, its context read between
// ticks.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <chrono>
#include <functional>
#include <sched.h>
#include <thread>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "app/interface_builder.h"
#include "panes/popups/report_views.h"
#include "context/trace_channels.h"
#include "pipeline/open_scripts.h"
#include "pipeline/parameter_push.h"
#include "platform/clock.h"
#include "pipeline/orch_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "model/camera.h"
#include "shell/app_callbacks.h"
#include "app/app_main.h"
#include "pipeline/workspace.h"
#include "support/close_request.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/run_program.h"
#include "support/screen_picture.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace fs = std::filesystem;

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);


bool wait_for(const std::function<bool()>& done, int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += 20) {
        if (done()) return true;
        usleep(20'000);
    }
    return done();
}

TEST(ProgramWindow, StartsAssemblesAndClosesCleanly) {
    SampleWorkspace sample;
    const std::string out_file = sample.root + "/stdout.txt";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen(out_file.c_str(), "w", stdout);
        const std::string program = binary_dir() + "/src/app/vrekform";
        const std::string k = kernel(), w = sample.workspace();
        execl(program.c_str(), program.c_str(), k.c_str(), w.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string staged = sample.workspace() + "tmp/vrek_assemble_out";
    const bool assembled = wait_for([&] { return path_exists(staged); }, 60'000);
    std::string window;
    if (FILE* search = popen("xdotool search --sync --onlyvisible --name '^VREK:EI$' | head -1", "r")) {
        char line[64] = {};
        if (fgets(line, sizeof line, search)) window = line;
        pclose(search);
    }
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    if (!window.empty()) send_close_request(display, std::stoul(window));
    int status = -1;
    if (!wait_for([&] { return waitpid(child, &status, WNOHANG) == child; }, 20'000)) {
        kill(child, SIGKILL), waitpid(child, &status, 0);
    }
    XCloseDisplay(display);

    EXPECT_TRUE(assembled);
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string out = read_file(out_file);
    EXPECT_EQ(out.rfind(std::string(50, '-') + "\n%  VREK-EI", 0), 0u) << out;
    EXPECT_NE(out.find("\nEXEC:[\"" + kernel() + "\"];\nTEMP:[\"" + sample.workspace() + "\"];\n"),
              std::string::npos);
    for (const char* label : {"\nICN-GEN:", "\nSDF-GEN:", "\nVTX-GEN:"}) {
        const size_t at = out.find(label);
        ASSERT_NE(at, std::string::npos) << label;
        const std::string rest = out.substr(at + 9, out.find('\n', at + 1) - at - 9);
        EXPECT_TRUE(rest.size() > 3 && isdigit(rest[0]) && rest.substr(rest.size() - 3) == " ms") << rest;
    }
    EXPECT_NE(out.find("Quitting...\n"), std::string::npos);
    EXPECT_TRUE(path_exists(sample.workspace() + "tmp/vrek_assemble_in"));
}

// A window manager's close button under load, after the window was made
// larger: each of many requests ends the program. The program and two busy
// loops share one processor, as on a busy two-core machine.
TEST(ProgramWindow, CloseUnderLoadAfterAResizeEndsTheProgram) {
    cpu_set_t own, one;
    ASSERT_EQ(sched_getaffinity(0, sizeof own, &own), 0);
    int first = 0;
    while (!CPU_ISSET(first, &own)) ++first;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    auto start_pinned = [&](const std::function<void()>& body) {
        const pid_t child = fork();
        if (child == 0) sched_setaffinity(0, sizeof one, &one), body(), _exit(127);
        return child;
    };
    const pid_t load[] = {start_pinned([] { for (volatile unsigned n = 0;; n = n + 1) {} }),
                          start_pinned([] { for (volatile unsigned n = 0;; n = n + 1) {} })};
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const std::string program = binary_dir() + "/src/app/vrekform", k = kernel();
    int lost = 0;
    for (int tries = 0; tries < 30; ++tries) {
        SampleWorkspace sample;
        const std::string w = sample.workspace(), out = sample.root + "/stdout.txt";
        const auto started = std::chrono::steady_clock::now();
        const pid_t child = start_pinned([&] {
            freopen(out.c_str(), "w", stdout);
            execl(program.c_str(), program.c_str(), k.c_str(), w.c_str(), static_cast<char*>(nullptr));
        });
        char window[64] = {};
        if (FILE* search = popen("xdotool search --sync --onlyvisible --name '^VREK:EI$' | head -1", "r"))
            fgets(window, sizeof window, search), pclose(search);
        std::this_thread::sleep_until(started + std::chrono::seconds(5));
        if (std::atol(window) > 0) {
            run_program({"xdotool", "windowsize", std::to_string(std::atol(window)), "1280", "800"});
            send_close_request(display, std::atol(window));
        }
        if (!wait_for([&] { return waitpid(child, nullptr, WNOHANG) == child; }, 10'000))
            ++lost, kill(child, SIGKILL), waitpid(child, nullptr, 0);
    }
    XCloseDisplay(display);
    for (const pid_t p : load) kill(p, SIGKILL), waitpid(p, nullptr, 0);
    EXPECT_EQ(lost, 0) << "of 30 close requests";
}

int root_clicks = 0;

// The window point at the centre of the last element of a parent-to-child
// path, as "x y" for xdotool.
std::string centre_of(const LiveApplication& live, std::initializer_list<const Element*> path) {
    int32_t x = 0, y = 0;
    const Element* last = nullptr;
    for (const Element* e : path) x += e->x, y += e->y, last = e;
    return live.at(x + last->width / 2, y + last->height / 2);
}

// The slot of the deepest element under a point that takes clicks, tried
// as the root's click dispatch tries them: children last to first.
ClickCallback* click_slot_at(Element& e, int32_t px, int32_t py) {
    if (auto* c = dynamic_cast<Container*>(&e)) {
        const int32_t lx = px - e.x, ly = py - e.y;
        for (size_t i = c->children.size(); i-- > 0;) {
            Element* child = c->children[i];
            if (child == nullptr || !child->eligible() || !child->contains(lx, ly)) continue;
            if (ClickCallback* slot = click_slot_at(*child, lx, ly)) return slot;
        }
    }
    return e.click_handler ? &e.click_handler : nullptr;
}

// The centre of `target` in root coordinates, found through the tree.
bool centre_in_tree(const Element& e, const Element& target, int32_t ox, int32_t oy, int32_t& x, int32_t& y) {
    ox += e.x, oy += e.y;
    if (&e == &target) {
        x = ox + e.width / 2, y = oy + e.height / 2;
        return true;
    }
    if (auto* c = dynamic_cast<const Container*>(&e))
        for (const Element* child : c->children)
            if (child != nullptr && centre_in_tree(*child, target, ox, oy, x, y)) return true;
    return false;
}

TEST(ProgramWindow, IntroKeysAndPointerInOneProcess) {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    EXPECT_EQ(app.frame.startup_mode, 1);  // no arguments
    ASSERT_TRUE(live.open());
    gdk_window_get_origin(gtk_widget_get_window(platform_state.canvas), &live.canvas_x, &live.canvas_y);

    // Without a configuration the intro waits after the logo.
    live.pump_for(3200);
    EXPECT_EQ(app.startup.startup_done, 0);
    EXPECT_FALSE(app.busy_mask.visible);
    EXPECT_LT(app.startup.startup_assembly_started_at, 0.0);

    // The configuration confirmed: the start-up meshes and entity are
    // assembled once and the intro finishes.
    ASSERT_TRUE(set_kernel_path(kernel()));
    ASSERT_TRUE(set_workspace_path(sample.workspace()));
    prepare_app_workspace(app);
    ASSERT_TRUE(live.pump_until([&] { return app.startup.startup_done != 0; }, 30'000));
    EXPECT_EQ(app.startup.startup_meshes.size(), 3u);
    EXPECT_NE(app.startup.startup_entity_mesh, nullptr);
    EXPECT_EQ(live.console_count("Kernel-Path : "), 1u);
    EXPECT_EQ(live.console_count("Entity-Workspace : "), 1u);
    EXPECT_EQ(live.console_count("Environment-Assembly : "), 1u);

    // Press and release 5 pixels apart make a click; 6 do not.
    root_clicks = 0;
    app.click_handler = [] { ++root_clicks; };
    ClickCallback* slot = click_slot_at(app, 100, 100);
    ASSERT_NE(slot, nullptr);
    const ClickCallback taken = *slot;
    *slot = [] { ++root_clicks; };
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(100, 100) + " sleep 0.1 mousedown 1 mousemove --sync " +
                             live.at(105, 105) + " mouseup 1 sleep 0.3 mousemove --sync " + live.at(100, 100) +
                             " mousedown 1 mousemove --sync " + live.at(106, 100) + " mouseup 1"));
    EXPECT_EQ(root_clicks, 1);
    *slot = taken;

    // Ctrl+P with nothing loaded warns; Escape closes the box and the masks.
    ASSERT_TRUE(live.xdotool("key ctrl+p"));
    EXPECT_TRUE(app.pane_open_flags[PANE_WARNING] && app.WARNINGPANE.visible && app.MASKPANE.visible);
    EXPECT_EQ(app.message_titles[2].text, "Warning: Nothing to Parse");
    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_FALSE(app.pane_open_flags[PANE_WARNING] || app.WARNINGPANE.visible || app.MASKPANE.visible ||
                 app.OVERLAY.visible);

    // Shift+R opens the run pane; "1" picks Pure-Union.
    ASSERT_TRUE(live.xdotool("key shift+r sleep 0.1 key 1"));
    EXPECT_TRUE(app.pane_open_flags[PANE_RUN] && app.RUNPANE.visible);
    EXPECT_EQ(app.io_settings.meshing_algorithm, 0);
    EXPECT_EQ(app.algorithm_mode_label.text, "Pure-Union Mesh");
    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_FALSE(app.pane_open_flags[PANE_RUN]);

    // Held W moves the camera until Ctrl+L locks it.
    Vec3 before = app.camera.live_camera.eye;
    ASSERT_TRUE(live.xdotool("keydown w sleep 0.3 keyup w"));
    EXPECT_NE(app.camera.live_camera.eye, before);
    ASSERT_TRUE(live.xdotool("key ctrl+l"));
    EXPECT_TRUE(app.ui_flags.camera_locked && app.LOCKICON.visible);
    before = app.camera.live_camera.eye;
    ASSERT_TRUE(live.xdotool("keydown w sleep 0.3 keyup w"));
    EXPECT_EQ(app.camera.live_camera.eye, before);
    EXPECT_EQ(shift_held + ctrl_held + alt_held, 0);

    // "+ Environment" adds env1 after the transition; Ctrl+Page Up goes back to
    // env0 with its own camera lock; the hovered tab's close button and
    // Enter close env1.
    const auto point = [&](const Element& target) {
        int32_t x = -1, y = -1;
        EXPECT_TRUE(centre_in_tree(app, target, -app.x, -app.y, x, y));
        return live.at(x, y);
    };
    Environment* env0 = app.entities.current_environment;
    ASSERT_TRUE(live.xdotool("mousemove --sync " + point(app.ENVIRONMENT) + " click 1"));
    ASSERT_TRUE(live.pump_until([&] { return app.entities.environment_count == 2 && !app.status.transition_active; }, 10'000));
    EXPECT_EQ(app.entities.environment_index, 1);
    EXPECT_FALSE(app.ui_flags.camera_locked);  // a new environment starts unlocked
    ASSERT_TRUE(live.xdotool("key ctrl+Prior"));
    ASSERT_TRUE(live.pump_until([&] { return app.entities.environment_index == 0; }, 5'000));
    EXPECT_EQ(app.entities.current_environment, env0);
    EXPECT_TRUE(app.ui_flags.camera_locked);
    ASSERT_EQ(app.environment_tabs.size(), 2u);
    ASSERT_TRUE(live.xdotool("mousemove --sync " + point(app.environment_tabs[1])));
    ASSERT_TRUE(live.pump_until([&] { return app.environment_preview.visible; }, 2'000));
    ASSERT_TRUE(live.xdotool("mousemove --sync " + point(app.environment_preview_close) + " click 1"));
    EXPECT_TRUE(app.pane_open_flags[PANE_CONFIRM]);
    ASSERT_TRUE(live.xdotool("key Return"));
    ASSERT_TRUE(live.pump_until([&] { return app.entities.environment_count == 1; }, 5'000));
    EXPECT_EQ(app.entities.environment_list.environment_pointers, std::vector<Environment*>{env0});

    // A cell split from its edge grip, then closed with its close button.
    Viewport& view = app.multi_view_viewport;
    ASSERT_TRUE(live.xdotool("mousemove --sync " + point(view.cells[0]) + " mousemove --sync " +
                             point(view.edge_zones[0]) + " click 1"));
    ASSERT_TRUE(live.pump_until([&] { return view.cell_count == 2; }, 2'000));
    EXPECT_EQ(view.cell_cameras.size(), 2u * CAMERA_STATE_SIZE);
    ASSERT_TRUE(live.xdotool("mousemove --sync " + point(view.cells[1]) + " mousemove --sync " +
                             point(view.close_buttons[1]) + " click 1"));
    ASSERT_TRUE(live.pump_until([&] { return view.cell_count == 1; }, 2'000));
    EXPECT_EQ(view.cell_cameras.size(), CAMERA_STATE_SIZE);

    ASSERT_TRUE(live.xdotool("key ctrl+l"));

    // SHADING twice opens its strip in the tip row and closes it.
    const std::string shading = centre_of(live, {&app.TOOLBAR, &app.TOOLSCROLL, &app.view_menu_buttons[2]});
    ASSERT_TRUE(live.xdotool("mousemove --sync " + shading + " click 1"));
    EXPECT_TRUE(app.ui_flags.open_view_menu == 2 && app.view_menu_strips[2].visible);
    ASSERT_TRUE(live.xdotool("sleep 0.3 click 1"));
    EXPECT_TRUE(app.ui_flags.open_view_menu == -1 && !app.view_menu_strips[2].visible);

    // SETTINGS shows the menu bar; THEME, then Dark recolours the interface.
    ASSERT_TRUE(live.xdotool("mousemove --sync " + centre_of(live, {&app.TOOLBAR, &app.SETTINGS}) + " click 1"));
    ASSERT_TRUE(app.MENUBAR.visible);
    auto settings_button = [&](int k) {
        return centre_of(live, {&app.MENUBAR, &app.MENUSCROLL, &app.settings_menu_buttons[k]});
    };
    auto in_column = [&](int k, const Element* e) {
        return centre_of(live, {&app.MENUNPANE, &app.settings_menu_columns, &app.settings_menu_hosts[k],
                                &app.settings_menu_column_panes[k], e});
    };
    ASSERT_TRUE(live.xdotool("mousemove --sync " + settings_button(6) + " click 1"));
    ASSERT_TRUE(app.MENUNPANE.visible && app.settings_menu_hosts[6].visible);
    ASSERT_TRUE(live.xdotool("mousemove --sync " + in_column(6, app.settings_menu_items[6][0]) + " click 1"));
    EXPECT_EQ(app.frame.theme_index, 0);
    EXPECT_TRUE(app.settings_menu_items[6][0]->selected && !app.settings_menu_items[6][2]->selected);

    // WINDOW: "1024" Enter resizes the window; "abc" warns and keeps the size.
    ASSERT_TRUE(live.xdotool("mousemove --sync " + settings_button(0) + " click 1"));
    const std::string width_field = centre_of(
        live, {&app.MENUNPANE, &app.settings_menu_columns, &app.settings_menu_hosts[0], &app.window_width_field});
    ASSERT_TRUE(live.xdotool("mousemove --sync " + width_field + " click 1 key ctrl+a type 1024"));
    ASSERT_TRUE(live.xdotool("key Return"));
    EXPECT_TRUE(live.pump_until([] { return platform_state.canvas_width == 1024; }, 3000));
    ASSERT_TRUE(live.xdotool("key ctrl+a type abc"));
    ASSERT_TRUE(live.xdotool("key Return"));
    EXPECT_TRUE(app.pane_open_flags[PANE_WARNING]);
    EXPECT_EQ(app.window_width_field.text, "1024");
    live.pump_for(300);
    EXPECT_EQ(platform_state.canvas_width, 1024);
    build_theme_table();
}

TEST(ProgramWindow, CapturesParseReportAndHintsInOneProcess) {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    auto centre = [&](const Element& e) { return live.at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2); };
    // Without --sync, which waits for a motion that never comes when the
    // pointer is there already.
    auto move_to = [&](const Element& e) { return live.xdotool("mousemove " + centre(e) + " sleep 0.2"); };

    // The hint bar follows the pointer onto ASSEMBLE.
    ASSERT_TRUE(move_to(app.ASSEMBLE));
    EXPECT_TRUE(live.pump_until(
        [&] { return app.HINTBAR.visible && app.hint_caption.text == app.ASSEMBLE.tooltip_title; }, 3000));

    // Shift+click CAPTURE: the saved screenshot is the window as X showed it
    // before the click, but for the frame's top line and the button itself.
    ASSERT_TRUE(move_to(app.CAPTURE));
    live.pump_for(500);
    const std::string grab = sample.root + "/grab.png";
    ASSERT_TRUE(grab_screen(live.canvas_x, live.canvas_y, app.frame.window_width, app.frame.window_height, grab));
    const Element button = app.CAPTURE;
    ASSERT_TRUE(live.xdotool("keydown shift click 1 keyup shift"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_SCREENSHOT] != 0; }, 5000));
    ASSERT_TRUE(move_to(app.screenshot_save_button));
    ASSERT_TRUE(live.xdotool("click 1"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_INFO] != 0; }, 5000));
    EXPECT_EQ(app.message_titles[0].text, "Application Screenshot Saved");
    const Picture shot = picture_from_file(sample.workspace() + app.capture.screenshot_name + ".png"),
                  before = picture_from_file(grab);
    ASSERT_EQ(shot.width, app.frame.window_width);
    ASSERT_EQ(shot.height, app.frame.window_height);
    ASSERT_TRUE(before.width == shot.width && before.height == shot.height);
    size_t differing = 0;
    for (int y = 1; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (x >= button.abs_x && x < button.abs_x + button.abs_width && y >= button.abs_y &&
                y < button.abs_y + button.abs_height)
                continue;
            differing += shot.at(x, y) != before.at(x, y);
        }
    }
    EXPECT_EQ(differing, 0u);
    ASSERT_TRUE(live.xdotool("key Escape"));

    // CAPTURE, Enter: the 512 x 512 snapshot; with the workspace gone, the
    // error box.
    ASSERT_TRUE(move_to(app.CAPTURE));
    ASSERT_TRUE(live.xdotool("click 1"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_CAPTURE] != 0; }, 5000));
    ASSERT_TRUE(live.xdotool("key Return"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_INFO] != 0; }, 5000));
    const Picture snapshot = picture_from_file(sample.workspace() + app.capture.snapshot_name + ".png");
    EXPECT_TRUE(snapshot.width == 512 && snapshot.height == 512);
    ASSERT_TRUE(live.xdotool("key Escape"));
    // Three more (Ctrl+8, Enter, Escape) from the start of a second on, so
    // that names to the second repeat: each is a whole image of its own.
    const time_t second = time(nullptr);
    ASSERT_TRUE(live.pump_until([&] { return time(nullptr) != second; }, 2000));
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(live.xdotool("key ctrl+8"));
        ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_CAPTURE] != 0; }, 5000));
        ASSERT_TRUE(live.xdotool("key Return"));
        ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_INFO] != 0; }, 5000));
        ASSERT_TRUE(live.xdotool("key Escape"));
    }
    int named = 0, whole = 0;
    for (const auto& entry : fs::directory_iterator(sample.workspace())) {
        if (entry.path().filename().string().rfind("vrek_snapshot_", 0) != 0) continue;
        const Picture p = picture_from_file(entry.path());
        ++named, whole += p.width == 512 && p.height == 512;
    }
    EXPECT_TRUE(named == 4 && whole == 4) << named << " snapshot files, " << whole << " whole";
    const std::string moved = sample.root + "/moved";
    fs::rename(sample.workspace(), moved);
    ASSERT_TRUE(move_to(app.CAPTURE));
    ASSERT_TRUE(live.xdotool("click 1"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_CAPTURE] != 0; }, 5000));
    ASSERT_TRUE(live.xdotool("key Return"));
    EXPECT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_ERROR] != 0; }, 5000));
    EXPECT_EQ(app.message_titles[1].text, "Error: Image Snapshot Save Failure");
    EXPECT_FALSE(app.pane_open_flags[PANE_CAPTURE]);
    fs::rename(moved, sample.workspace());
    ASSERT_TRUE(live.xdotool("key Escape"));

    // Ctrl+P on two scripts; a click on the second row shows its sections.
    auto& requests = app.deferred_requests;
    requests.pending_paths = {sample.workspace() + "mirrored_gate.vrek", sample.workspace() + "parameters.vrek"};
    requests.pending_path_count = 2;
    requests.open_paths_requested = 1;
    requests.deferred_countdown = 5;
    // Opened entities' meshes belong to whoever removes them: nobody does
    // before the context goes.
    struct MeshRelease {
        AppContext& app;
        ~MeshRelease() {
            if (EntitySet* set = app.entities.current_entities)
                for (EntityRecord& e : set->records) free_interop_mesh(e.mesh), e.mesh = nullptr;
        }
    } release_meshes{app};
    ASSERT_TRUE(live.pump_until(
        [&] { return app.entities.current_entities && app.entities.current_entities->count == 2; }, 30'000));
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(5, 300) + " key ctrl+p"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_PARSE] != 0; }, 10'000));
    ASSERT_EQ(app.parse_report_rows.size(), 2u);
    live.pump_for(200);
    ASSERT_TRUE(move_to(app.parse_report_rows[1]));
    ASSERT_TRUE(live.xdotool("click 1"));
    EXPECT_TRUE(live.pump_until([&] { return app.parse_report.selected_row == 1; }, 3000));
    EXPECT_EQ(app.popup_contents.parse.script_name_label.text, "parameters.vrek");
    EXPECT_EQ(app.popup_contents.parse.section_headings[1].text.rfind("\t Parameters: [", 0), 0u);
    EXPECT_FALSE(app.parse_report_rows[0].selected);

    // The help pane as X shows it, against the reviewed baseline (never
    // refreshed to make this pass).
    ASSERT_TRUE(live.xdotool("key Escape"));
    ASSERT_TRUE(move_to(app.HELP));
    ASSERT_TRUE(live.xdotool("click 1"));
    ASSERT_TRUE(live.pump_until([&] { return app.pane_open_flags[PANE_HELP] != 0; }, 3000));
    live.pump_for(300);
    const Element& help = app.HELPPANE;
    const std::string out_dir = binary_dir() + "/test-output/shell";
    fs::create_directories(out_dir);
    const std::string help_grab = out_dir + "/help_pane.png";
    ASSERT_TRUE(grab_screen(live.canvas_x + help.abs_x, live.canvas_y + help.abs_y, help.abs_width, help.abs_height,
                            help_grab));
    const char* source = getenv("VK_SOURCE_DIR");
    const Picture seen = picture_from_file(help_grab),
                  reviewed = picture_from_file(std::string(source ? source : ".") + "/tests/shell/baseline/help_pane.png");
    ASSERT_TRUE(seen.width == reviewed.width && seen.height == reviewed.height && seen.width > 0);
    size_t off = 0;
    for (size_t i = 0; i < seen.rgb.size(); ++i) off += !near_colour(seen.rgb[i], reviewed.rgb[i], 8);
    EXPECT_LE(off, seen.rgb.size() / 200) << "help pane off its baseline; see " << help_grab;
}

// Ctrl+O lists a workspace of 40 more scripts; End and Home walk the
// selection to either end with the list following. Then two scripts dragged
// over from another GTK window open, a blank in one name.
TEST(ProgramWindow, BrowserKeysAndDroppedScripts) {
    SampleWorkspace sample;
    for (int i = 0; i < 40; ++i) {
        const std::string name = sample.workspace() + "script " + std::to_string(100 + i) + ".vrek";
        ASSERT_TRUE(write_text_file(name, "return box(1).tx(" + std::to_string(i) + ");\n")) << name;
    }
    LiveApplication live;
    AppContext& app = *live.app;
    // The context leaves its entities' meshes to their owner.
    MeshRelease release{app};
    ASSERT_TRUE(live.start_configured(sample.workspace()));

    const FileBrowserState& b = app.file_browser_state;
    auto selected_rows = [&b] {
        std::vector<size_t> rows;
        for (size_t r = 0; r < b.browser_row_order.size(); ++r)
            if (b.browser_selection.bits[static_cast<size_t>(b.browser_row_order[r])]) rows.push_back(r);
        return rows;
    };
    ASSERT_TRUE(live.xdotool("mousemove --sync " + live.at(300, 300) + " key ctrl+o"));
    ASSERT_TRUE(app.pane_open_flags[PANE_FILE] && app.FILEPANE.visible);
    const size_t n = b.browser_row_order.size();
    ASSERT_GE(n, 50u);
    ASSERT_TRUE(live.xdotool("key End"));
    EXPECT_EQ(selected_rows(), std::vector<size_t>{n - 1});
    EXPECT_EQ(b.browser_list_scroll, 1.0);
    const Element& last = app.browser_rows[n - 1];
    const Element& frame = app.browser_list_frame;
    EXPECT_TRUE(last.abs_y >= frame.abs_y && last.abs_y + last.abs_height <= frame.abs_y + frame.abs_height)
        << last.abs_y << " in " << frame.abs_y << "+" << frame.abs_height;
    ASSERT_TRUE(live.xdotool("key Home"));
    EXPECT_EQ(selected_rows(), std::vector<size_t>{0});
    EXPECT_EQ(b.browser_list_scroll, 0.0);
    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_FALSE(app.pane_open_flags[PANE_FILE]);

    const int32_t before = app.entities.current_entities->count;
    const std::string source = binary_dir() + "/tests/shell/vk_drag_source";
    // As a file manager sends it: a blank in the workspace's path is %20.
    gchar* workspace_uri = g_filename_to_uri(sample.workspace().c_str(), nullptr, nullptr);
    ASSERT_NE(workspace_uri, nullptr);
    const std::string uri = workspace_uri;
    g_free(workspace_uri);
    const std::string first = uri + "script%20100.vrek", second = uri + "startup_rings.vrek";
    gchar* argv[] = {const_cast<gchar*>(source.c_str()), const_cast<gchar*>(first.c_str()),
                     const_cast<gchar*>(second.c_str()), nullptr};
    GPid pid = 0;
    ASSERT_TRUE(g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid, nullptr));
    EXPECT_TRUE(live.xdotool("search --sync --onlyvisible --name '^vk-drag-source$'"));
    EXPECT_TRUE(live.xdotool("mousemove --sync 40 40 sleep 0.2 mousedown 1 sleep 0.1 mousemove --sync 50 50 "
                             "sleep 0.1 mousemove --sync 150 150 sleep 0.1 mousemove --sync " + live.at(400, 300) +
                             " sleep 0.2 mousemove --sync " + live.at(405, 305) + " sleep 0.3 mouseup 1"));
    EXPECT_TRUE(live.pump_until([&] { return app.entities.current_entities->count >= before + 2; }, 30'000));
    EXPECT_EQ(app.entities.current_entities->count, before + 2);
    std::vector<std::string> opened;
    for (int32_t i = before; i < app.entities.current_entities->count; ++i)
        opened.push_back(app.entities.current_entities->records[static_cast<size_t>(i)].parse_record.path);
    EXPECT_EQ(opened, (std::vector<std::string>{sample.workspace() + "script 100.vrek",
                                                sample.workspace() + "startup_rings.vrek"}));
    int status = 0;
    if (!live.pump_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 5000))
        kill(pid, SIGKILL), waitpid(pid, &status, 0);
}

// A click in the middle of a laid-out element. No --sync: it waits for a
// motion that never comes when the pointer is already there.
bool click(LiveApplication& live, const Element& e) {
    const bool done =
        live.xdotool("mousemove " + live.at(e.abs_x + e.abs_width / 2, e.abs_y + e.abs_height / 2) + " sleep 0.1 click 1");
    live.pump_for(300);
    return done;
}

// Replaces a text field's text by typing, then presses a key.
bool type_into(LiveApplication& live, const Element& field, const std::string& text,
               const std::string& key = "Return") {
    return click(live, field) && live.xdotool("key ctrl+a type --delay 20 " + text) && live.xdotool("key " + key);
}

TEST(ProgramWindow, InspectorAndParameterPanesEditTheSelectedEntity) {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    ASSERT_TRUE(live.start_configured(sample.workspace()));

    app.deferred_requests.pending_paths = {sample.workspace() + "parameters.vrek"};
    app.deferred_requests.pending_path_count = 1;
    open_script_paths(app);
    EntitySet& set = *app.entities.current_entities;
    // The opened entity's meshes are not the context's own: freed here,
    // before the application goes, whatever the outcome.
    struct FreeMeshes {
        EntitySet& set;
        ~FreeMeshes() {
            for (EntityRecord& e : set.records) free_interop_mesh(e.mesh), e.mesh = nullptr;
        }
    } free_meshes{set};
    ASSERT_TRUE(live.pump_until([&] { return set.count == 1 && set.records[0].mesh != nullptr; }, 30'000));
    live.pump_for(300);

    // The parameter pane: select the script, then edit its INT.
    ASSERT_TRUE(click(live, app.PARAMETER));
    ASSERT_FALSE(app.parameter_rows.empty());
    ASSERT_TRUE(click(live, app.parameter_rows[0]));
    ASSERT_EQ(parameter_entity_record(app), &set.records[0]);
    ASSERT_FALSE(app.parameter_value_fields.empty());
    EntityParameter* segments = listed_parameters(set.records[0])[0];
    ASSERT_EQ(segments->name, "segments");
    ASSERT_TRUE(type_into(live, app.parameter_value_fields[0], "99"));
    EXPECT_EQ(app.message_titles[1].text, "Error: Value Outside of Parameter Bounds");
    EXPECT_EQ(segments->current.int_value, 24);
    ASSERT_TRUE(live.xdotool("key Escape"));
    EXPECT_FALSE(app.pane_open_flags[PANE_ERROR]);
    const InteropMesh* before = set.records[0].mesh;
    ASSERT_TRUE(type_into(live, app.parameter_value_fields[0], "7"));
    EXPECT_EQ(segments->current.int_value, 7);
    ASSERT_TRUE(click(live, app.parameter_apply_button));
    ASSERT_TRUE(live.pump_until([&] { return set.records[0].mesh != before; }, 30'000));
    EXPECT_NE(read_file(sample.workspace() + "tmp/vrek_assemble_in").find("INT segments = 7;"),
              std::string::npos);

    // The entity inspector: move the entity, then pick the ZYX order.
    for (size_t i = 0; i < app.pane_open_flags.size(); ++i) EXPECT_FALSE(app.pane_open_flags[i]) << i;
    EXPECT_FALSE(app.MASKPANE.visible);
    ASSERT_TRUE(click(live, app.ENTITY));
    ASSERT_TRUE(app.ENTITYINSPECTOR.visible) << app.ENTITY.selected << app.PARAMETERCONTROL.visible << app.ui_flags.side_pane_index;
    ASSERT_FALSE(app.entity_rows.empty());
    ASSERT_TRUE(click(live, app.entity_rows[0]));
    ASSERT_TRUE(app.entity_information_area.visible);
    // The transform editor lies below the information text: wheel down
    // until the translation row shows.
    const ScrollPane& inspector = app.entity_inspector_scroll;
    const auto scroll_to = [&](const Element& e) {
        const auto shown = [&] {
            return e.abs_y >= inspector.abs_y && e.abs_y + e.abs_height <= inspector.abs_y + inspector.abs_height;
        };
        for (int notch = 0; notch < 60 && !shown(); ++notch)
            live.xdotool("mousemove " + live.at(inspector.abs_x + 40, inspector.abs_y + 40) + " click 5");
        return shown();
    };
    ASSERT_TRUE(scroll_to(app.translation_fields[0]));
    ASSERT_TRUE(type_into(live, app.translation_fields[0], "3"));
    EntityRecord& entity = set.records[0];
    EXPECT_EQ(entity.translation[0], 3.0);
    EXPECT_EQ(entity.transform_matrix[12], 3.0);
    ASSERT_TRUE(live.xdotool("key Escape"));
    ASSERT_TRUE(scroll_to(app.rotation_order_buttons[5]));
    ASSERT_TRUE(click(live, app.rotation_order_buttons[5]));
    EXPECT_EQ(entity.rotation_order, ROTATION_ZYX);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(app.rotation_order_buttons[k].typeface == &typefaces[4], k == 5) << k;
    live.pump_for(300);
}

}  // namespace
