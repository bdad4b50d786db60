#include "panes/layout_standins.h"

#include "app/app_hooks.h"

void on_layout_content_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_content_pane");
}

void on_layout_hint_bar(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_hint_bar");
}

void on_layout_confirm_pane(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    record_standin_call("on_layout_confirm_pane");
}
