#include <gtest/gtest.h>

#include "panes/browser/browser_navigation.h"
#include "panes/browser/browser_rows.h"
#include "panes/browser/browser_sort.h"
#include "panes/browser/browser_test_support.h"
#include "panes/layout/pane_layouts.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

using Names = std::vector<std::string>;

// Everything a listing can hold, including what no purpose may admit.
std::string mixed_listing() {
    return "total 1234\n" + ls_line("-rw-r--r--", "10", "notes.txt") + ls_line("-rw-r--r--", "20", "Model.VREK") +
           ls_line("drwxr-xr-x", "4096", "src") + ls_line("-rwxr-xr-x", "30", "vrek") +
           ls_line("-rw-r--r--", "40", "vrekp") + ls_line("-rwxr-xr-x", "50", "VREK.EXE") +
           ls_line("-rwxr-xr-x", "60", "tool") + ls_line("-rw-r--r--", "70", "my\\ file.vrek") +
           ls_line("lrwxrwxrwx", "8", "link.vrek -> ../m.vrek") + ls_line("prw-r--r--", "0", "fifo.vrek") +
           ls_line("srwxr-xr-x", "0", "vrek") + "crw-rw-rw- 1 root root 1, 3 2026-12-01 10:00 null.vrek\n" +
           "-????????? ? ? ? ?                ? hidden.vrek\n" +
           "ls: cannot access 'x.vrek': Permission denied\n" + "-rw-r--r-- 1 user staff 5 2026-12-01\n" +
           "-rw-r--r-- 1 user staff 12x 2026-12-01 10:00 bad.vrek\n" + ls_line("-rw-r--r--", "90", "b.vrek -> x") +
           ls_line("-rw-r--r--+", "1234567", "big.bin", "2025-01-02", "23:59");
}

TEST(ParseLsListing, AdmitsByPurposeAndSkipsEveryMalformedLine) {
    const std::string text = mixed_listing();
    EXPECT_EQ(parse_ls_listing(text, BROWSER_OPEN_SCRIPT).names,
              (Names{"Model.VREK", "src/", "my file.vrek", "link.vrek"}));
    EXPECT_EQ(parse_ls_listing(text, BROWSER_KERNEL_EXECUTABLE).names, (Names{"src/", "vrek", "VREK.EXE"}));
    const Names files{"notes.txt", "Model.VREK", "src/", "vrek", "vrekp", "VREK.EXE", "tool", "my file.vrek",
                      "b.vrek -> x", "big.bin"};
    EXPECT_EQ(parse_ls_listing(text, BROWSER_ENTITY_WORKSPACE).names, files);
    EXPECT_EQ(parse_ls_listing(text, BROWSER_EXPORT_LOCATION).names, files);
    EXPECT_TRUE(parse_ls_listing(text, 7).names.empty());
    EXPECT_TRUE(parse_ls_listing("", BROWSER_OPEN_SCRIPT).names.empty());
}

TEST(ParseLsListing, FillsEveryTableAndKeepsTheLinkTargetOutOfTheName) {
    const BrowserListing l = parse_ls_listing(mixed_listing(), BROWSER_ENTITY_WORKSPACE);
    ASSERT_EQ(l.count(), 10u);
    EXPECT_EQ(l.kinds, (std::vector<uint8_t>{ENTRY_OTHER_FILE, ENTRY_SCRIPT, ENTRY_DIRECTORY, ENTRY_EXECUTABLE,
                                             ENTRY_OTHER_FILE, ENTRY_EXECUTABLE, ENTRY_EXECUTABLE, ENTRY_SCRIPT,
                                             ENTRY_OTHER_FILE, ENTRY_OTHER_FILE}));
    EXPECT_EQ(l.size_texts[9], "1,234,567 bytes");
    EXPECT_EQ(l.sizes[9], 1234567);
    EXPECT_EQ(l.dates[9], "2025-01-02");
    EXPECT_EQ(l.times[9], "23:59");
    EXPECT_EQ(l.permissions[9], "-rw-r--r--+");
    EXPECT_EQ(l.sort_names[1], "model.vrek");
    EXPECT_EQ(l.sort_names[2], "src/");

    const BrowserListing scripts = parse_ls_listing(mixed_listing(), BROWSER_OPEN_SCRIPT);
    EXPECT_EQ(scripts.names[3], "link.vrek");
    EXPECT_EQ(scripts.link_targets[3], " -> ../m.vrek");
    EXPECT_EQ(scripts.kinds[3], ENTRY_SCRIPT);
    EXPECT_EQ(scripts.link_targets[0], "");
    // A link whose name ends in "vrek" is a kernel candidate.
    EXPECT_EQ(parse_ls_listing(ls_line("lrwxrwxrwx", "9", "vrek -> /opt/k/vrek"), BROWSER_KERNEL_EXECUTABLE).names,
              Names{"vrek"});
}

