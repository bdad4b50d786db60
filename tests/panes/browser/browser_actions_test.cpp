#include <gtest/gtest.h>
#include "support/call_log.h"

#include "panes/browser/browser_actions.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/path_configuration.h"
#include "panes/popups/popups.h"
#include "panes/browser/browser_test_support.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "support/test_dir.h"
#include "text/text_utils.h"
#include "ui/ui_state.h"

// The popup and path operations the browser hands on to are real; the link passes
// the browser's calls through these recorders first (see CMakeLists), so
// that the tests can follow what was handed on and in which order.
extern "C" {
void __real__Z18escape_from_popupsR10AppContext(AppContext& app);
void __real__Z21accept_confirm_dialogR10AppContext(AppContext& app);
void __real__Z16show_warning_boxR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES8_(
    AppContext& app, const std::string& title, const std::string& text);

void __real__Z25apply_kernel_path_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
    AppContext& app, const std::string& path);
void __real__Z30apply_entity_workspace_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
    AppContext& app, const std::string& directory);

void __wrap__Z25apply_kernel_path_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
    AppContext& app, const std::string& path) {
    record_call("apply_kernel_path_setting: " + path);
    __real__Z25apply_kernel_path_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(app, path);
}
void __wrap__Z30apply_entity_workspace_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
    AppContext& app, const std::string& directory) {
    record_call("apply_entity_workspace_setting: " + directory);
    __real__Z30apply_entity_workspace_settingR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
        app, directory);
}
void __wrap__Z18escape_from_popupsR10AppContext(AppContext& app) {
    record_call("escape_from_popups");
    __real__Z18escape_from_popupsR10AppContext(app);
}
void __wrap__Z21accept_confirm_dialogR10AppContext(AppContext& app) {
    record_call("accept_confirm_dialog");
    __real__Z21accept_confirm_dialogR10AppContext(app);
}
void __wrap__Z16show_warning_boxR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES8_(
    AppContext& app, const std::string& title, const std::string& text) {
    record_call("show_warning_box: " + title + "\n" + text);
    __real__Z16show_warning_boxR10AppContextRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES8_(app, title, text);
}
}

namespace {

using Names = std::vector<std::string>;

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

struct NavigationTest : BrowserTest {
    NavigationTest() {
        canned_listings()["/home/user/"] = ls_line("drwxr-xr-x", "4096", "docs") +
                                           ls_line("d-wx------", "4096", "locked") +
                                           ls_line("-rw-r--r--", "10", "a.vrek") +
                                           ls_line("-rw-r--r--", "20", "b.vrek");
        canned_listings()["/home/user/docs/"] = ls_line("-rw-r--r--", "1", "inner.vrek");
    }
};

TEST_F(NavigationTest, OpenersListTheirStartDirectoryWithCaptions) {
    kernel_path = "/opt/k/vrek";
    open_kernel_browser(*app);
    EXPECT_EQ(listed_directories().back(), "/opt/k/");
    EXPECT_EQ(browser().browser_purpose, BROWSER_KERNEL_EXECUTABLE);
    EXPECT_EQ(app->browser_hint_label.margin_left, app->browser_title_label.line_widths[0]);
    EXPECT_FALSE(app->configuration_mask.visible);
    EXPECT_TRUE(app->FILEPANE.visible);
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 1);

    kernel_path.clear();
    open_kernel_browser(*app);
    EXPECT_EQ(listed_directories().back(), trim_whitespace(get_current_directory()) + "/");

