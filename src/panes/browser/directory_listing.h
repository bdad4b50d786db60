#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/app_context.h"

// The inline file browser has no file-system access of its own: a listing
// runs "ls" and parses its long listing.

// Runs a program and returns its standard output and error together ("" when
// it cannot start).
using ListingRunner = std::string (*)(const std::string& program, const std::vector<std::string>& arguments);

// The runner list_directory uses; null restores the real child process.
void set_listing_runner(ListingRunner runner);

// The arguments list_directory gives "ls" for `directory`.
std::vector<std::string> listing_arguments(const std::string& directory);

// Parses `ls -l -b --block-size=1 --time-style=long-iso` text: the entries
// `purpose` admits, in listing order, names unescaped to their exact bytes.
// Lines that do not have the shape of a long-listing entry are skipped.
BrowserListing parse_ls_listing(const std::string& text, int32_t purpose);

// The bytes an `ls -b` escaped name stands for.
std::string unescape_ls_name(const std::string& escaped);

// Lists `directory` for the browser's current purpose and rebuilds the
// tables, the sort order, the path bar, the rows and the captions. The
// selection is cleared; the browser's visibility is left alone.
void list_directory(AppContext& app, const std::string& directory);

// Display tag of an entry kind ("DIR", "EXE", "SRC", "-", " ").
const char* entry_kind_tag(uint8_t kind);

// Sets row r's five labels from entry row_order[r] and its selected state
// from the entry's selection bit.
void label_browser_row(AppContext& app, size_t row);

// Packed colours of the rows.
constexpr uint32_t browser_hover_rgba = 0x1F7F7F7Fu;
constexpr uint32_t browser_executable_rgba = 0xFFFF7F3Fu;
constexpr uint32_t browser_other_file_rgba = 0xFF808080u;