TEST(ParseLsListing, UnescapesNamesToTheirExactBytes) {
    EXPECT_EQ(unescape_ls_name("\\ lead\\ \\ two\\ "), " lead  two ");
    EXPECT_EQ(unescape_ls_name("a\\\\b\\\"c'd"), "a\\b\"c'd");
    EXPECT_EQ(unescape_ls_name("n\\nt\\tr\\rv\\va\\ab\\bf\\f"), "n\nt\tr\rv\va\ab\bf\f");
    EXPECT_EQ(unescape_ls_name("\\377\\376\\303\\251\\0017"), std::string("\xff\xfe\xc3\xa9\x01" "7"));
    EXPECT_EQ(unescape_ls_name("-\\-\\?x\\"), "--?x\\");
    // A newline and a fake listing line inside one escaped name stay one entry.
    const std::string crafted = "x\\n-rwxr-xr-x\\ 1\\ u\\ g\\ 1\\ 2026-12-01\\ 10:00\\ vrek";
    const BrowserListing l = parse_ls_listing(ls_line("-rwxr-xr-x", "1", crafted), BROWSER_ENTITY_WORKSPACE);
    ASSERT_EQ(l.count(), 1u);
    EXPECT_EQ(l.names[0], "x\n-rwxr-xr-x 1 u g 1 2026-12-01 10:00 vrek");
    EXPECT_TRUE(parse_ls_listing(ls_line("-rwxr-xr-x", "1", crafted), BROWSER_KERNEL_EXECUTABLE).names.empty());
    // An escaped arrow inside a link's name is part of the name.
    const BrowserListing arrow = parse_ls_listing(ls_line("lrwxrwxrwx", "1", "a\\ ->\\ b.vrek -> t"), BROWSER_OPEN_SCRIPT);
    ASSERT_EQ(arrow.count(), 1u);
    EXPECT_EQ(arrow.names[0], "a -> b.vrek");
}

struct ListingTest : BrowserTest {};

