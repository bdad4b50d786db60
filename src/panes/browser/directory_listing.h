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

// Layout of the browser's directory label: the directory refitted to the
// label's new width.
void on_layout_browser_directory(int32_t width, int32_t height);
