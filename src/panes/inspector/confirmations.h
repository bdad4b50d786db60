#pragma once
#include <cstdint>
#include <string>

struct AppContext;

using ConfirmCallback = void (*)();

// Fills and opens the confirmation pane: the action runs five ticks after
// OK, the cancel callback at once on Cancel or Escape.
void show_confirm_dialog(AppContext& app, const std::string& title, const std::string& text, int32_t icon,
                         ConfirmCallback cancel, ConfirmCallback action);

// The confirmations of destructive or slow operations. Invalid indices and
// missing selections open nothing.
void confirm_delete_entity(AppContext& app, int32_t entity_index);
void confirm_reset_parameter(AppContext& app, int32_t parameter_index);
void confirm_reset_parameters(AppContext& app);
void confirm_reassemble_entity(AppContext& app, int32_t entity_index);

// "Confirm Reset of " + scope + " Entity Parameter Value" + plural, from how
// many of the entity's parameters are selected.
std::string reset_parameters_title(int32_t selected, int32_t total);

// The file name of a script path (after the last "/" or "\\").
std::string script_file_name(const std::string& path);

// Bound callbacks.
void on_click_reset_parameters();
