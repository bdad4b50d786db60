#include "panes/inspector/entity_operations.h"

#include <iterator>

#include "context/app_context.h"
#include "render/colour_by.h"

namespace {

uint32_t channel(double c) { return static_cast<uint32_t>(unit_to_byte(c)); }

}  // namespace

void build_colour_ramp(AppContext& app) {
    const bool hues = app.render_flags.multichannel_colour != 0;
    for (size_t i = 0; i < std::size(app.hue_swatches); ++i) {
        const double t = static_cast<double>(i) / 10.0;
        const Rgb c = hues ? hue_to_rgb(t) : Rgb{t, t, t};
        app.hue_swatches[i].background_rgba = 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
    }
}
