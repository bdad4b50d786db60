#pragma once
// A context whose file browser lists canned "ls" texts by directory, and
// the published context the bound callbacks act on.
#include <map>
#include "support/call_log.h"
#include <string>
#include <vector>

#include "context/current_environment.h"
#include "panes/browser/directory_listing.h"
#include "support/app_fixture.h"

inline std::map<std::string, std::string>& canned_listings() {
    static std::map<std::string, std::string> listings;
    return listings;
}
inline std::vector<std::string>& listed_directories() {
    static std::vector<std::string> asked;
    return asked;
}
inline std::string canned_ls(const std::string&, const std::vector<std::string>& arguments) {
    listed_directories().push_back(arguments.back());
    auto it = canned_listings().find(arguments.back());
    return it == canned_listings().end() ? "ls: cannot access '" + arguments.back() + "': No such file or directory\n"
                                         : it->second;
}

// One long-listing line.
inline std::string ls_line(const std::string& permissions, const std::string& size, const std::string& name,
                           const std::string& date = "2026-12-01", const std::string& time = "10:00") {
    return permissions + " 1 user staff " + size + " " + date + " " + time + " " + name + "\n";
}

struct BrowserTest : AppFixture {
    BrowserTest() {
        canned_listings().clear();
        listed_directories().clear();
        set_listing_runner(canned_ls);
        app_instance = app.get();
    }
    ~BrowserTest() override { set_listing_runner(nullptr); }

    FileBrowserState& browser() { return app->file_browser_state; }
    // Entry names in display order.
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (int32_t e : browser().browser_row_order) out.push_back(browser().browser_entries.names[static_cast<size_t>(e)]);
        return out;
    }
    int32_t row_of(const std::string& name) {
        const std::vector<std::string> shown = rows();
        for (size_t r = 0; r < shown.size(); ++r)
            if (shown[r] == name) return static_cast<int32_t>(r);
        return -1;
    }
    void list(int32_t purpose, const std::string& directory) {
        browser().browser_purpose = purpose;
        list_directory(*app, directory);
    }
    std::vector<std::string> log_from(const std::string& prefix) {
        std::vector<std::string> out;
        for (const std::string& entry : call_log())
            if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
        return out;
    }
};
