// The inspector's pick mode as the hint bar shows it over the 3D view, in the
// real application under a private X server: the keys of the LL-Inspector
// strip are clicked and the mesh hovered with real pointer events, and the
// letter in the bar's first cell is read back off the screen by comparing
// its ink with the glyphs of the font atlas.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "art/font_atlas.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

int luminance(uint32_t rgb) { return int(rgb >> 16 & 0xff) + int(rgb >> 8 & 0xff) + int(rgb & 0xff); }

// The font atlas as the GPU holds it: the application frees its pixels once
// they are uploaded, so they are drawn again here.
const std::vector<uint8_t>& atlas_pixels() {
    static const std::vector<uint8_t> pixels = [] {
        rasterise_font_atlas(1);
        std::vector<uint8_t> copy;
        copy.swap(font_atlas.pixels);
        return copy;
    }();
    return pixels;
}

// Glyph `code` of `face` as it lands on screen: the atlas holds it at twice
// the size, upside down, and the sampler averages 2 x 2 texels per pixel.
std::vector<double> glyph_coverage(const Typeface& face, unsigned char code) {
    const std::vector<uint8_t>& atlas = atlas_pixels();
    const int w = int(face.glyph_widths[code]), h = int(face.line_height), off = int(face.glyph_offsets[code]);
    const int top = font_atlas_height - font_band_rows * int(face.index);
    std::vector<double> out(size_t(w) * h, 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (int r = top - 2 * y - 2; r < top - 2 * y; ++r)
                for (int c = 2 * (off + x); c < 2 * (off + x) + 2; ++c)
                    sum += atlas[(size_t(r) * font_atlas_width + c) * 4 + 3];
            out[size_t(y) * w + x] = sum / (4 * 255.0);
        }
    return out;
}

// The one letter of `candidates` drawn in `cell` of the screen in `face`:
// "" when the cell holds no ink, "?" when no letter fits. Each letter is
// tried at every place in the cell and scored by how well the whole cell's
// ink (against the background of its left column) matches it.
std::string read_letter(const Picture& shot, const ScreenRect& cell, const Typeface& face,
                        const std::string& candidates) {
    const int W = cell.w, H = cell.h;
    if (cell.empty() || !shot.inside(cell.x, cell.y) || !shot.inside(cell.x + W - 1, cell.y + H - 1)) return "?";
    std::vector<double> ink(size_t(W) * H);
    double peak = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int d = std::abs(luminance(shot.at(cell.x + x, cell.y + y)) - luminance(shot.at(cell.x, cell.y + y)));
            ink[size_t(y) * W + x] = d;
            peak = std::max(peak, double(d));
        }
    if (peak < 90) return "";
    const auto centred = [](std::vector<double> v) {
        double mean = 0, norm = 0;
        for (double a : v) mean += a;
        mean /= double(v.size());
        for (double& a : v) a -= mean, norm += a * a;
        for (double& a : v) a /= std::sqrt(norm) + 1e-9;
        return v;
    };
    const std::vector<double> seen = centred(ink);
    std::string best = "?";
    double best_score = 0.8;
    for (char letter : candidates) {
        const unsigned char code = static_cast<unsigned char>(letter);
        const int gw = int(face.glyph_widths[code]), gh = int(face.line_height);
        const std::vector<double> glyph = glyph_coverage(face, code);
        for (int oy = 0; oy + gh <= H; ++oy)
            for (int ox = 0; ox + gw <= W; ++ox) {
                std::vector<double> want(ink.size(), 0.0);
                for (int y = 0; y < gh; ++y)
                    for (int x = 0; x < gw; ++x) want[size_t(oy + y) * W + ox + x] = glyph[size_t(y) * gw + x];
                want = centred(want);
                double score = 0;
                for (size_t i = 0; i < want.size(); ++i) score += want[i] * seen[i];
                if (score > best_score) best_score = score, best = std::string(1, letter);
            }
    }
    return best;
}

bool shown(const Element& e) { return e.visible && e.abs_width > 0 && e.abs_height > 0; }

struct PickModeCell : testing::Test {
    SampleWorkspace sample;
    LiveApplication live;
    AppContext& app = *live.app;
    MeshRelease release_meshes{app};
    int rest_x = -1, rest_y = -1;

    void SetUp() override {
        ASSERT_TRUE(live.start_configured(sample.workspace()));
        ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    }