    workspace_path = "/home/user/";
    open_workspace_browser(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/");

    browser().browser_directory = "/home/user/docs/";
    open_script_browser(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/docs/");

    app->EXPORTPANE.visible = true;
    open_export_location_action(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/");
    EXPECT_EQ(browser().browser_purpose, BROWSER_EXPORT_LOCATION);
    EXPECT_FALSE(app->EXPORTPANE.visible);
    app->export_settings.export_directory = "/out/";
    open_export_location_action(*app);
    EXPECT_EQ(listed_directories().back(), "/out/");
}

TEST_F(NavigationTest, HomeUpPrefixAndRefreshList) {
    workspace_path = "/home/user/";
    list(BROWSER_OPEN_SCRIPT, "/home/user/docs/");
    browser_go_up(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/");
    browser_open_path_prefix(*app, 1);
    EXPECT_EQ(listed_directories().back(), "/home/");
    browser_go_home(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/");
    browser_refresh(*app);
    EXPECT_EQ(listed_directories().back(), "/home/user/");

    list(BROWSER_OPEN_SCRIPT, "/");
    const size_t asked = listed_directories().size();
    browser_go_up(*app);
    browser_open_path_prefix(*app, 1);
    browser().browser_purpose = 9;
    browser_go_home(*app);
    EXPECT_EQ(listed_directories().size(), asked);
}

TEST_F(NavigationTest, RowClicksEnterReadableDirectoriesAndToggleEverythingElse) {
    list(BROWSER_OPEN_SCRIPT, "/home/user/");
    EXPECT_EQ(rows(), (Names{"a.vrek", "b.vrek", "docs/", "locked/"}));
    browser_click_row(*app, 0);
    browser_click_row(*app, 3);  // no owner read: selected like a file
    EXPECT_EQ(browser().browser_selection.selected_count, 2);
    EXPECT_TRUE(app->browser_rows[3].selected);
    browser_enter_selected_dir(*app);  // two selected: nothing
    EXPECT_EQ(browser().browser_directory, "/home/user/");
    browser_click_row(*app, 0);
    EXPECT_EQ(browser().browser_selection.selected_count, 1);
    EXPECT_FALSE(app->browser_rows[0].selected);
    browser_enter_selected_dir(*app);  // no permission test here
    EXPECT_EQ(listed_directories().back(), "/home/user/locked/");

    list(BROWSER_OPEN_SCRIPT, "/home/user/");
    browser_click_row(*app, 1);
    browser_click_row(*app, 2);  // enters even with a selection
    EXPECT_EQ(browser().browser_directory, "/home/user/docs/");
    EXPECT_EQ(browser().browser_selection.selected_count, 0);
    browser_click_row(*app, 7);
    browser_click_row(*app, -1);
    EXPECT_EQ(browser().browser_selection.selected_count, 0);
}

TEST_F(NavigationTest, SelectAllTakesFilesOfTheScriptBrowserOnly) {
    list(BROWSER_ENTITY_WORKSPACE, "/home/user/");
    int refreshes = 0;
    static int* counter = nullptr;
    counter = &refreshes;
    app->refresh_handler = [] { ++*counter; };
    browser_select_all_and_redraw(*app);
    EXPECT_EQ(browser().browser_selection.selected_count, 0);
    EXPECT_EQ(refreshes, 1);

    list(BROWSER_OPEN_SCRIPT, "/home/user/");
    browser_click_row(*app, 1);
    on_browser_select_all_button();
    EXPECT_EQ(browser().browser_selection.bits, (std::vector<uint8_t>{0, 0, 1, 1}));
    EXPECT_EQ(browser().browser_selection.selected_count, 2);
    EXPECT_EQ(refreshes, 2);
}

TEST_F(NavigationTest, ClicksActOnlyOnAHoveredElementInRange) {
    list(BROWSER_OPEN_SCRIPT, "/home/user/docs/");
    const size_t asked = listed_directories().size();
    hover_element = nullptr;
    on_browser_path_click();
    on_browser_row_click();
    Element stray;
    stray.user_index = 4;
    hover_element = &stray;
    on_browser_path_click();
    on_browser_row_click();
    EXPECT_EQ(listed_directories().size(), asked);
    EXPECT_EQ(browser().browser_selection.selected_count, 0);

    hover_element = &app->browser_rows[0];
    on_browser_row_click();
    EXPECT_EQ(browser().browser_selection.selected_count, 1);
    hover_element = &app->browser_path_buttons[1];
    on_browser_path_click();
    EXPECT_EQ(listed_directories().back(), "/home/");
    hover_element = nullptr;
}

// One confirmation: the listing, a selection by name, the outcome in the log.
struct ConfirmTest : BrowserTest {
    ConfirmTest() {
        canned_listings()["/k/"] = ls_line("-rwxr-xr-x", "1", "vrek.exe") + ls_line("-rwxr-xr-x", "1", "VREK") +
                                   ls_line("-rwxr-xr-x", "1", "vrek") + ls_line("drwxr-xr-x", "1", "sub") +
                                   ls_line("d-wx------", "1", "shut") + ls_line("-rw-r--r--", "1", "a.vrek") +
                                   ls_line("-rw-r--r--", "1", "b.vrek");
    }
    std::string confirm(int32_t purpose, const std::string& directory, const Names& selected) {
        list(purpose, directory);
        show_file_browser(*app, true);
        for (const std::string& name : selected) browser_click_row(*app, row_of(name));
        reset_call_log();
        browser_confirm(*app);
        std::string out;
        for (const std::string& entry : call_log()) {
            if (entry.compare(0, 18, "show_file_browser:") == 0) continue;
            out += (out.empty() ? "" : " | ") + entry.substr(0, entry.find('\n'));
        }
        return out;
    }
};

TEST_F(ConfirmTest, PurposeAndSelectionDecideWhatIsHandedOn) {
    const std::string kernel_warning = "show_warning_box: Warning: Invalid Kernel Executable";
    EXPECT_EQ(confirm(BROWSER_KERNEL_EXECUTABLE, "/k/", {"vrek.exe"}),
              "apply_kernel_path_setting: /k/vrek.exe | escape_from_popups");
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 0);
    EXPECT_EQ(confirm(BROWSER_KERNEL_EXECUTABLE, "/k/", {"VREK"}), kernel_warning);
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 1);
    EXPECT_EQ(browser().browser_selection.selected_count, 1);
    EXPECT_EQ(confirm(BROWSER_KERNEL_EXECUTABLE, "/k/", {}), kernel_warning);
    EXPECT_EQ(confirm(BROWSER_KERNEL_EXECUTABLE, "/k/", {"vrek", "vrek.exe"}), kernel_warning);
    // One readable directory is entered; an unreadable one does nothing.
    EXPECT_EQ(confirm(BROWSER_KERNEL_EXECUTABLE, "/k/", {"shut/"}), "");
    EXPECT_EQ(browser().browser_directory, "/k/");
    EXPECT_EQ(confirm(BROWSER_EXPORT_LOCATION, "/k/", {"shut/"}), "");
    EXPECT_EQ(confirm(BROWSER_EXPORT_LOCATION, "/k/", {"shut/", "a.vrek"}),
              "show_warning_box: Warning: Invalid Export Location");
    list(BROWSER_KERNEL_EXECUTABLE, "/k/");
    browser().browser_selection = {{0, 0, 0, 0, 0}, 1};
    browser().browser_selection.bits[3] = 1;  // "sub" in listing order
    browser_confirm(*app);
    EXPECT_EQ(listed_directories().back(), "/k/sub/");

    EXPECT_EQ(confirm(BROWSER_ENTITY_WORKSPACE, "/k/", {}),
              "apply_entity_workspace_setting: /k/ | escape_from_popups");
    EXPECT_EQ(confirm(BROWSER_ENTITY_WORKSPACE, "/k/", {"a.vrek"}),
              "show_warning_box: Warning: Invalid Entity Workspace");
    EXPECT_EQ(confirm(BROWSER_ENTITY_WORKSPACE, "/k", {}), "show_warning_box: Warning: Invalid Entity Workspace");

    EXPECT_EQ(confirm(BROWSER_EXPORT_LOCATION, "/k/", {}), "escape_from_popups");
    EXPECT_EQ(app->export_settings.export_directory, "/k/");
    EXPECT_EQ(app->export_location_value.text, "/k/");
    confirm(BROWSER_EXPORT_LOCATION, "/k/", {"a.vrek"});
    EXPECT_EQ(call_log().back(), "show_warning_box: Warning: Invalid Export Location\nNavigate to a valid "
                                         "export location directory.\n\nNote: there should be no files selected.");
    confirm(BROWSER_EXPORT_LOCATION, "", {});
    EXPECT_EQ(call_log().back(), "show_warning_box: Warning: Invalid Export Location\nNavigate to a valid "
                                         "entity export location.\n\nNote: there should be no files selected.");

    EXPECT_EQ(confirm(BROWSER_OPEN_SCRIPT, "/k/", {}), "show_warning_box: Warning: Nothing to Open");
    EXPECT_EQ(confirm(9, "/k/", {}), "");
}

TEST_F(ConfirmTest, OpeningScriptsIsRequestedForTheTick) {
    // Directories may be among the selection.
    EXPECT_EQ(confirm(BROWSER_OPEN_SCRIPT, "/k/", {"a.vrek", "b.vrek", "shut/"}), "");
    EXPECT_EQ(browser().browser_selection.selected_count, 3);
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 0);
    EXPECT_FALSE(app->FILEPANE.visible);
    EXPECT_TRUE(app->OVERLAY.visible);
    EXPECT_EQ(app->pane_open_flags[PANE_OPEN], 1);
    EXPECT_TRUE(app->OPENPANE.visible);
    EXPECT_EQ(app->deferred_requests.deferred_countdown, 5);
    EXPECT_EQ(app->deferred_requests.open_selected_requested, 1);
}

TEST_F(ConfirmTest, EnterGoesToTheTopMostPaneThatConfirms) {
    struct Row {
        std::vector<int32_t> open;
        uint8_t startup_done;
        const char* expected;
    };
    const Row table[] = {
        {{PANE_CONFIRM, PANE_RUN, PANE_FILE}, 1, "accept_confirm_dialog"},
        {{PANE_RUN}, 1, "escape_from_popups | show_warning_box: Warning: Nothing to Assemble"},
        {{PANE_PARSE, PANE_CAPTURE}, 1, "escape_from_popups | show_warning_box: Warning: Nothing to Assemble"},
        {{PANE_CAPTURE}, 1, "save_image: vrek_snapshot_YYYYMMDDhhmmss.png"},
        {{PANE_SCREENSHOT}, 1, "save_image: vrek_screenshot_YYYYMMDDhhmmss.png"},
        {{PANE_PROFILE, PANE_EXPORT}, 1, ""},
        {{PANE_DIRECTIVE}, 0, ""},
        {{PANE_EXPORT}, 1, "show_warning_box: Warning: Invalid Export Options"},
        {{PANE_EXPORT, PANE_FILE}, 1, "escape_from_popups"},
        {{}, 0, "<prepared>"},
        {{}, 1, ""},
    };
    // Valid paths, so that preparing the workspace shows: it points the
    // browser at the workspace.
    TestDir workspace("vk_enter");
    ASSERT_FALSE(workspace.path().empty());
    kernel_path_state = PATH_VALID;
    workspace_path_state = PATH_VALID;
    workspace_path = workspace.path() + "/";
    app->services.save_image = [](const std::string& path, const std::string&, const uint8_t*, int32_t, int32_t,
                                  int32_t, std::string&) {
        record_call("save_image: " + path.substr(path.rfind('/') + 1));
        return true;
    };
    app->capture.snapshot_pixels.assign(512 * 512 * 4, 0);
    app->capture.screenshot_pixels.assign(720 * 480 * 4, 0);
    for (const Row& row : table) {
        list(BROWSER_EXPORT_LOCATION, "/k/");
        app->pane_open_flags = {};
        for (int32_t p : row.open) app->pane_open_flags[static_cast<size_t>(p)] = 1;
        app->startup.startup_done = row.startup_done;
        app->EXPORTPANE.visible = false;
        reset_call_log();
        confirm_active_pane(*app);
        std::string got;
        // Warnings by their titles.
        for (const std::string& entry : call_log())
            got += (got.empty() ? "" : " | ") + entry.substr(0, entry.find('\n'));
        if (browser().browser_directory == workspace_path) got = "<prepared>";
        EXPECT_EQ(got, row.expected) << row.expected;
        if (row.open.size() == 2 && row.open[1] == PANE_FILE) {
            EXPECT_TRUE(app->EXPORTPANE.visible);
            EXPECT_EQ(app->pane_open_flags[PANE_FILE], 0);
        }
    }
}

TEST_F(ConfirmTest, EnterShowsTheConfigurationPaneAgainBeforeARejectedConfirm) {
    list(BROWSER_ENTITY_WORKSPACE, "/k/");
    browser_click_row(*app, row_of("a.vrek"));
    app->pane_open_flags[PANE_FILE] = 1;
    app->startup.startup_done = 0;
    app->configuration_mask.visible = false;
    confirm_active_pane(*app);
    EXPECT_TRUE(app->configuration_mask.visible);
    EXPECT_EQ(first_line(call_log().back()), "show_warning_box: Warning: Invalid Entity Workspace");
    EXPECT_EQ(app->pane_open_flags[PANE_FILE], 1);
}

TEST_F(ConfirmTest, InputActionsChooseByModeAndShift) {
    struct Row {
        uint8_t inline_io, native_io;
        int32_t shift;
        bool browser, native;
    };
    const Row table[] = {
        {1, 0, 0, true, false}, {1, 0, 1, true, false}, {1, 1, 0, true, false},
        {1, 1, 1, false, true}, {0, 1, 0, false, true}, {0, 1, 1, false, true},
        {0, 0, 0, false, false}, {0, 0, 1, false, false},
    };
    for (const Row& row : table) {
        for (int action = 0; action < 2; ++action) {
            app->io_settings.inline_io = row.inline_io;
            app->io_settings.native_io = row.native_io;
            shift_held = row.shift;
            app->pane_open_flags = {};
            app->deferred_requests = DeferredRequests();
            app->OPENPANE.visible = false;
            reset_call_log();
            if (action == 0) open_script_action(*app);
            else open_export_location_action(*app);
            const std::string what = (action ? "export " : "open ") + int_to_text(row.inline_io) +
                                     int_to_text(row.native_io) + int_to_text(row.shift);
            EXPECT_EQ(app->pane_open_flags[PANE_FILE] == 1, row.browser) << what;
            EXPECT_EQ(app->deferred_requests.deferred_countdown == 5, row.native) << what;
            EXPECT_EQ(action == 0 ? app->deferred_requests.native_open_requested : app->deferred_requests.export_folder_requested,
                      row.native ? 1 : 0)
                << what;
            EXPECT_EQ(app->OPENPANE.visible, row.native) << what;
            const bool warned = !row.browser && !row.native;
            ASSERT_EQ(!log_from("show_warning_box").empty(), warned) << what;
            if (warned) {
                EXPECT_EQ(first_line(log_from("show_warning_box")[0]),
                          "show_warning_box: Warning: Inline & Native Input are Disabled");
            }
        }
    }
    shift_held = 0;
}

}  // namespace
