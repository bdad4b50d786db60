#pragma once
#include <array>

#include "ui/element.h"

// One row of the minimal layout's command list. A caption that begins with
// a tab is an item, any other a heading; rows without an action ignore
// clicks.
struct CommandRecord {
    const char* caption;
    ClickCallback action;
};

constexpr size_t command_row_count = 120;
extern const std::array<CommandRecord, command_row_count> command_table;