TEST_F(ListingTest, ListingBuildsPathPartsCaptionsAndSortedRows) {
    canned_listings()["/home/user/"] = ls_line("-rw-r--r--", "5", "b.vrek") + ls_line("drwxr-xr-x", "4096", "Src") +
                                       ls_line("-rwxr-xr-x", "7", "a.vrek") + ls_line("-rw-r--r--", "9", "c.txt");
    list(BROWSER_ENTITY_WORKSPACE, "/home/user/");
    EXPECT_EQ(listed_directories(), Names{"/home/user/"});
    EXPECT_EQ(listing_arguments("-x"), (Names{"-l", "-b", "--block-size=1", "--time-style=long-iso", "--", "-x"}));
    EXPECT_EQ(browser().browser_path_parts, (Names{"/", "home/", "user/"}));
    EXPECT_EQ(rows(), (Names{"a.vrek", "b.vrek", "c.txt", "Src/"}));
    EXPECT_EQ(app->browser_location_label.text, "Location \t user/");
    EXPECT_EQ(app->browser_directory_label.text, "\n/home/user/");

    ASSERT_EQ(app->browser_path_buttons.size(), 3u);

    // Rows: tag, name, size, time, date.
    ASSERT_EQ(app->browser_rows.size(), 4u);
    const Label* exe = &app->browser_row_labels[0];
    EXPECT_EQ(exe[0].text, "SRC");  // an executable script is a script
    EXPECT_EQ(exe[2].text, "7 bytes");
    const Label* txt = &app->browser_row_labels[10];
    EXPECT_EQ(txt[0].text, "-");
    const Label* dir = &app->browser_row_labels[15];
    EXPECT_EQ(dir[0].text, "DIR");
    EXPECT_EQ(dir[2].text, "");
    EXPECT_EQ(dir[3].text, "10:00");
    EXPECT_EQ(dir[4].text, "2026-12-01");

    canned_listings()["/d/"] = ls_line("-rwxr-xr-x", "1", "run");
    list(BROWSER_ENTITY_WORKSPACE, "/d/");
    ASSERT_EQ(app->browser_rows.size(), 1u);
    EXPECT_EQ(app->browser_row_labels[1].text_rgba, browser_executable_rgba);
    EXPECT_EQ(app->browser_row_labels[2].text_colour, active_theme.colours[8]);

    list(BROWSER_ENTITY_WORKSPACE, "/");
    EXPECT_EQ(browser().browser_path_parts, Names{"/"});
    EXPECT_EQ(app->browser_location_label.text, "Location \t /");
    EXPECT_TRUE(app->browser_rows.empty());
    list(BROWSER_ENTITY_WORKSPACE, "");
    EXPECT_TRUE(app->browser_path_buttons.empty());
    EXPECT_EQ(app->browser_location_label.text, "Location \t ?");
}

// The size column widens to its widest size, at the name column's cost,
// the header with it; sizes that fit leave the columns where they were.
TEST_F(ListingTest, TheSizeColumnFitsItsWidestSize) {
    const int32_t T = app->ui_metrics.menu_half_width, w = 800;
    for (const std::string big : {"15", "104857616"}) {
        canned_listings()["/d/"] = ls_line("-rw-r--r--", "15", "a.vrek") + ls_line("-rw-r--r--", big, "big.vrek");
        list(BROWSER_OPEN_SCRIPT, "/d/");
        layout_filepane_body(*app, w, 600);
        layout_file_browser_list(*app, w, 300);
        int32_t widest = 0;
        for (size_t r = 0; r < 2; ++r) {
            const Label* row = &app->browser_row_labels[5 * r];
            const Label& name = row[1];
            const Label& size = row[2];
            widest = std::max(widest, size.text_width + size.padding_left + size.padding_right);
            EXPECT_GE(size.width, size.text_width + size.padding_left + size.padding_right) << size.text;
            EXPECT_EQ(name.x + name.width, size.x);
            EXPECT_EQ(size.x + size.width, row[3].x);
            EXPECT_EQ(row[3].x, w - 3 * T);
            EXPECT_EQ(app->browser_size_head.x, size.x);
            EXPECT_EQ(app->browser_size_head.width, size.width);
            EXPECT_EQ(app->file_panes.name_head.margin_right, w - size.x);
        }
        EXPECT_EQ(app->browser_row_labels[2].width, std::max(2 * T, widest)) << big;
    }
}

TEST_F(ListingTest, RebuildForgetsPointersIntoOldWidgetsAndKeepsTheHoverByPosition) {
    canned_listings()["/a/b/"] = ls_line("-rw-r--r--", "1", "x.vrek") + ls_line("-rw-r--r--", "1", "y.vrek");
    list(BROWSER_OPEN_SCRIPT, "/a/b/");
    hover_element = &app->browser_rows[1];
    app->browser_rows[1].hovered = true;
    focus_element = &app->browser_row_labels[3];
    app->browser_row_labels[3].focused = true;
    tooltip_element = &app->browser_path_buttons[0];
    list(BROWSER_OPEN_SCRIPT, "/a/b/");
    EXPECT_EQ(hover_element, &app->browser_rows[1]);
    EXPECT_TRUE(app->browser_rows[1].hovered);
    EXPECT_EQ(focus_element, nullptr);
    EXPECT_FALSE(app->browser_row_labels[3].focused);
    EXPECT_EQ(tooltip_element, nullptr);

    hover_element = &app->browser_path_buttons[2];
    list(BROWSER_OPEN_SCRIPT, "/a/");
    EXPECT_EQ(hover_element, nullptr);
}

