#include "platform/platform_state.h"

#include <cstdio>
#include <cstring>

PlatformState platform_state;

PlatformListener* active_listener() {
    return platform_state.listeners[0];
}

void set_platform_listener(PlatformListener* listener, int32_t index) {
    // Negative indices are refused too: they would write outside the table.
    if (index < 0 || index >= PLATFORM_LISTENER_SLOTS) {
        std::printf("KAVRO-8-WINDOW-MAX!\n");
        std::fflush(stdout);
        return;
    }
    platform_state.listeners[index] = listener;
}

void clear_platform_key_states() {
    std::memset(platform_state.platform_key_states, 0, sizeof platform_state.platform_key_states);
    std::memset(platform_state.arrow_key_flags, 0, sizeof platform_state.arrow_key_flags);
    std::memset(platform_state.held_key_codes, 0, sizeof platform_state.held_key_codes);
}

void reset_platform_state_for_tests() {
    platform_state = PlatformState();
}
