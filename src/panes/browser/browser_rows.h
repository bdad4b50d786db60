#pragma once
#include <cstddef>
#include <cstdint>

struct AppContext;
struct Element;

// One row of the file browser: its five labels from the entry it shows, in
// the theme's colours or the fixed colours of executables and other files.

// Display tag of an entry kind ("DIR", "EXE", "SRC", "-", " ").
const char* entry_kind_tag(uint8_t kind);

// Sets row r's five labels from entry row_order[r] and its selected state
// from the entry's selection bit.
void label_browser_row(AppContext& app, size_t row);

// Packed colours of the rows.
constexpr uint32_t browser_hover_rgba = 0x1F7F7F7Fu;
constexpr uint32_t browser_executable_rgba = 0xFFFF7F3Fu;
constexpr uint32_t browser_other_file_rgba = 0xFF808080u;

// The theme's text colour on a browser label.
void theme_browser_text(Element& label);