struct SortTest : BrowserTest {
    SortTest() {
        canned_listings()["/s/"] = ls_line("-rw-r--r--", "300", "Beta.vrek", "2026-01-02", "09:00") +
                                   ls_line("drwxr-xr-x", "4096", "zeta", "2026-01-01", "08:00") +
                                   ls_line("-rw-r--r--", "100", "beta.vrek", "2026-01-02", "08:30") +
                                   ls_line("-rwxr-xr-x", "200", "alpha", "2025-12-31", "23:00") +
                                   ls_line("-rw-r--r--", "50", "gamma.txt", "2026-01-03", "00:00");
        list(BROWSER_ENTITY_WORKSPACE, "/s/");
        capture_stdout();
    }
};

TEST_F(SortTest, KeysDirectionsAndDiagnostics) {
    EXPECT_EQ(rows(), (Names{"alpha", "Beta.vrek", "beta.vrek", "gamma.txt", "zeta/"}));
    browser_sort(*app, SORT_NAME);
    EXPECT_EQ(browser().browser_sort_ascending, 0);
    // Names equal but for case keep their relative order in both directions.
    EXPECT_EQ(rows(), (Names{"zeta/", "gamma.txt", "Beta.vrek", "beta.vrek", "alpha"}));
    browser_sort(*app, SORT_SIZE);
    EXPECT_EQ(browser().browser_sort_ascending, 0);
    EXPECT_EQ(rows(), (Names{"zeta/", "Beta.vrek", "alpha", "beta.vrek", "gamma.txt"}));
    browser_sort(*app, SORT_SIZE);
    browser_sort(*app, SORT_TYPE);
    EXPECT_EQ(rows(), (Names{"gamma.txt", "zeta/", "beta.vrek", "Beta.vrek", "alpha"}));
    browser_sort(*app, SORT_DATE);
    EXPECT_EQ(rows(), (Names{"alpha", "zeta/", "beta.vrek", "Beta.vrek", "gamma.txt"}));
    browser_sort(*app, 9);
    EXPECT_EQ(captured_stdout(), "SORTING-FILES-BY:NAME\nSORTING-FILES-BY:SIZE\nSORTING-FILES-BY:SIZE\n"
                                 "SORTING-FILES-BY:TYPE\nSORTING-FILES-BY:DATE\n");
    // The key and direction survive a listing, which sorts silently.
    list(BROWSER_ENTITY_WORKSPACE, "/s/");
    EXPECT_EQ(rows(), (Names{"alpha", "zeta/", "beta.vrek", "Beta.vrek", "gamma.txt"}));
}

TEST_F(SortTest, RowsAreRelabelledAndTheSelectionFollowsItsEntry) {
    browser_click_row(*app, row_of("gamma.txt"));
    on_browser_sort_by_type();
    const int32_t r = row_of("gamma.txt");
    ASSERT_EQ(r, 0);
    EXPECT_TRUE(app->browser_rows[0].selected);
    EXPECT_FALSE(app->browser_rows[4].selected);
    EXPECT_EQ(app->browser_row_labels[1].text, "gamma.txt");
    EXPECT_EQ(app->browser_row_labels[1].text_rgba, browser_other_file_rgba);
    EXPECT_EQ(app->browser_row_labels[20].text, "EXE");
    EXPECT_EQ(app->browser_row_labels[20].text_rgba, browser_executable_rgba);
    EXPECT_EQ(app->browser_row_labels[22].text_colour, active_theme.colours[8]);
    // A row that was grey and now shows a script takes the theme colour back.
    EXPECT_EQ(app->browser_row_labels[15].text, "SRC");
    EXPECT_EQ(app->browser_row_labels[19].text_colour, active_theme.colours[8]);

    list(BROWSER_ENTITY_WORKSPACE, "/empty/");
    browser_sort(*app, SORT_TYPE);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(captured_stdout(), "SORTING-FILES-BY:TYPE\nSORTING-FILES-BY:TYPE\n");
}

}  // namespace
