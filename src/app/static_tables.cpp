// Every global of the program that is built before main, in one fixed order
// of construction (and so destroyed at exit in the reverse order). Fixed
// texts, keyword tables, glyph tables, typefaces, the colour palette and the
// render-target records need no building: they are constant-initialised
// where they are defined and exist before anything here runs.

#include <atomic>
#include <string>
#include <vector>

#include "app/tables.h"
#include "art/font_atlas.h"
#include "art/glyphs.h"
#include "art/icon_raster.h"
#include "art/icon_table.h"
#include "art/typeface.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/parallel_jobs.h"
#include "platform/paths.h"
#include "render/frame_renderer.h"
#include "render/colour_by.h"
#include "ui/theme.h"

// Shared constants.
std::vector<uint32_t> console_glyph_widths(glyph_width_tables[3].begin(), glyph_width_tables[3].end());

// Paths and their status texts, from the path states (0, UNDEFINED, at load).
std::string kernel_path;
std::string workspace_path;
std::string kernel_path_status = path_state_names[kernel_path_state];
std::string workspace_path_status = path_state_names[workspace_path_state];

// The texts of one kernel run.
std::string kernel_trace_text;
std::string script_trace_text;
std::string file_io_trace_text;
std::string error_trace_text;
std::string kernel_end_text;
std::string kernel_error_report;
std::string script_read_reason;

std::vector<double> element_colour_scratch;
ParallelJobTable parallel_job_table;

// Icons.
const IconRecord sphere_icon = build_sphere_icon();
const std::vector<IconRecord> icon_table = build_icon_table();
const std::vector<IconFraming> icon_framing_table = build_framing_table();

// Pixel buffers and glyph outlines, filled by the art generators at start-up.
LogoImage logo_image;
IconAtlas icon_atlas;
FontAtlas font_atlas;
std::array<GlyphOutline, 256> glyph_outlines;

// Themes, filled before main so that widgets bound at start-up see colours.
Theme themes[theme_record_count];
Theme& active_theme = themes[0];
static const bool themes_built = (build_theme_table(), true);

// The application context is made by the application's main (on the heap)
// and the render-target records are constant. Last, the renderer's own
// state, which its first frame fills.
FrameRenderer frame_renderer;
