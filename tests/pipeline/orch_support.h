#pragma once
// An application context bound to a fresh environment, with the recording
// stand-ins installed, and (for end-to-end tests) a temporary workspace
// driven by the bundled stand-in kernel.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/current_environment.h"
#include "model/entity.h"
#include "model/environment.h"
#include "model/interop_mesh.h"
#include "panes/pane_standins.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/parallel_jobs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "render/render_standins.h"

inline std::string make_orch_test_dir() {
    std::string base = "/tmp";
    if (const char* binary = getenv("VK_BINARY_DIR")) {
        if (*binary) {
            base = std::string(binary) + "/test-output";
            mkdir(base.c_str(), 0755);
        }
    }
    std::string dir = base + "/vk_orch_XXXXXX";
    if (!mkdtemp(&dir[0])) return "";
    return dir;
}

// Frees every mesh and sub-element record the context's environments hold.
inline void free_context_meshes(AppContext& app) {
    for (Environment& environment : app.environments.environments) {
        EntitySet& set = environment.entities;
        for (size_t i = 0; i < set.records.size() && i < static_cast<size_t>(std::max(set.count, 0)); ++i) {
            EntityRecord& entity = set.records[i];
            if (entity.parallel == 1) {
                for (EntityRecord* sub : entity.subelement_records) {
                    if (!sub) continue;
                    free_interop_mesh(sub->mesh);
                    delete sub;
                }
                entity.subelement_records.clear();
            } else {
                free_interop_mesh(entity.mesh);
            }
            entity.mesh = nullptr;
        }
    }
    free_interop_mesh(app.startup_entity_mesh);
    app.startup_entity_mesh = nullptr;
}

struct OrchContext {
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();

    OrchContext() {
        reset_standin_call_log();
        set_standin_popup_open(false);
        install_pane_standins(app->hooks);
        install_render_standins(app->hooks);
        add_current_environment(*app);
    }
    ~OrchContext() { free_context_meshes(*app); }

    EntitySet& set() { return *app->entity_set; }
    EntityRecord& entity(size_t i) { return app->entity_set->records.at(i); }
    std::vector<std::string> console() const {
        const TraceLog& log = app->environment->trace_log;
        return std::vector<std::string>(log.console_lines.begin(), log.console_lines.begin() + log.console_count);
    }
    std::vector<std::string> channel(int32_t c) const {
        const TraceLog& log = app->environment->trace_log;
        return std::vector<std::string>(log.channel_lines[c].begin(),
                                        log.channel_lines[c].begin() + log.channel_count[c]);
    }
};

// Entries of the stand-in log that begin with `prefix`.
inline std::vector<std::string> calls_starting(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& entry : standin_call_log()) {
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    }
    return out;
}

// The error boxes raised so far, as "title\ntext".
inline std::vector<std::string> error_boxes() {
    std::vector<std::string> boxes;
    for (const std::string& entry : calls_starting("show_error_box: ")) boxes.push_back(entry.substr(16));
    return boxes;
}

inline bool is_duration_line(const std::string& line) {
    return std::regex_match(line, std::regex("  \t -?[0-9]+ ms"));
}

// A workspace and a scripts folder, with the stand-in kernel as the kernel.
struct KernelWorkspace {
    std::string root;
    std::string workspace;
    std::string scripts;

    KernelWorkspace() {
        root = make_orch_test_dir();
        workspace = root + "/ws/";
        scripts = root + "/scripts/";
        mkdir((root + "/ws").c_str(), 0755);
        mkdir((root + "/ws/tmp").c_str(), 0755);
        mkdir((root + "/scripts").c_str(), 0755);
        const char* binary = getenv("VK_BINARY_DIR");
        reset_paths_for_tests();
        EXPECT_TRUE(set_kernel_path(std::string(binary ? binary : ".") + "/kernel/vrek"));
        EXPECT_TRUE(set_workspace_path(workspace));
        reset_run_trace_texts();
        reset_parallel_jobs_for_tests();
    }
    ~KernelWorkspace() { reset_parallel_jobs_for_tests(); }

    std::string script(const std::string& name, const std::string& text) const {
        const std::string path = scripts + name;
        EXPECT_TRUE(write_text_file(path, text));
        return path;
    }
    std::string staged(const std::string& name) const { return read_file(workspace + "tmp/" + name); }
};
