#pragma once
#include <cstdint>

struct AppContext;

// The program's keyboard vocabulary: the root element's key-press callback.
// During the intro only configuration and file-browser keys act; afterwards
// a focused text field gets the key first, then the shortcut table chosen
// by the modifiers, then the algorithm digits. Returns 1 when the key acted.
int32_t dispatch_app_key_down(AppContext& app, int32_t key, int32_t modifiers);

// The same on app_instance, in the root's key-callback form.
bool on_root_key_press(int32_t key, int32_t modifiers);
