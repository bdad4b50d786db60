#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AppContext;
struct AppServices;
struct PlatformListener;

// The whole life of the process on the main thread: banner, command line,
// interface art, the context built and published, the window and its frame
// loop. Returns 1 when the loop ended normally, 0 when no window could be
// made (the entry point returns the negation as the exit status).
int32_t app_main(int32_t argc, char** argv);

// The steps of app_main, in their order; tests call them one by one.

// The boxed start-up banner on standard output.
void print_banner();

// One framed banner line: the text, blanks, and "%" in column 50.
std::string banner_line(const std::string& text);

// Checks and applies up to three arguments (kernel, workspace, option);
// messages on standard output. Never fails: start-up goes on whatever it
// was given.
void read_command_line(std::vector<std::string> arguments);

// Icon atlas, logo and font atlas on `workers` threads (0 = one per
// hardware thread), each step timed on its own "ICN-GEN:", "SDF-GEN:",
// "VTX-GEN:" line.
void generate_interface_art(int32_t workers);

// The platform operations the rest of the program reaches through the
// context.
void fill_app_services(AppServices& services);

// The window description with the application's callbacks; the window
// icon points into the icon atlas.
void fill_platform_listener(PlatformListener& listener, const AppContext& app, int32_t argc, char** argv);

// Everything up to the window: the art on `art_workers` threads, the
// context with its interface, callbacks and services (it becomes
// app_instance), and the listener filled for it. The caller keeps both
// alive while the window exists.
std::unique_ptr<AppContext> build_application(PlatformListener& listener, int32_t argc, char** argv,
                                              int32_t art_workers);
