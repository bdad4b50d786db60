#include <gtest/gtest.h>

#include "context/tables.h"
#include "art/icon_table.h"
#include "art/typeface.h"
#include "platform/paths.h"
#include "ui/theme.h"

// Reads the globals as main finds them: nothing in this program sets a path
// or touches a table before these checks.
TEST(StaticTables, BuiltBeforeMainInTheirOrder) {
    EXPECT_EQ(kernel_path_status, "UNDEFINED");
    EXPECT_EQ(workspace_path_status, "UNDEFINED");
    EXPECT_TRUE(kernel_path.empty());

    for (int face = 0; face < typeface_count; ++face) {
        EXPECT_EQ(&typefaces[face].glyph_widths, &glyph_width_tables[face]) << face;
        EXPECT_EQ(&typefaces[face].glyph_offsets, &glyph_offset_tables[face]) << face;
        EXPECT_GT(typefaces[face].glyph_widths['A'], 0u) << face;
    }

    // Builders that run during static initialisation saw their inputs built.
    EXPECT_EQ(icon_table.size(), 57u);
    EXPECT_EQ(icon_framing_table.size(), icon_table.size());
    EXPECT_EQ(active_theme.palettes[11].stops.size(), 8u);
}
