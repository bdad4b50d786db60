#include "pipeline/open_scripts.h"

#include <algorithm>

#include "context/app_context.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration.h"
#include "pipeline/orchestration_common.h"
#include "pipeline/reassembly.h"
#include "platform/files.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

enum OpenOutcome { OPEN_HANDLED, OPEN_NO_SET };

bool has_script_extension(const std::string& path) {
    return path.size() >= 6 && path.compare(path.size() - 5, 5, ".vrek") == 0;
}

// What the entity draws: its mesh, or its first sub-element's record.
const void* shown_mesh(const EntityRecord& entity) {
    if (entity.parallel == 1) return entity.subelement_records.empty() ? nullptr : entity.subelement_records[0];
    return entity.mesh;
}

EntityRecord* loaded_entity(EntitySet& set, const std::string& path) {
    const size_t n = std::min(set.records.size(), static_cast<size_t>(std::max(set.count, 0)));
    for (size_t i = 0; i < n; ++i) {
        if (set.records[i].parse_record.path == path) return &set.records[i];
    }
    return nullptr;
}

void report_unreadable_script(AppContext& app, const std::string& path, const std::string& name,
                              const std::string& reason) {
    log_console(app, concat2("Error: Unable to Open Script: ", name));
    log_console(app, concat2("  \t ", reason));
    call_hook(app.hooks.show_error_box, app, std::string("Error: Unable to Open Script"),
              concat4("The input script '", name, "' can not be opened.\n\n", unreadable_script_lines(path, reason)));
}

OpenOutcome open_one(AppContext& app, const std::string& path, const std::string& name) {
    if (path.empty()) return OPEN_HANDLED;
    if (!has_script_extension(path)) {
        log_console(app, "Error: Invalid File Path");
        log_console(app, concat2("  \t ", path));
        return OPEN_HANDLED;
    }
    if (!app.entities.current_entities) return OPEN_NO_SET;
    const std::string reason = unreadable_script_reason(path);
    if (!reason.empty()) {
        report_unreadable_script(app, path, name, reason);
        return OPEN_HANDLED;
    }
    const void* shown = nullptr;
    if (EntityRecord* entity = loaded_entity(*app.entities.current_entities, path)) {
        log_console(app, concat2("Note: Script Already Loaded: ", path));
        shown = shown_mesh(*entity);
        reparse_and_reassemble_entity(app, *entity, app.io_settings.meshing_algorithm);
    } else {
        log_console(app, concat2("Script-File Opened: ", name));
        parse_and_assemble_script(app, path);
    }
    // A new mesh is shown by the next frame at once, single-sampled; the
    // tick after it asks for the still frame. An unchanged one stays still.
    const EntityRecord* opened =
        app.entities.current_entities ? loaded_entity(*app.entities.current_entities, path) : nullptr;
    if (opened && shown_mesh(*opened) != shown) app.frame.opened_mesh_draft = 1;
    return OPEN_HANDLED;
}

void close_open_pane(AppContext& app, bool rebuild) {
    if (rebuild) rebuild_entity_panes(app);
    app.frame.needs_redraw = 1;
    call_hook(app.hooks.close_open_pane, app);
}

}  // namespace

void rebuild_entity_panes(AppContext& app) {
    call_hook(app.hooks.rebuild_entity_rows, app);
    call_hook(app.hooks.rebuild_parameter_rows, app);
    call_hook(app.hooks.refresh_entity_inspector, app);
    call_hook(app.hooks.rebuild_parameter_pane, app);
    call_hook(app.hooks.build_camera_directive_rows, app);
    call_hook(app.hooks.build_variant_rows, app);
    call_hook(app.hooks.count_animation_directives, app);
}

void open_selected_scripts(AppContext& app) {
    const FileBrowserState& browser = app.file_browser_state;
    const std::vector<std::string>& names = browser.browser_entries.names;
    const std::vector<uint8_t>& bits = browser.browser_selection.bits;
    // A copy of the rows: opening a script may run code that lists again.
    const std::vector<int32_t> rows = browser.browser_row_order;
    const std::string directory = browser.browser_directory;
    for (const int32_t entry : rows) {
        // The tables may disagree in length; nothing is read past any of them.
        if (entry < 0 || static_cast<size_t>(entry) >= names.size() || static_cast<size_t>(entry) >= bits.size() ||
            !bits[static_cast<size_t>(entry)])
            continue;
        const std::string name = names[static_cast<size_t>(entry)];
        if (open_one(app, concat2(directory, name), name) == OPEN_NO_SET) return;
    }
    close_open_pane(app, true);
}

void open_script_paths(AppContext& app) {
    const size_t count = std::min(app.deferred_requests.pending_paths.size(), static_cast<size_t>(std::max(app.deferred_requests.pending_path_count, 0)));
    // A copy: opening a script may run code that refills the list.
    const std::vector<std::string> paths(app.deferred_requests.pending_paths.begin(), app.deferred_requests.pending_paths.begin() + static_cast<ptrdiff_t>(count));
    for (const std::string& path : paths) {
        if (open_one(app, path, extract_file_name(path)) == OPEN_NO_SET) return;
    }
    close_open_pane(app, count > 0);
}
