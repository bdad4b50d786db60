// Links planted in the workspace's "tmp/" before the program starts, each
// pointing at a file outside: the start-up and the opens (serial, and
// parallel in batches, per element, in one run and with the prefix pre-pass)
// replace every staged name with a fresh file of their own and never write
// through a link.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/live_application.h"
#include "support/private_display.h"
#include "support/screen_picture.h"
#include "support/tree_walk.h"

namespace {

::testing::Environment* const private_display = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

namespace fs = std::filesystem;

std::vector<std::string> staged_names() {
    std::vector<std::string> names = {"vrek_parse_in",         "vrek_parse_out",        "vrek_assemble_in",
                                      "vrek_assemble_out",     "vrek_assemble_ccpp_in", "vrek_assemble_ccpp_out"};
    for (int i = 0; i < 4; ++i)
        for (const char* kind : {"sub_", "batch_"})
            for (const char* way : {"vrek_assemble_in_", "vrek_assemble_out_"})
                names.push_back(way + std::string(kind) + std::to_string(i));
    return names;
}

TEST(StagedFiles, LinksInTheStagingFolderAreReplacedNeverWrittenThrough) {
    SampleWorkspace sample;
    const std::string tmp = sample.workspace() + "tmp/";
    const std::string outside = sample.root + "/outside files/";
    fs::create_directories(tmp);
    fs::create_directories(outside);
    for (const std::string& name : staged_names()) {
        ASSERT_TRUE(write_text_file(outside + name, "outside " + name + "\n"));
        ASSERT_EQ(symlink((outside + name).c_str(), (tmp + name).c_str()), 0) << name;
    }
    const std::string towers = read_file(sample.workspace() + "parallel_towers.vrek");
    for (const char* copy : {"towers_batches.vrek", "towers_elements.vrek", "towers_one_run.vrek"})
        ASSERT_TRUE(write_text_file(sample.workspace() + copy, towers));

    LiveApplication live;
    AppContext& app = *live.app;
    ASSERT_TRUE(live.start_configured(sample.workspace()));
    for (int i = 0; i < 3; ++i) EXPECT_NE(app.startup.startup_meshes[static_cast<size_t>(i)], nullptr) << i;
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "mirrored_gate.vrek"}));
    // The parallel settings of the run pane, one way of running per copy.
    app.bars.parallel_ccpp = 1;
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "towers_batches.vrek"}));
    app.bars.parallel_ccpp = 0;
    app.bars.parallel_invocation_groups = 0;
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "towers_elements.vrek"}));
    app.bars.parallel_multi_core = 0;
    ASSERT_TRUE(live.open_scripts({sample.workspace() + "towers_one_run.vrek"}));

    // Every run worked: four entities, each with a mesh, listed on screen.
    const EntitySet& set = *app.entities.current_entities;
    ASSERT_EQ(set.count, 4);
    Element* entity_tab = find_shown(app, [](Element& e) { return e.text == "ENTITY"; });
    ASSERT_NE(entity_tab, nullptr);
    ASSERT_TRUE(live.click(*entity_tab));
    ASSERT_TRUE(live.await_frames());
    const Picture p = grab_canvas(live);
    save_picture(p, "shell", "staging_after_opens");
    // The rows the list has room for (the fourth is below them).
    for (const char* name : {"mirrored_gate.vrek", "towers_batches.vrek", "towers_elements.vrek"}) {
        SCOPED_TRACE(name);
        Element* row = find_shown(app, [&](Element& e) { return e.text == name; });
        ASSERT_NE(row, nullptr);
        int ink = 0;
        for (int32_t y = row->abs_y; y < row->abs_y + row->abs_height; ++y)
            for (int32_t x = row->abs_x + 1; x < row->abs_x + row->abs_width; ++x)
                ink += p.inside(x, y) && !near_colour(p.at(x, y), p.at(row->abs_x, y), 40);
        EXPECT_GT(ink, 20);
    }
    for (int32_t i = 0; i < set.count; ++i) {
        const EntityRecord& e = set.records[static_cast<size_t>(i)];
        bool meshed = e.mesh != nullptr;
        for (const EntityRecord* sub : e.subelement_records) meshed = meshed || (sub && sub->mesh);
        EXPECT_TRUE(meshed) << i;
    }

    // Not one outside file was touched; the names the runs used are now
    // files of their own.
    for (const std::string& name : staged_names())
        EXPECT_TRUE(read_file(outside + name) == "outside " + name + "\n") << name << " was written through its link";
    for (const char* used : {"vrek_parse_in", "vrek_parse_out", "vrek_assemble_in", "vrek_assemble_out",
                             "vrek_assemble_ccpp_in", "vrek_assemble_ccpp_out", "vrek_assemble_in_batch_0",
                             "vrek_assemble_out_batch_0", "vrek_assemble_in_sub_0", "vrek_assemble_out_sub_0"}) {
        SCOPED_TRACE(used);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(tmp + used)));
        EXPECT_NE(read_file(tmp + used), "outside " + std::string(used) + "\n");
    }
}

}  // namespace
