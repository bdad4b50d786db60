// Keyboard stepping of the file browser's selection against a naive model
// that takes one step at a time, as the browser's own rule is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "panes/browser/browser_selection.h"
#include "support/app_fixture.h"

namespace {

// The rule, one step at a time: marks by display row, the selected count and
// the list's scroll fraction.
struct NaiveBrowser {
    std::vector<uint8_t> marks;
    int count = 0;
    double f = 0.0;
    int R = 32, V = 320, C = 0;

    int first_mark() const {
        for (size_t r = 0; r < marks.size(); ++r)
            if (marks[r]) return static_cast<int>(r);
        return -1;
    }
    void scroll_to(int t) {
        if (C <= V) return;
        const int offset = static_cast<int>((C - V) * f);
        if (offset <= t * R && t * R + R <= V + offset) return;
        f = std::clamp(f + static_cast<double>(t * R + R / 2 - (offset + V / 2)) / (C - V), 0.0, 1.0);
    }
    void step(int d) {
        const int n = static_cast<int>(marks.size());
        if (n == 0) return;
        int target = 0;
        if (count == 0) {
            marks[0] = 1;
            count = 1;
        } else if (count == 1) {
            const int r = first_mark();
            if (r < 0) return;
            target = r;
            if (r + d >= 0 && r + d < n) {
                marks[static_cast<size_t>(r)] = 0;
                marks[static_cast<size_t>(r + d)] = 1;
                target = r + d;
            }
        } else {
            target = first_mark();
            std::fill(marks.begin(), marks.end(), 0);
            marks[static_cast<size_t>(target)] = 1;
            count = 1;
        }
        scroll_to(target);
    }
    void steps(int d, int k) {
        for (int i = 0; i < k; ++i) step(d);
    }
};

struct BrowserSelection : AppFixture {
    NaiveBrowser model;

    FileBrowserState& browser() { return app->file_browser_state; }

    // n entries shown in a shuffled order, a view of `view` pixels.
    void list(int n, int view, std::mt19937& random) {
        FileBrowserState& b = browser();
        b.browser_row_order.resize(static_cast<size_t>(n));
        std::iota(b.browser_row_order.begin(), b.browser_row_order.end(), 0);
        std::shuffle(b.browser_row_order.begin(), b.browser_row_order.end(), random);
        b.browser_selection.bits.assign(static_cast<size_t>(n), 0);
        b.browser_selection.selected_count = 0;
        b.browser_list_content_height = n * 32;
        b.browser_list_scroll = std::uniform_real_distribution<double>(0.0, 1.0)(random);
        app->browser_list_frame.height = view;
        app->browser_rows.clear();
        app->browser_rows.resize(static_cast<size_t>(n));
        model = NaiveBrowser{std::vector<uint8_t>(static_cast<size_t>(n), 0), 0, b.browser_list_scroll, 32, view,
                             n * 32};
    }
    void toggle_row(int r) {
        FileBrowserState& b = browser();
        uint8_t& bit = b.browser_selection.bits[static_cast<size_t>(b.browser_row_order[static_cast<size_t>(r)])];
        bit ^= 1;
        b.browser_selection.selected_count += bit ? 1 : -1;
        app->browser_rows[static_cast<size_t>(r)].selected = bit != 0;
        model.marks[static_cast<size_t>(r)] ^= 1;
        model.count += model.marks[static_cast<size_t>(r)] ? 1 : -1;
    }
    // Marks, row check marks, count and fraction agree with the model.
    void expect_model(const std::string& where) {
        const FileBrowserState& b = browser();
        for (size_t r = 0; r < model.marks.size(); ++r) {
            const uint8_t bit = b.browser_selection.bits[static_cast<size_t>(b.browser_row_order[r])];
            ASSERT_EQ(bit, model.marks[r]) << where << " row " << r;
            ASSERT_EQ(app->browser_rows[r].selected, bit != 0) << where << " row " << r;
        }
        ASSERT_EQ(b.browser_selection.selected_count, model.count) << where;
        ASSERT_EQ(b.browser_list_scroll, model.f) << where;
    }
};

TEST_F(BrowserSelection, RandomKeysFollowTheStepwiseRule) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 60; ++round) {
        const int n = std::uniform_int_distribution<int>(0, 120)(random);
        // Views from below one row to taller than the whole list.
        const int view = std::uniform_int_distribution<int>(0, 12)(random) * 27 + 5;
        list(n, view, random);
        for (int op = 0; op < 40; ++op) {
            const int k = std::uniform_int_distribution<int>(0, 8)(random);
            const int pages = view / 32;
            switch (k) {
                case 0: file_browser_select_next(*app), model.step(1); break;
                case 1: file_browser_select_previous(*app), model.step(-1); break;
                case 2: file_browser_page_down(*app), model.steps(1, pages); break;
                case 3: file_browser_page_up(*app), model.steps(-1, pages); break;
                case 4: file_browser_select_last(*app), model.steps(1, n + 1); break;
                case 5: file_browser_select_first(*app), model.steps(-1, n + 1); break;
                case 6:
                    clear_file_selection(*app);
                    std::fill(model.marks.begin(), model.marks.end(), 0), model.count = 0;
                    break;
                default:
                    if (n > 0) toggle_row(std::uniform_int_distribution<int>(0, n - 1)(random));
            }
            expect_model("round " + std::to_string(round) + " op " + std::to_string(op) + " key " +
                         std::to_string(k));
        }
    }
}

// The clear button on the published context.
TEST_F(BrowserSelection, ClearButtonUnmarksEveryRow) {
    std::mt19937 random(7);
    list(10, 320, random);
    toggle_row(3);
    toggle_row(7);
    app_instance = app.get();
    on_click_clear_file_selection();
    EXPECT_EQ(browser().browser_selection.selected_count, 0);
    EXPECT_TRUE(std::none_of(app->browser_rows.begin(), app->browser_rows.end(),
                             [](const FillLayout& row) { return row.selected; }));
    app_instance = nullptr;
}

}  // namespace
