#pragma once

struct AppContext;

// Recording stand-in for the application tick: only its deferred requests.
// While the countdown is above 0 it drops by one per tick; at 0 every set
// request is cleared and run (opening the browser's selected scripts, then
// the pending path list; the native dialogs are only recorded) and the
// countdown rests at -1. Records "app_tick" once per call.
void app_tick(AppContext& app);
