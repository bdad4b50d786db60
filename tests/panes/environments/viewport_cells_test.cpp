#include <random>

#include "panes/env_test_support.h"
#include "panes/environments/viewport_cells.h"
#include "model/camera.h"

namespace {

struct CellTest : EnvironmentFixture {
    Viewport& vp = app->multi_view_viewport;
    CellTest() { capture_stdout(); }

    void split(int32_t cell, char axis) {
        vp.hovered_cell = cell;
        split_viewport_cell(*app, axis);
    }
    void close(int32_t cell) {
        vp.hovered_cell = cell;
        close_viewport_cell(*app);
    }
    // Marks cell k's camera state with a value of its own.
    void tag(size_t k, double value) { vp.cell_cameras.at(k * CAMERA_STATE_SIZE + 18) = value; }
    double tag_of(size_t k) { return vp.cell_cameras.at(k * CAMERA_STATE_SIZE + 18); }
};

// What the random test below leaves out: the recorded splits, the ratio,
// the printed record, and the live camera reloaded when its cell closes.
TEST_F(CellTest, ClosingMergesWithTheParentAndReindexesLaterSplits) {
    split(0, 'X');
    EXPECT_EQ(vp.recorded_ratios, (std::vector<double>{0.5}));
    split(1, 'Y');
    EXPECT_NE(captured_stdout().find("SPLIT-ID:1;"), std::string::npos);
    tag(0, 100), tag(1, 101), tag(2, 102);
    vp.current_cell = 1;
    close(2);  // another cell closed: camera untouched
    EXPECT_EQ(app->camera.orbit_distance, 4.0);

    split(1, 'Y');
    tag(2, 102);
    vp.current_cell = 0;
    close(0);  // the first split goes; the second now splits cell 0
    EXPECT_EQ(vp.cell_count, 2);
    EXPECT_EQ(vp.recorded_cells, (std::vector<int32_t>{0}));
    EXPECT_EQ(vp.recorded_axes, (std::vector<char>{'Y'}));
    EXPECT_EQ(vp.current_cell, 0);
    EXPECT_EQ(tag_of(0), 101);
    EXPECT_EQ(app->camera.orbit_distance, 101);  // the live cell closed: reloaded

    // No current cell, or the only cell: nothing changes but a reload.
    close(-1);
    EXPECT_EQ(vp.cell_count, 2);
    close(0);
    close(0);
    EXPECT_EQ(vp.cell_count, 1);
    tag(0, 7);
    close(0);
    EXPECT_EQ(vp.cell_count, 1);
    EXPECT_EQ(app->camera.orbit_distance, 7);
}

// Random sequences against a model of the cells' camera states: a state
// follows its cell through splits and closes, and the live cell follows too.
TEST_F(CellTest, RandomSplitsAndClosesKeepOneStatePerCell) {
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    std::vector<double> model = {0.0};
    int32_t live = 0;
    double next_tag = 1;
    tag(0, 0);
    for (int step = 0; step < 400; ++step) {
        const int32_t n = vp.cell_count;
        const int32_t cell = std::uniform_int_distribution<int32_t>(-1, n)(rng);
        vp.current_cell = live;
        if (rng() % 3 != 0 && n < 24) {
            split(cell, rng() % 2 ? 'X' : 'Y');
            if (cell >= 0 && cell < n) {
                model.insert(model.begin() + cell + 1, model[static_cast<size_t>(cell)]);
                if (live > cell) ++live;
                tag(static_cast<size_t>(cell) + 1, next_tag);
                model[static_cast<size_t>(cell) + 1] = next_tag++;
            }
        } else {
            const bool closes = cell >= 0 && cell < n && n > 1;
            close(cell);
            if (closes) {
                model.erase(model.begin() + cell);
                if (live == cell) live = 0;
                else if (live > cell) --live;
            }
        }
        ASSERT_EQ(vp.cell_count, 1 + vp.recorded_split_count) << "seed " << seed;
        ASSERT_EQ(vp.cell_cameras.size(), model.size() * CAMERA_STATE_SIZE) << "seed " << seed;
        for (size_t k = 0; k < model.size(); ++k) ASSERT_EQ(tag_of(k), model[k]) << "seed " << seed << " cell " << k;
        ASSERT_EQ(vp.current_cell, live) << "seed " << seed;
    }
}

}  // namespace
