#pragma once
#include <cstdint>
#include <string>

#include "context/app_context.h"

// Opening the inline file browser for one purpose and moving it around the
// file system. Every move lists a directory anew; none changes the purpose
// or closes the browser.

// Openers: set the purpose, list the start directory, set the captions and
// show the browser.
void open_kernel_browser(AppContext& app);
void open_workspace_browser(AppContext& app);
void open_script_browser(AppContext& app);
// The inline branch of the export-location action.
void open_export_browser(AppContext& app);

// The process's current directory (trimmed) followed by "/".
std::string current_directory_slash();

void browser_go_home(AppContext& app);
// Lists all path components but the last; nothing with fewer than two.
void browser_go_up(AppContext& app);
// With exactly one entry selected and that a directory: enters it.
void browser_enter_selected_dir(AppContext& app);
// Lists path components 0 .. i.
void browser_open_path_prefix(AppContext& app, int32_t i);
void browser_refresh(AppContext& app);
// Display row r: a readable directory is entered, anything else toggles its
// selection. Rows out of range are ignored.
void browser_click_row(AppContext& app, int32_t r);
// Selects every file not yet selected; directories never.
void browser_select_all_files(AppContext& app);
// Select-all for the open-script browser only.
void browser_select_all(AppContext& app);
void browser_select_all_and_redraw(AppContext& app);

// The same moves followed by a refresh of the tree.
void browser_go_home_and_redraw(AppContext& app);
void browser_go_up_and_redraw(AppContext& app);
void browser_enter_selected_dir_and_redraw(AppContext& app);
void browser_refresh_and_redraw(AppContext& app);

// An entry of kind Directory with owner read permission.
bool readable_directory(const FileBrowserState& browser, size_t entry);

// Bound callbacks on the published context.
void on_kernel_browser_button();
void on_workspace_browser_button();
void on_browser_home_button();
void on_browser_refresh_button();
void on_browser_select_all_button();
// Path bar and entry list: act on the hovered element's user index when it
// is a path component or a row; anything else is ignored.
void on_browser_path_click();
void on_browser_row_click();
