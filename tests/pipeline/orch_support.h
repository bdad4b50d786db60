#pragma once
// An application context bound to a fresh environment with the recording
// stand-ins installed, and a temporary workspace run by the stand-in kernel.
#include <gtest/gtest.h>
#include "support/call_log.h"
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "context/entity_carry_over.h"
#include "model/entity.h"
#include "text/text_utils.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "panes/console/console_panes.h"
#include "panes/popups/popups.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/open_scripts.h"
#include "pipeline/parallel_jobs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "render/status_line.h"
#include "support/app_fixture.h"

inline std::vector<std::string> calls_starting(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& entry : call_log())
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    return out;
}

// The error boxes raised so far, as "title\ntext".
inline std::vector<std::string> error_boxes() {
    std::vector<std::string> boxes;
    for (const std::string& entry : calls_starting("show_error_box: ")) boxes.push_back(entry.substr(16));
    return boxes;
}

inline std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

// How often the root of the widget tree was refreshed.
inline int& root_refresh_count() {
    static int count = 0;
    return count;
}

// The message boxes as the pipeline raises them, recorded in the call log
// ("show_error_box: title\ntext") so tests see their order among the panes'.
inline void record_error_box(AppContext&, const std::string& title, const std::string& text) {
    record_call("show_error_box: " + title + "\n" + text);
}
inline void record_warning_box(AppContext&, const std::string& title, const std::string& text) {
    record_call("show_warning_box: " + title + "\n" + text);
}

// The pipeline's suites check which pane operations run and in what order:
// each of these hooks records its name (and row and text) in the call log.
inline void install_recording_pane_hooks(AppHooks& hooks) {
#define VK_RECORDING_HOOK(slot) hooks.slot = [](AppContext&) { record_call(#slot); }
    VK_RECORDING_HOOK(refresh_mesh_statistics);
    VK_RECORDING_HOOK(update_window_status);
    VK_RECORDING_HOOK(rebuild_entity_rows);
    VK_RECORDING_HOOK(rebuild_parameter_rows);
    VK_RECORDING_HOOK(refresh_entity_inspector);
    VK_RECORDING_HOOK(rebuild_parameter_pane);
    VK_RECORDING_HOOK(build_camera_directive_rows);
    VK_RECORDING_HOOK(build_variant_rows);
    VK_RECORDING_HOOK(count_animation_directives);
#undef VK_RECORDING_HOOK
    hooks.set_entity_row_label = [](AppContext&, int32_t row, const std::string& text) {
        record_call("set_entity_row_label: " + std::to_string(row) + "|" + text);
    };
    hooks.set_parameter_row_label = [](AppContext&, int32_t row, const std::string& text) {
        record_call("set_parameter_row_label: " + std::to_string(row) + "|" + text);
    };
    hooks.set_parameter_field = [](AppContext&, int32_t row, const std::string& text, uint32_t colour) {
        record_call("set_parameter_field: " + std::to_string(row) + "|" + text + "|" + std::to_string(colour));
    };
    hooks.set_parameter_slider = [](AppContext&, int32_t row, double value) {
        record_call("set_parameter_slider: " + std::to_string(row) + "|" + double_to_text(value));
    };
    hooks.merge_entity_display_flags = merge_entity_display_flags;
}

struct OrchContext {
    std::unique_ptr<AppContext> app = make_app_context();

    OrchContext() {
        reset_call_log();
        install_popup_operations(app->hooks);
        install_console_pane_operations(app->hooks);
        app->hooks.show_error_box = record_error_box;
        app->hooks.show_warning_box = record_warning_box;
        install_recording_pane_hooks(app->hooks);
        // Recolouring is recorded, not run: these tests follow the calls.
        app->hooks.recolour_entity = [](AppContext&, EntityRecord& entity) {
            record_call("recolour_entity: " + std::to_string(entity.serial_id));
        };
        install_status_line_hooks(app->hooks);
        root_refresh_count() = 0;
        app->refresh_handler = [] { ++root_refresh_count(); };
        make_new_environment_current(*app);
    }
    ~OrchContext() { free_context_meshes(*app); }

    EntitySet& set() { return *app->entities.current_entities; }
    EntityRecord& entity(size_t i) { return app->entities.current_entities->records.at(i); }
    // Console lines; the duration lines ("  \t <n> ms") read as "<ms>".
    std::vector<std::string> console() const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        std::vector<std::string> lines;
        for (int32_t i = 0; i < log.console_count; ++i) {
            const std::string& l = log.console_lines[static_cast<size_t>(i)];
            lines.push_back(std::regex_match(l, std::regex("  \t -?[0-9]+ ms")) ? "<ms>" : l);
        }
        return lines;
    }
    size_t console_count(const std::string& prefix) const {
        const std::vector<std::string> lines = console();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.compare(0, prefix.size(), prefix) == 0;
        }));
    }
    std::vector<std::string> channel(int32_t c) const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        return std::vector<std::string>(log.channel_lines[c].begin(),
                                        log.channel_lines[c].begin() + log.channel_count[c]);
    }
    void open(const std::vector<std::string>& paths) {
        app->deferred_requests.pending_paths = paths;
        app->deferred_requests.pending_path_count = static_cast<int32_t>(paths.size());
        open_script_paths(*app);
    }
};

// End to end: a workspace and a scripts folder run by the stand-in kernel,
// and a context.
struct KernelTest : ::testing::Test {
    std::string root, workspace, scripts;
    OrchContext ctx;

    KernelTest() {
        const char* binary = getenv("VK_BINARY_DIR");
        std::string base = binary && *binary ? std::string(binary) + "/test-output" : "/tmp";
        mkdir(base.c_str(), 0755);
        root = base + "/vk_orch_XXXXXX";
        EXPECT_NE(mkdtemp(&root[0]), nullptr);
        workspace = root + "/ws/";
        scripts = root + "/scripts/";
        for (const char* d : {"/ws", "/ws/tmp", "/scripts"}) mkdir((root + d).c_str(), 0755);
        reset_paths_for_tests();
        EXPECT_TRUE(set_kernel_path(std::string(binary ? binary : ".") + "/kernel/vrek"));
        EXPECT_TRUE(set_workspace_path(workspace));
        reset_run_trace_texts();
        reset_parallel_jobs_for_tests();
    }
    ~KernelTest() override {
        reset_parallel_jobs_for_tests();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::string script(const std::string& name, const std::string& text) const {
        EXPECT_TRUE(write_text_file(scripts + name, text));
        return scripts + name;
    }
    std::string staged(const std::string& name) const { return read_file(workspace + "tmp/" + name); }
};
