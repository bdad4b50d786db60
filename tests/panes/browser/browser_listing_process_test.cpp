// The browser over a directory of hostile names, listed by the real "ls":
// every admitted name appears once with its exact bytes, and each script
// selected and confirmed is opened by the stand-in kernel from that name.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <tuple>

#include "panes/browser/browser_actions.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/path_configuration.h"
#include "panes/browser/directory_listing.h"
#include "pipeline/orch_support.h"
#include "shell/app_tick.h"
#include "text/text_utils.h"

namespace {

using Entry = std::tuple<std::string, uint8_t, int64_t>;

bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// What the browser should list for `purpose`, derived from readdir and lstat.
std::vector<Entry> expected_entries(const std::string& directory, int32_t purpose) {
    std::vector<Entry> out;
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return out;
    while (const dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        if (name[0] == '.') continue;
        struct stat st {};
        if (lstat((directory + name).c_str(), &st) != 0) continue;
        const bool is_dir = S_ISDIR(st.st_mode), is_reg = S_ISREG(st.st_mode), is_link = S_ISLNK(st.st_mode);
        const std::string lower = to_lower(name);
        const bool owner_x = (st.st_mode & S_IXUSR) != 0;
        bool admit = false;
        if (purpose == BROWSER_OPEN_SCRIPT) admit = is_dir || ((is_reg || is_link) && ends_with(lower, ".vrek"));
        if (purpose == BROWSER_ENTITY_WORKSPACE) admit = is_dir || is_reg;
        if (purpose == BROWSER_KERNEL_EXECUTABLE)
            admit = is_dir || ((is_reg || is_link) && owner_x &&
                               (lower == "vrek" || lower == "vrekp" || lower == "vrek.exe" || lower == "vrekp.exe"));
        if (!admit) continue;
        const uint8_t kind = is_dir                      ? ENTRY_DIRECTORY
                             : ends_with(lower, ".vrek") ? ENTRY_SCRIPT
                             : owner_x                   ? ENTRY_EXECUTABLE
                                                         : ENTRY_OTHER_FILE;
        out.emplace_back(is_dir ? name + "/" : name, kind, static_cast<int64_t>(st.st_size));
    }
    closedir(dir);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<Entry> listed_entries(const FileBrowserState& b) {
    std::vector<Entry> out;
    const BrowserListing& l = b.browser_entries;
    for (size_t e = 0; e < l.count(); ++e) out.emplace_back(l.names[e], l.kinds[e], l.sizes[e]);
    std::sort(out.begin(), out.end());
    return out;
}

const char* const script_names[] = {" lead.vrek",
                                    "double  blank.vrek",
                                    "quote'\"s.vrek",
                                    "back\\slash.vrek",
                                    "tab\there.vrek",
                                    "new\nline.vrek",
                                    "x\n-rwxr-xr-x 1 u g 1 2026-12-01 10:00 vrek",
                                    "-dash.vrek",
                                    "\xff" "\xfe" ".vrek",
                                    "\xc3\xbcn\xc3\xaf" "code.vrek",
                                    "a -> b.vrek",
                                    "Model.VREK"};

struct HostileDirectoryTest : KernelTest {
    std::string dir;
    std::vector<std::string> openable;

    HostileDirectoryTest() {
        app_instance = ctx.app.get();
        // Past the intro, so that the tick runs deferred requests.
        ctx.app->startup.startup_done = 1;
        dir = root + "/-hostile dir/";
        mkdir(dir.c_str(), 0755);
        for (const char* name : script_names) {
            EXPECT_TRUE(write_text_file(dir + name, "return box(1);\n")) << name;
            if (ends_with(name, ".vrek")) openable.push_back(name);
        }
        for (const char* name : {"trail.vrek ", "--", "notes.txt"}) EXPECT_TRUE(write_text_file(dir + name, "x\n"));
        EXPECT_TRUE(write_text_file(dir + "vrek", "#!/bin/sh\n"));
        chmod((dir + "vrek").c_str(), 0755);
        const int fd = open((dir + "sparse.bin").c_str(), O_CREAT | O_WRONLY, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(ftruncate(fd, 1234567), 0);
        close(fd);
        mkdir((dir + "sub dir").c_str(), 0755);
        EXPECT_EQ(symlink(" lead.vrek", (dir + "link.vrek").c_str()), 0);
        EXPECT_EQ(symlink("sub dir", (dir + "dirlink").c_str()), 0);
        EXPECT_EQ(symlink("nowhere", (dir + "dangling.vrek").c_str()), 0);
        EXPECT_EQ(mkfifo((dir + "fifo.vrek").c_str(), 0644), 0);
        openable.push_back("link.vrek");
    }
    ~HostileDirectoryTest() override { app_instance = nullptr; }

    void list(int32_t purpose, const std::string& directory) {
        ctx.app->file_browser_state.browser_purpose = purpose;
        list_directory(*ctx.app, directory);
    }
    int32_t row_of(const std::string& name) {
        const FileBrowserState& b = ctx.app->file_browser_state;
        for (size_t r = 0; r < b.browser_row_order.size(); ++r)
            if (b.browser_entries.names[static_cast<size_t>(b.browser_row_order[r])] == name)
                return static_cast<int32_t>(r);
        return -1;
    }
};

TEST_F(HostileDirectoryTest, EveryAdmittedNameIsListedOnceExactlyAsOnDisk) {
    for (int32_t purpose : {BROWSER_OPEN_SCRIPT, BROWSER_ENTITY_WORKSPACE, BROWSER_KERNEL_EXECUTABLE}) {
        list(purpose, dir);
        EXPECT_EQ(listed_entries(ctx.app->file_browser_state), expected_entries(dir, purpose)) << purpose;
    }
    list(BROWSER_KERNEL_EXECUTABLE, dir);
    EXPECT_GE(row_of("vrek"), 0);
    list(BROWSER_ENTITY_WORKSPACE, dir);
    const FileBrowserState& b = ctx.app->file_browser_state;
    const int32_t sparse = row_of("sparse.bin");
    ASSERT_GE(sparse, 0);
    EXPECT_EQ(b.browser_entries.size_texts[static_cast<size_t>(b.browser_row_order[static_cast<size_t>(sparse)])],
              "1,234,567 bytes");

    // The same directory through a relative text that starts with "-".
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(root.c_str()), 0);
    list(BROWSER_OPEN_SCRIPT, "-hostile dir/");
    const std::vector<Entry> relative = listed_entries(ctx.app->file_browser_state);
    EXPECT_EQ(chdir(previous), 0);
    EXPECT_EQ(relative, expected_entries(dir, BROWSER_OPEN_SCRIPT));
}

TEST_F(HostileDirectoryTest, EachConfirmedScriptOpensTheFileItNames) {
    int32_t opened = 0;
    for (const std::string& name : openable) {
        list(BROWSER_OPEN_SCRIPT, dir);
        show_file_browser(*ctx.app, true);
        const int32_t row = row_of(name);
        ASSERT_GE(row, 0) << name;
        // The name as the browser's row shows it (a link with its target).
        const std::string shown = ctx.app->browser_row_labels[5 * static_cast<size_t>(row) + 1].text;
        browser_click_row(*ctx.app, row);
        browser_confirm(*ctx.app);
        for (int tick = 0; tick < 4; ++tick) app_tick(*ctx.app);
        EXPECT_EQ(ctx.set().count, opened) << name;
        app_tick(*ctx.app);
        app_tick(*ctx.app);
        ASSERT_EQ(ctx.set().count, ++opened) << name;
        const std::string path = ctx.entity(static_cast<size_t>(opened - 1)).parse_record.path;
        EXPECT_EQ(path, dir + name);
        struct stat opened_file {}, created {};
        ASSERT_EQ(stat(path.c_str(), &opened_file), 0) << name;
        ASSERT_EQ(stat((dir + (name == "link.vrek" ? std::string(" lead.vrek") : name)).c_str(), &created), 0);
        EXPECT_EQ(opened_file.st_ino, created.st_ino) << name;
        // The console, the script line and the entity list show it alike:
        // whole (a backslash is part of it), broken UTF-8 left out.
        std::string parsed;
        for (const std::string& line : ctx.console())
            if (line.rfind("Parsing: ", 0) == 0) parsed = line;
        const std::string as_browser = shown.substr(0, name == "link.vrek" ? 9 : std::string::npos);
        EXPECT_EQ(parsed, "Parsing: " + as_browser) << name;
        EXPECT_EQ(ctx.entity(static_cast<size_t>(opened - 1)).file_name, ": " + as_browser) << name;
        if (name == "\xff\xfe.vrek") {
            EXPECT_EQ(as_browser, ".vrek");
        }
    }
    EXPECT_EQ(ctx.console_count("Error"), 0u);
}

TEST_F(HostileDirectoryTest, EntriesLsCannotInspectAreSkipped) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: a directory without search permission is still searchable";
    }
    const std::string locked = dir + "sub dir/";
    EXPECT_TRUE(write_text_file(locked + "inside.vrek", "return box(1);\n"));
    mkdir((locked + "inner").c_str(), 0755);
    ASSERT_EQ(chmod(locked.c_str(), 0644), 0);
    list(BROWSER_OPEN_SCRIPT, locked);
    const size_t listed = ctx.app->file_browser_state.browser_entries.count();
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(listed, 0u);
    EXPECT_EQ(ctx.app->file_browser_state.browser_directory, locked);
}

