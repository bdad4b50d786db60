// Popups and their masks, message boxes, the confirmation with its deferred
// action, the confirmations, the algorithm choice and the bar toggles.
#include <gtest/gtest.h>

#include "context/keyword_tables.h"
#include "model/entity.h"
#include "panes/popups/algorithm_selection.h"
#include "panes/bars/bar_toggles.h"
#include "panes/inspector/confirmations.h"
#include "panes/bars/directive_bars.h"
#include "panes/browser/browser_actions.h"
#include "panes/environments/environments.h"
#include "panes/popups/message_boxes.h"
#include "support/shell_fixture.h"

namespace {

struct Popups : ShellFixture {
    Popups() { finish_startup(); }
    bool open(int32_t index) const { return app->pane_open_flags[index] != 0; }
};

TEST_F(Popups, EscapeClosesTheTopMostFirst) {
    toggle_help_pane(*app);
    toggle_run_pane(*app);
    toggle_run_pane(*app);
    EXPECT_TRUE(masks_shown());  // help is still open
    show_error_box(*app, "Error: E", "e");
    show_info_box(*app, "Info: first", "one");
    show_info_box(*app, "Info: second", "two\nlines");  // refilled
    EXPECT_EQ(app->message_titles[0].text + "|" + app->message_texts[0].text, "Info: second|two\nlines");
    show_confirm_dialog(*app, "Confirm", "note", 1, nullptr, nullptr);
    const int32_t order[] = {PANE_CONFIRM, PANE_INFO, PANE_ERROR, PANE_HELP};
    for (int32_t index : order) {
        EXPECT_TRUE(open(index) && popup_pane(*app, index).visible && masks_shown()) << index;
        escape_from_popups(*app);
        EXPECT_FALSE(open(index) || popup_pane(*app, index).visible) << index;
    }
    EXPECT_TRUE(masks_hidden());
    escape_from_popups(*app);  // nothing open: nothing changes
    EXPECT_TRUE(masks_hidden());
}

TEST_F(Popups, BrowserOverExportAndWarningsDuringStartUp) {
    app->pane_open_flags[PANE_EXPORT] = 1;
    show_file_browser(*app, true);
    app->EXPORTPANE.visible = false;
    show_warning_box(*app, "Warning: W", "w");
    EXPECT_TRUE(app->message_mask.visible);  // above the browser
    escape_from_popups(*app);
    EXPECT_FALSE(app->message_mask.visible);
    escape_from_popups(*app);  // the browser, not the export pane under it
    EXPECT_FALSE(open(PANE_FILE) || app->FILEPANE.visible);
    EXPECT_TRUE(open(PANE_EXPORT) && app->EXPORTPANE.visible && masks_shown());

    // Over the configuration too, the mask keeps the clicks from beneath.
    app->startup.startup_done = 0;
    app->configuration_mask.visible = false;
    show_warning_box(*app, "Warning: Nothing to Parse", "");
    EXPECT_TRUE(app->message_mask.visible);
    escape_from_popups(*app);
    EXPECT_TRUE(app->configuration_mask.visible);
    EXPECT_FALSE(app->message_mask.visible);
}

// Enter on a box closes the box on top, as its close button does: the box
// beneath shows again, and nothing of the pane under them runs.
TEST_F(Popups, EnterClosesTheBoxOnTopAndActsOnNothingBeneath) {
    app->export_settings.export_ready = 1;
    app->export_settings.export_name = "first";
    for (int32_t pane : std::initializer_list<int32_t>{PANE_RUN, PANE_PARSE, PANE_CAPTURE, PANE_SCREENSHOT,
                                                     PANE_PROFILE, PANE_EXPORT, -1}) {
        if (pane >= 0) {
            app->pane_open_flags[pane] = 1;
            popup_pane(*app, pane).visible = true;
        } else {
            app->startup.startup_done = 0;  // the configuration waits
        }
        show_warning_box(*app, "Warning: W", "w");
        show_error_box(*app, "Error: E", "e");
        EXPECT_TRUE(app->ERRORPANE.visible && !app->WARNINGPANE.visible && app->message_mask.visible) << pane;
        confirm_active_pane(*app);
        EXPECT_TRUE(!open(PANE_ERROR) && open(PANE_WARNING) && app->WARNINGPANE.visible) << pane;
        confirm_active_pane(*app);
        EXPECT_FALSE(open(PANE_WARNING) || open(PANE_ERROR) || open(PANE_INFO) || open(PANE_CONFIRM)) << pane;
        EXPECT_FALSE(app->message_mask.visible || open(PANE_LOAD)) << pane;
        if (pane >= 0) {
            EXPECT_TRUE(open(pane) && popup_pane(*app, pane).visible) << pane;
            escape_from_popups(*app);
        } else {
            EXPECT_LT(app->startup.workspace_prepared_at, 0.0);
        }
    }
}

int actions = 0;
int cancels = 0;
void count_action() { ++actions; }
void count_cancel() { ++cancels; }

TEST_F(Popups, OkRunsTheActionFiveTicksLaterBehindTheLoadingPane) {
    actions = cancels = 0;
    on_click_confirm_ok();  // closed: nothing
    EXPECT_FALSE(open(PANE_LOAD));
    toggle_help_pane(*app);
    show_confirm_dialog(*app, "Confirm X", "n", 24, count_cancel, count_action);
    on_click_confirm_ok();
    EXPECT_TRUE(open(PANE_LOAD) && app->LOADPANE.visible && !open(PANE_CONFIRM) && masks_shown());
    tick(4);
    EXPECT_EQ(actions, 0);
    tick();
    EXPECT_FALSE(open(PANE_LOAD) || app->LOADPANE.visible);
    EXPECT_TRUE(masks_shown());  // help
    tick(10);
    EXPECT_EQ(actions * 10 + cancels, 10);

    show_confirm_dialog(*app, "Confirm Y", "n", 24, count_cancel, count_action);
    on_click_confirm_cancel();
    EXPECT_EQ(cancels, 1);
    tick(10);
    EXPECT_EQ(actions, 1);
}

TEST_F(Popups, ExportFolderChooserKeepsTheLocationWhenCancelled) {
    app->export_settings.export_directory = "/ws/";
    app->services.choose_folder_dialog = [](const std::string&) { return std::string(); };
    app->pane_open_flags[PANE_OPEN] = 1;
    choose_export_folder(*app);
    EXPECT_EQ(app->export_settings.export_directory, "/ws/");
    EXPECT_FALSE(open(PANE_OPEN) || app->OPENPANE.visible);
    app->services.choose_folder_dialog = [](const std::string&) { return std::string("/out/"); };
    choose_export_folder(*app);
    EXPECT_EQ(app->export_settings.export_directory, "/out/");
}

struct Confirmations : Popups {
    EntitySet& set() { return *app->entities.current_entities; }
    EntityRecord& add_entity(const std::string& path, int32_t algorithm) {
        EntityRecord entity = entity_construct();
        entity.parse_record.path = path;
        entity.mesh = new InteropMesh();
        entity.mesh->algorithm = algorithm;
        set().records.push_back(entity);
        set().count = static_cast<int32_t>(set().records.size());
        return set().records.back();
    }
    ~Confirmations() override {
        for (EntityRecord& e : set().records) delete e.mesh, e.mesh = nullptr;
    }
};

TEST_F(Confirmations, ResetTitleScopeAndPlural) {
    EXPECT_EQ(reset_parameters_title(1, 3), "Confirm Reset of Selected Entity Parameter Value");
    EXPECT_EQ(reset_parameters_title(2, 3), "Confirm Reset of Selected Entity Parameter Values");
    EXPECT_EQ(reset_parameters_title(1, 1), "Confirm Reset of All Entity Parameter Values");
}

TEST_F(Confirmations, DeleteChecksItsIndexAndCancelResets) {
    confirm_delete_entity(*app, 0);  // no entity
    EXPECT_FALSE(open(PANE_CONFIRM));
    add_entity("/scripts/dir\\box.vrek", 2);
    confirm_delete_entity(*app, 1);
    EXPECT_FALSE(open(PANE_CONFIRM));
    confirm_delete_entity(*app, 0);
    EXPECT_EQ(app->confirm_title_label.text, "Confirm Delete of box.vrek");
    EXPECT_EQ(app->dialogs.pending_delete_index, 0);
    escape_from_popups(*app);
    EXPECT_EQ(app->dialogs.pending_delete_index, -1);
    EXPECT_EQ(set().count, 1);

    delete set().records[0].mesh;
    set().records[0].mesh = nullptr;
    capture_stdout();
    confirm_delete_entity(*app, 0);
    EXPECT_EQ(captured_stdout(), "CRITICAL-INTERNAL-ERROR:UNDERLYING-MESH-POINTER-IS-NULL!\n");
    EXPECT_FALSE(open(PANE_CONFIRM));
    EXPECT_EQ(app->dialogs.pending_delete_index, -1);
}

TEST_F(Confirmations, ReassemblyPreselectsTheEntitysAlgorithm) {
    add_entity("/a/cube.vrek", 0);
    app->dialogs.confirm_algorithm[0] = 2;
    confirm_reassemble_entity(*app, 0);
    EXPECT_EQ(app->dialogs.confirm_algorithm[0], 0);
    EXPECT_TRUE(app->dialogs.confirm_extra_shown && app->confirm_algorithm_bar.visible);
    EXPECT_TRUE(app->confirm_choice_buttons[0].selected && !app->confirm_choice_buttons[2].selected);
    select_confirm_mesh_algorithm(*app, 1);
    EXPECT_EQ(app->io_settings.meshing_algorithm, 2);
    escape_from_popups(*app);
    EXPECT_EQ(app->dialogs.pending_reassembly_index, -1);
    EXPECT_FALSE(app->confirm_algorithm_bar.visible);
}

TEST_F(Confirmations, CloseCapturesTheHoveredTabOnOpening) {
    add_startup_environment(*app);
    add_environment(*app);  // current: 1
    Environment* current = app->entities.current_environment;
    app->entities.hovered_environment_tab = 1;  // the current one
    on_close_environment();
    EXPECT_FALSE(open(PANE_CONFIRM));
    app->entities.hovered_environment_tab = 0;
    on_close_environment();
    ASSERT_TRUE(open(PANE_CONFIRM));
    app->entities.hovered_environment_tab = -1;  // the pointer moved on
    accept_confirm_dialog(*app);
    tick(6);
    EXPECT_EQ(app->entities.environment_count, 1);
    EXPECT_EQ(app->entities.environment_index, 0);
    EXPECT_EQ(app->entities.environment_list.environment_pointers, std::vector<Environment*>{current});
}

TEST_F(Popups, AlgorithmChoiceGreysWhatItCannotDo) {
    const char* items[] = {"union", "difference", "intersect", "low-poly", "gouraud", "printable"};
    const bool supported[3][6] = {{1, 0, 0, 1, 1, 0}, {1, 1, 1, 0, 0, 1}, {1, 1, 1, 1, 1, 1}};
    for (int32_t k = 0; k < 3; ++k) {
        select_mesh_algorithm(*app, k);
        EXPECT_EQ(app->io_settings.meshing_algorithm, k);
        EXPECT_EQ(app->io_settings.reassembly_algorithm, k);
        for (int32_t i = 0; i < 6; ++i) {
            const Element& item = app->capability_labels[i];
            EXPECT_EQ(item.typeface == &typefaces[4], supported[k][i]) << k << " " << items[i];
            EXPECT_EQ(item.background_rgba, supported[k][i] ? 0u : 0xFF808080u) << k << " " << items[i];
        }
    }
    select_mesh_algorithm(*app, 3);  // ignored
    select_confirm_mesh_algorithm(*app, -1);
    EXPECT_EQ(app->io_settings.meshing_algorithm, 2);
}

TEST_F(Popups, StripsAreExclusiveAndTogglesMirrorTheirFlag) {
    toggle_llmi_key_strip(*app);
    EXPECT_TRUE(app->bars.ll_inspector_expanded && app->ll_inspector_bar.visible && app->ll_inspector_button.selected);
    toggle_parallel_flags_strip(*app);
    EXPECT_TRUE(app->bars.parallel_flags_expanded && app->parallel_flags_bar.visible);
    EXPECT_FALSE(app->bars.ll_inspector_expanded || app->ll_inspector_bar.visible || app->ll_inspector_button.selected);
    toggle_parallel_flags_strip(*app);
    EXPECT_FALSE(app->bars.parallel_flags_expanded || app->bars.ll_inspector_expanded);
}

}  // namespace
