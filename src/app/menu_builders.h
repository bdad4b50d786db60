#pragma once
#include <cstdint>
#include <vector>

#include "context/caption_tables.h"

struct AppContext;
struct Element;
struct FillLayout;

// One view menu's strip of item buttons: captions, tool-tips, widths by the
// measured captions, the strip in its hidden host under TIPSCROLL. `items`
// is sized to the captions; the result points at its elements.
std::vector<Element*> build_view_menu_strip(AppContext& app, int32_t menu, int32_t icon, CaptionGroup captions,
                                            TipGroup tips, FillLayout& strip, FillLayout& host,
                                            std::vector<Element>& items);
// One settings menu's column of item buttons in its hidden host under
// settings_menu_columns.
std::vector<Element*> build_settings_menu_column(AppContext& app, int32_t menu, int32_t icon,
                                                 CaptionGroup captions, TipGroup tips, FillLayout& column,
                                                 FillLayout& host, std::vector<Element>& items);
