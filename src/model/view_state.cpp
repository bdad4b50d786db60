#include "model/view_state.h"

int32_t pick_key_button_index(char key) {
    static const char keys[7] = {'!', 'T', 'P', 'G', 'O', 'E', 'U'};
    for (int32_t i = 0; i < 7; ++i) {
        if (keys[i] == key) return i;
    }
    return -1;
}