    Element* with_tip(const std::string& title) {
        return find_shown(app, [&](Element& e) { return e.tooltip_title != nullptr && title == e.tooltip_title; });
    }
    bool click(const std::string& tip_title) {
        Element* e = with_tip(tip_title);
        return e != nullptr && live.click(*e) && live.await_frames();
    }
    Container* hint_bar() {
        auto* bar = dynamic_cast<Container*>(named(app, "HINTBAR"));
        return bar != nullptr && shown(*bar) ? bar : nullptr;
    }
    // The bar's text that starts with `prefix`, as drawn.
    Element* readout(const std::string& prefix) {
        Container* bar = hint_bar();
        if (bar == nullptr) return nullptr;
        return find_shown(*bar, [&](Element& e) { return e.text.rfind(prefix, 0) == 0; });
    }
    // The pointer onto the gate: a sweep of the view the first time, the
    // same point after. The view takes the pick's tips on the frame after
    // the pointer arrives; they show on the next motion.
    bool hover_at(int x, int y, const std::string& prefix) {
        return live.move_to(x, y) && live.await_frames() && live.move_to(x + 1, y) &&
               live.pump_until([&] { return readout(prefix) != nullptr; }, 400);
    }
    bool hover_mesh(const std::string& prefix) {
        if (rest_x >= 0) return hover_at(rest_x, rest_y, prefix);
        Element* view = named(app, "CONTENTPANE");
        if (view == nullptr) return false;
        for (int j = 2; j < 6; ++j)
            for (int i = 1; i < 16; ++i) {
                rest_x = view->abs_x + view->abs_width * i / 16, rest_y = view->abs_y + view->abs_height * j / 8;
                if (hover_at(rest_x, rest_y, prefix)) return true;
            }
        return false;
    }
    // What the bar's first cell reads, with the frame for it on screen.
    std::string mode_text(const std::string& shot_name) {
        live.await_frames();
        const Picture shot = grab_canvas(live);
        save_picture(shot, "panes", shot_name);
        Container* bar = hint_bar();
        if (bar == nullptr || bar->children.empty() || !shown(*bar->children[0])) return "";
        const Element& cell = *bar->children[0];
        // Inside its right border, the letters that name a mode.
        const ScreenRect r = {cell.abs_x, cell.abs_y, cell.abs_width - cell.border_right.width, cell.abs_height};
        return read_letter(shot, r, *cell.typeface, "TPGOEU");
    }
};

TEST_F(PickModeCell, TheHintBarLeadsWithTheModeLetterWhileReadingOutAPick) {
    ASSERT_TRUE(click("ll-inspector"));
    ASSERT_TRUE(click("ll-pick-mode: triangle"));
    ASSERT_TRUE(hover_mesh("triangle : ")) << "no triangle read out over the gate";
    EXPECT_EQ(mode_text("pick_mode_triangle"), "T");

    // Beside the readout: inside the bar, clear of the icon and both texts.
    Container* bar = hint_bar();
    ASSERT_TRUE(bar != nullptr && bar->children.size() >= 4);
    const ScreenRect cell = rect_of(*bar->children[0]);
    const Typeface& face = *bar->children[0]->typeface;
    EXPECT_TRUE(cell.x >= bar->abs_x && cell.y >= bar->abs_y && cell.x + cell.w <= bar->abs_x + bar->abs_width &&
                cell.y + cell.h <= bar->abs_y + bar->abs_height)
        << show(cell) << " outside " << show(rect_of(*bar));
    for (size_t k = 1; k < bar->children.size(); ++k) {
        const Element& other = *bar->children[k];
        if (!shown(other)) continue;
        EXPECT_FALSE(cell.overlaps(rect_of(other))) << show(cell) << " over " << show(rect_of(other));
    }

    ASSERT_TRUE(click("ll-pick-mode: polygon"));
    ASSERT_TRUE(hover_mesh("polygon : "));
    EXPECT_EQ(mode_text("pick_mode_polygon"), "P");

    // Mode none: nothing picks, nothing names a mode where the cell was.
    ASSERT_TRUE(click("ll-pick-mode: none"));
    EXPECT_FALSE(hover_at(rest_x, rest_y, "polygon : "));
    EXPECT_EQ(mode_text("pick_mode_none"), "");
    const std::string left = read_letter(grab_canvas(live), cell, face, "TPGOEU");
    EXPECT_TRUE(left.empty() || left == "?") << left;
}

}  // namespace
