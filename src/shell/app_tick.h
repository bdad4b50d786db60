#pragma once
#include <cstdint>

struct AppContext;
struct PlatformListener;

// The periodic work of the main thread, about every 10 ms: file-browser key
// repeat, the intro, the fade transition, deferred requests, the environment
// switch, parameter pushes, the tool-tip panel and camera motion from held
// keys, the wheel and drags.

// Time of the last Up/Down press in the file browser (set by the key
// dispatcher) and of the last repeat.
extern int64_t browser_key_press_ms;
extern int64_t browser_repeat_ms;

int32_t app_on_tick(PlatformListener* listener);
void app_tick(AppContext& app);

void reset_app_tick_for_tests();
