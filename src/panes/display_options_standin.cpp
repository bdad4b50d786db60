#include "panes/display_options_standin.h"

#include "app/app_hooks.h"
#include "text/text_utils.h"

void app_apply_display_options(AppContext&, int32_t width, int32_t height) {
    record_standin_call("app_apply_display_options: " + int_to_text(width) + "x" + int_to_text(height));
}
