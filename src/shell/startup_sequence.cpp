#include "shell/startup_sequence.h"

#include "context/app_context.h"
#include "context/app_hooks.h"
#include "context/console_lines.h"
#include "context/trace_channels.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration_common.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "shell/app_callbacks.h"
#include "pipeline/workspace.h"
#include "text/text_utils.h"
#include "ui/root_input.h"

namespace {

double seconds_since_start() { return static_cast<double>(now_ms() - start_clock_ms) / 1000.0; }


// The phases after the start-up assembly, shared by both modes.
void step_closing_phases(AppContext& app, double t) {
    const double u = t - app.startup.startup_assembly_ended_at;
    if (u <= 0.5) {
        app.startup_notice.opacity = 1.0 - 2.0 * u;
        refresh_root(app);
    } else if (u <= 1.0) {
        // hold
    } else if (u <= 1.75) {
        app.startup_notice.visible = false;
        app.busy_indicator.visible = true;
        app.busy_indicator.opacity = (u - 1.0) / 0.75;
        refresh_root(app);
    } else if (u <= 2.5) {
        app.configuration_mask.visible = false;
        app.busy_mask.opacity = 1.0 - (u - 1.75) / 0.75;
        refresh_root(app);
    } else {
        app.busy_mask.visible = false;
        app.startup.startup_done = 1;
    }
}

void hide_cover_once(AppContext& app) {
    if (app.busy_mask.visible) {
        app.busy_mask.visible = false;
        refresh_root(app);
    }
}

}  // namespace

double logo_ramp(double t) {
    if (t < 0.25) return 0.0;
    if (t <= 1.0) return (t - 0.25) / 0.75;
    if (t <= 1.75) return 1.0 - (t - 1.0) / 0.75;
    return 0.0;
}

// After the fades: the one start-up assembly (once the workspace may be
// used), then the closing phases; the cover hides once in between.
static void step_assembly_and_close(AppContext& app, double t, bool may_assemble) {
    if (may_assemble && app.startup.startup_assembly_started_at < 0.0) {
        run_startup_assembly(app);
        return;
    }
    if (app.startup.startup_assembly_ended_at >= 0.0) {
        step_closing_phases(app, t);
        return;
    }
    hide_cover_once(app);
}

void step_startup_sequence(AppContext& app) {
    if (app.frame.startup_mode == 0) step_plain_startup(app);
    else if (app.frame.startup_mode == 1) step_interactive_startup(app);
}

void step_plain_startup(AppContext& app) {
    const double t = seconds_since_start();
    if (t <= 2.0) {
        app.busy_indicator.opacity = logo_ramp(t);
        refresh_root(app);
        return;
    }
    if (app.startup.workspace_prepared_at < 0.0) {
        prepare_workspace(app);
        if (app.startup.workspace_prepared_at < 0.0) {
            // The paths stopped being usable since the mode was chosen: hand
            // over to the configuration instead of waiting for ever.
            app.frame.startup_mode = 1;
            app.configuration_mask.visible = true;
            app.configuration_pane.visible = true;
            refresh_root(app);
            return;
        }
        app.configuration_pane.visible = false;
        app.busy_indicator.visible = false;
        app.startup_notice.visible = true;
        app.startup_notice.opacity = 0.0;
        return;
    }
    const double d = t - app.startup.workspace_prepared_at;
    if (d >= 0.0 && d <= 0.5) {
        app.startup_notice.opacity = 2.0 * d;
        refresh_root(app);
        return;
    }
    step_assembly_and_close(app, t, true);
}

void step_interactive_startup(AppContext& app) {
    const double t = seconds_since_start();
    if (t <= 2.0) {
        app.busy_indicator.opacity = logo_ramp(t);
        refresh_root(app);
        return;
    }
    if (t <= 2.5) {
        app.busy_indicator.visible = false;
        app.busy_mask.opacity = 1.0 - 2.0 * (t - 2.0);
        refresh_root(app);
        return;
    }
    if (app.startup.workspace_prepared_at >= 0.0) {
        const double d = t - app.startup.workspace_prepared_at;
        if (d <= 0.5) {
            app.busy_mask.visible = true;
            app.startup_notice.visible = false;
            app.busy_mask.opacity = 2.0 * d;
            refresh_root(app);
            return;
        }
        if (d <= 1.0) {
            app.configuration_pane.visible = false;
            app.startup_notice.visible = true;
            app.startup_notice.opacity = 2.0 * (d - 0.5);
            refresh_root(app);
            return;
        }
    }
    step_assembly_and_close(app, t, app.startup.workspace_prepared_at >= 0.0);
}

namespace {

// Why the start-up run just made gave nothing, or "": the kernel could not
// run or ended abnormally (`kernel_end`, as the run gave it), or it stopped
// with its own message.
std::string startup_run_failure(const std::string& kernel_end) {
    if (!kernel_end.empty()) return kernel_end;
    return trim_whitespace(kernel_error_report);
}

// A failed start-up run is told where a failed open tells it: the console
// names the run and the reason, and so does the ERROR channel.
void log_startup_failure(AppContext& app, const std::string& run, const std::string& reason,
                         std::string& reasons) {
    const std::string line = concat3(run, ": ", reason);
    append_console_line(app, line, true);
    reasons += concat2(line, "\n");
}

}  // namespace

void run_startup_assembly(AppContext& app) {
    app.startup.startup_assembly_started_at = seconds_since_start();
    std::string reasons;
    std::string reason = startup_run_failure(assemble_startup_meshes(app));
    // What the kernel printed on both runs, in run order.
    std::string outputs = headed_run_output({}, kernel_trace_text);
    if (!reason.empty()) log_startup_failure(app, "Start-Up Meshes", reason, reasons);
    reason = startup_run_failure(assemble_startup_entity(app));
    outputs += headed_run_output({}, kernel_trace_text);
    if (!reason.empty()) log_startup_failure(app, "Start-Up Entity", reason, reasons);
    set_assembly_trace_texts(outputs);
    error_trace_text = reasons;
    route_run_traces(app, std::string());
    app.startup.startup_assembly_ended_at = seconds_since_start();
    // Shown once the cover has faded, as the box of a failed open.
    if (!reasons.empty())
        call_hook(app.hooks.show_error_box, app, std::string("Error: Kernel Run Failed"),
                  concat3("The kernel run for the start-up scripts did not complete:\n", reasons,
                          "\nNote: the start-up meshes have not been assembled; scripts can still be opened."));
    append_console_line(app, "Kernel-Path : " + kernel_path, false);
    append_console_line(app, "Entity-Workspace : " + workspace_path, false);
    const double ms = (app.startup.startup_assembly_ended_at - app.startup.startup_assembly_started_at) * 1000.0;
    append_console_line(app, "Environment-Assembly : " + double_to_text_fixed(ms, 0) + " ms", false);
    app.frame.needs_redraw = 1;
}
