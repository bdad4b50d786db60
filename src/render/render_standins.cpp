#include "render/render_standins.h"

void update_attribute_trace_standin(AppContext&) { record_standin_call("update_attribute_trace"); }

void install_render_standins(AppHooks& hooks) {
    hooks.update_attribute_trace = update_attribute_trace_standin;
}