// The desktop chooser's answer for the native open tests.
std::string chooser_answer;
int chooser_calls = 0;
std::string native_chooser(const std::string&) {
    ++chooser_calls;
    return chooser_answer;
}

struct NativeOpenTest : KernelTest {
    NativeOpenTest() {
        app_instance = ctx.app.get();
        ctx.app->startup.startup_done = 1;
        chooser_calls = 0;
    }
    ~NativeOpenTest() override { app_instance = nullptr; }
};

TEST_F(NativeOpenTest, ChosenLinesOpenInOrderFiveTicksLaterAndBlankAnswersQueueNothing) {
    AppContext& app = *ctx.app;
    // Without a chooser nothing happens at all.
    app.OPENPANE.visible = false;
    run_native_open_script_dialog(app);
    EXPECT_EQ(app.deferred_requests.deferred_countdown, 0);
    EXPECT_FALSE(app.OPENPANE.visible || app.pane_open_flags[PANE_OPEN]);

    app.services.open_script_dialog = native_chooser;
    for (const char* blank : {"", "\n", "\n\n"}) {
        // The open action shows the open pane while the chooser is pending.
        app.pane_open_flags[PANE_OPEN] = 1;
        app.OPENPANE.visible = app.OVERLAY.visible = app.MASKPANE.visible = true;
        chooser_answer = blank;
        run_native_open_script_dialog(app);
        EXPECT_EQ(app.deferred_requests.open_paths_requested, 0);
        EXPECT_TRUE(app.deferred_requests.pending_paths.empty());
        EXPECT_FALSE(app.OPENPANE.visible || app.pane_open_flags[PANE_OPEN] || app.OVERLAY.visible);
    }
    EXPECT_EQ(chooser_calls, 3);

    const std::string second = script("second.vrek", "return box(1);\n");
    const std::string first = script("first.vrek", "return box(2);\n");
    chooser_answer = second + "\n\n" + first + "\n";
    run_native_open_script_dialog(app);
    EXPECT_TRUE(app.OPENPANE.visible && app.OVERLAY.visible && app.pane_open_flags[PANE_OPEN]);
    for (int tick = 0; tick < 4; ++tick) app_tick(app);
    EXPECT_EQ(ctx.set().count, 0);
    app_tick(app);
    ASSERT_EQ(ctx.set().count, 2);
    EXPECT_EQ(ctx.entity(0).parse_record.path, second);
    EXPECT_EQ(ctx.entity(1).parse_record.path, first);
    EXPECT_FALSE(app.OPENPANE.visible || app.pane_open_flags[PANE_OPEN]);
}

}  // namespace
