#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "context/caption_tables.h"
#include "context/help_texts.h"
#include "context/keyword_tables.h"
#include "text/split.h"
#include "text/text_utils.h"

template <typename Group>
static std::vector<size_t> group_sizes(const Group& groups) {
    std::vector<size_t> sizes;
    for (const auto& g : groups) sizes.push_back(g.size());
    return sizes;
}

static bool same_texts(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// A table declared longer than its initialiser leaves null entries behind.
static void expect_filled(const TipPair& p, const std::string& where) {
    EXPECT_TRUE(p[0] != nullptr && p[1] != nullptr && p[0][0] != '\0' && p[1][0] != '\0') << where;
}
template <typename Pairs>
static void expect_all_filled(const Pairs& pairs, const std::string& name) {
    for (size_t i = 0; i < pairs.size(); ++i) expect_filled(pairs[i], name + " " + std::to_string(i));
}

TEST(CaptionTables, MenuGroupsHaveTheirSizesAndSettingsRepeatViewGroups) {
    const std::vector<size_t> view = {5, 5, 9, 3, 2, 3, 4, 6};
    EXPECT_EQ(group_sizes(view_menu_item_captions), view);
    EXPECT_EQ(group_sizes(view_menu_item_tips), view);
    // Window has one pair more than captions, for the maximum-frame-rate field.
    EXPECT_EQ(group_sizes(settings_menu_item_captions), (std::vector<size_t>{6, 5, 7, 3, 3, 3, 5, 6, 12, 6}));
    EXPECT_EQ(group_sizes(settings_menu_item_tips), (std::vector<size_t>{7, 5, 7, 3, 3, 3, 5, 6, 12, 6}));

    for (size_t k : {3, 5, 7}) {
        const CaptionGroup &sc = settings_menu_item_captions[k], &vc = view_menu_item_captions[k];
        const TipGroup &st = settings_menu_item_tips[k], &vt = view_menu_item_tips[k];
        ASSERT_TRUE(sc.size() == vc.size() && st.size() == vt.size()) << k;
        for (size_t i = 0; i < sc.size(); ++i) {
            EXPECT_TRUE(same_texts(sc[i], vc[i])) << k << " " << i;
            EXPECT_TRUE(same_texts(st[i][0], vt[i][0]) && same_texts(st[i][1], vt[i][1])) << k << " " << i;
        }
    }
    EXPECT_EQ(algorithm_descriptions[0].size() + algorithm_descriptions[1].size() + algorithm_descriptions[2].size(),
              10u);
    EXPECT_EQ(algorithm_descriptions[1].size(), 4u);  // only Basic-CSG fills a third note
}

TEST(CaptionTables, EveryEntryIsFilled) {
    for (size_t k = 0; k < view_menu_item_tips.size(); ++k) {
        for (const char* c : view_menu_item_captions[k]) EXPECT_NE(c, nullptr) << "view " << k;
        expect_all_filled(view_menu_item_tips[k], "view " + std::to_string(k));
    }
    for (size_t k = 0; k < settings_menu_item_tips.size(); ++k) {
        for (const char* c : settings_menu_item_captions[k]) EXPECT_NE(c, nullptr) << "settings " << k;
        expect_all_filled(settings_menu_item_tips[k], "settings " + std::to_string(k));
    }
    expect_all_filled(view_menu_tips, "view bar");
    expect_all_filled(settings_menu_tips, "settings bar");
    expect_all_filled(tool_bar_left_tips, "left tools");
    expect_all_filled(tool_bar_right_tips, "right tools");
    expect_all_filled(pane_tab_tips, "pane tabs");
    expect_all_filled(slider_tips, "sliders");
    expect_all_filled(colour_function_tips, "colour functions");
    expect_all_filled(trace_toggle_tips, "trace toggles");
    expect_all_filled(parameter_button_tips, "parameter buttons");
    expect_all_filled(camera_directive_bar_tips, "directive bar");
    expect_all_filled(parallel_flags_bar_tips, "parallel bar");
    expect_all_filled(llmi_bar_tips, "inspector bar");
    for (const TipPair& p : {add_environment_tip, about_tip, help_tip, multichannel_colour_tip}) expect_filled(p, "single");
    for (const char* c : colour_function_captions) EXPECT_NE(c, nullptr);
    for (const char* c : view_menu_captions) EXPECT_NE(c, nullptr);
    for (const char* c : settings_menu_captions) EXPECT_NE(c, nullptr);
    for (const CaptionGroup& g : algorithm_descriptions)
        for (const char* line : g) EXPECT_NE(line, nullptr);
}

TEST(HelpTexts, CameraControlBodyHasBlankLinesAndNoTrailingBreak) {
    const std::vector<std::string> lines(movement_hints.begin(), movement_hints.end());
    const std::string body = join_lines(lines, static_cast<int32_t>(lines.size()));
    const std::vector<std::string> rows = split(body, '\n');
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[2], "");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), std::string()), 4);
    EXPECT_EQ(rows[9], "[ Shift, Control ] \t Speed-Factor Modifier");
    EXPECT_NE(body.back(), '\n');
}

TEST(HelpTexts, EachAlgorithmDimsItsMissingCapabilities) {
    const std::vector<std::vector<std::string>> dimmed = {
        {"- difference", "& intersect", "3D-printable"},  // Pure-Union
        {"low-poly", "gouraud\nshadable"},                // Basic-CSG
        {},                                               // Optimal-CSG
    };
    for (size_t k = 0; k < 3; ++k) {
        std::vector<std::string> off;
        for (size_t i = 0; i < algorithm_feature_labels.size(); ++i)
            if (algorithm_capabilities[k][i] == 0) off.push_back(algorithm_feature_labels[i]);
        EXPECT_EQ(off, dimmed[k]) << k;
    }
}

TEST(KeywordTables, TypeWordLookupIsExactAndFallsBackToUndefined) {
    for (int32_t code = PARAMETER_INT; code < PARAMETER_UNDEFINED; ++code)
        EXPECT_EQ(parameter_type_code(parameter_type_keywords[code]), code) << parameter_type_keywords[code];
    for (const char* word : {"int", " INT", "INT ", "ETX", "", "UNDEFINED"})
        EXPECT_EQ(parameter_type_code(word), PARAMETER_UNDEFINED) << '"' << word << '"';
    EXPECT_EQ(parameter_type_code("ET"), PARAMETER_ET);
    EXPECT_EQ(parameter_type_code(std::string("ET\0", 3)), PARAMETER_UNDEFINED);
}
