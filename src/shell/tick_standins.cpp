#include "shell/tick_standins.h"

#include "app/app_context.h"
#include "pipeline/open_scripts.h"

void app_tick(AppContext& app) {
    record_standin_call("app_tick");
    DeferredRequests& requests = app.deferred_requests;
    if (requests.request_countdown > 0) --requests.request_countdown;
    if (requests.request_countdown != 0) return;
    if (requests.request_open_selected) {
        requests.request_open_selected = 0;
        open_selected_scripts(app);
    }
    if (requests.request_open_paths) {
        requests.request_open_paths = 0;
        open_script_paths(app);
    }
    if (requests.request_native_open) {
        requests.request_native_open = 0;
        record_standin_call("run_native_open_script_dialog");
    }
    if (requests.request_native_export) {
        requests.request_native_export = 0;
        record_standin_call("choose_export_folder");
    }
    requests.request_countdown = -1;
}
