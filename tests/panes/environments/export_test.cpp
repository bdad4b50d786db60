// The export settings and estimate, the assemble and export requests, and
// the environment mesh export into a temporary directory.
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>

#include "panes/environments/environment_export.h"
#include "panes/environments/export_actions.h"
#include "panes/popups/export_dialog.h"
#include "panes/popups/message_boxes.h"
#include "pipeline/reassembly.h"
#include "platform/files.h"
#include "support/decimal_comma_locale.h"
#include "support/full_disk.h"
#include "support/shell_fixture.h"
#include "support/squeezed.h"
#include "support/test_dir.h"

namespace {

ExportSettings settings(std::vector<bool> formats, std::vector<bool> attributes = {true, true, false},
                        std::vector<bool> kinds = {true, true}) {
    ExportSettings s;
    s.export_format_bits = std::move(formats);
    s.export_attribute_bits = std::move(attributes);
    s.export_kind_bits = std::move(kinds);
    return s;
}

TEST(ExportEstimate, HandComputedFigures) {
    const ExportTotals small{4, 20, 36, 12};
    struct Row {
        const char* what;
        ExportTotals totals;
        ExportSettings s;
        int64_t bytes;
        bool ready;
    };
    const Row rows[] = {
        // Block 24*4*2 + 32*4 = 320; both topologies 2*320 + 8*20 + 8*36.
        {"OBJ both", small, settings({1, 0, 0, 0}), 2 * 1088, true},
        {"OFF polygons, no normals", small, settings({0, 1, 0, 0}, {0, 1, 0}, {1, 0}), 2 * (96 + 128 + 80), true},
        // PLY block 24*4*2 + 4*4 = 208; binary halves the text estimate.
        {"PLY text", small, settings({0, 0, 1, 0}), 2 * 864, true},
        {"PLY binary", small, settings({0, 0, 1, 0}, {1, 1, 1}), 864, true},
        {"STL text, no topology", small, settings({0, 0, 0, 1}, {1, 1, 0}, {0, 0}), 294 * 12 + 2048, true},
        {"STL binary", small, settings({0, 0, 0, 1}, {1, 1, 1}), 50 * 12 + 128, true},
        {"OBJ without topology", small, settings({1, 0, 0, 0}, {1, 1, 0}, {0, 0}), 0, false},
        {"OBJ without topology and STL", small, settings({1, 0, 0, 1}, {1, 1, 0}, {0, 0}), 294 * 12 + 2048, true},
        {"no vertices", ExportTotals{0, 0, 0, 5}, settings({1, 1, 1, 1}), 0, false},
        // Far beyond 32 bits: 294 * 8e6 + 2048.
        {"8 M triangles", ExportTotals{4'000'000, 0, 24'000'000, 8'000'000}, settings({0, 0, 0, 1}), 2'352'002'048,
         true},
    };
    for (const Row& r : rows) {
        const int64_t bytes = estimate_export_bytes(r.totals, r.s);
        EXPECT_EQ(bytes, r.bytes) << r.what;
        EXPECT_EQ(export_choice_ready(bytes, r.s), r.ready) << r.what;
    }
    EXPECT_EQ(export_size_caption(2'352'002'048), "Estimated Size-on-Disk: 2243.044 MB");
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active());
    EXPECT_EQ(export_size_caption(1'572'864), "Estimated Size-on-Disk: 1.500 MB");
}

// A unit square (4 vertices, 1 quad, 2 triangles) per entity; the fixture
// owns the meshes.
struct ExportFixture : ShellFixture {
    std::deque<InteropMesh> meshes;
    TestDir dir{"vk_export"};

    EntitySet& set() { return *app->entities.current_entities; }
    EntityRecord& add_entity(const std::string& script, bool visible = true, bool locked = false) {
        InteropMesh& m = meshes.emplace_back();
        m.dimension = 3;
        m.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
        m.polygons = {1, 4, 0, 1, 2, 3};
        m.triangles = {0, 1, 2, 0, 2, 3};
        EntityRecord& e = set().records.emplace_back(entity_construct(false));
        entity_attach_mesh(e, &m);
        e.parse_record.path = script;
        e.visible = visible ? 1 : 0;
        e.locked = locked ? 1 : 0;
        set().count = static_cast<int32_t>(set().records.size());
        return e;
    }
    std::string warning() const { return app->pane_open_flags[PANE_WARNING] ? app->message_titles[2].text : ""; }
    std::vector<std::string> trace(int32_t channel) const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        const auto& lines = log.channel_lines[static_cast<size_t>(channel)];
        std::vector<std::string> out(lines.begin(), lines.begin() + log.channel_count[static_cast<size_t>(channel)]);
        // FILE-IO lines carry the local time first.
        for (std::string& l : out)
            if (l.find(" | ") != std::string::npos) l = l.substr(l.find(" | ") + 3);
        return out;
    }
    void choose(std::vector<bool> formats, std::vector<bool> options) {
        for (int32_t f = 0; f < 4; ++f)
            if (app->export_settings.export_format_bits[static_cast<size_t>(f)] != formats[static_cast<size_t>(f)])
                toggle_export_format(*app, f);
        for (int32_t b = 0; b < 6; ++b)
            if (app->export_settings.export_option_bits[static_cast<size_t>(b)] != options[static_cast<size_t>(b)])
                toggle_export_option(*app, b);
    }
};

TEST_F(ExportFixture, TogglesMirrorTheirBitsAndTheEstimateCountsOnlyVisibleEntities) {
    add_entity("a.vrek");
    add_entity("b.vrek", false);
    choose({1, 0, 0, 0}, {1, 1, 0, 1, 1, 0});
    // One visible square: block 24*4*2 + 32*4 = 320, then 2*320 + 8*6 + 8*6.
    EXPECT_EQ(app->dialogs.export_size_estimate, 2 * (640 + 48 + 48));

    toggle_export_option(*app, 2);
    toggle_export_option(*app, 3);
    toggle_export_option(*app, 5);
    const ExportSettings& s = app->export_settings;
    EXPECT_EQ(s.export_attribute_bits, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(s.export_kind_bits, (std::vector<bool>{false, true}));
    EXPECT_EQ(s.export_timestamp, 1);

    set().records[0].visible = 0;
    EXPECT_EQ(refresh_export_dialog(*app), 0);
    EXPECT_EQ(app->export_size_label.text, "Estimated Size-on-Disk: 0.000 MB");
    EXPECT_EQ(app->export_button.text, "!");

    set_export_location(*app, "");
    EXPECT_TRUE(app->export_location_hint.visible);
    set_export_location(*app, "/out/");
    EXPECT_FALSE(app->export_location_hint.visible);
    EXPECT_EQ(app->export_location_value.text, "/out/");
}

TEST_F(ExportFixture, AssembleWarnsOrConfirmsWithTheAlgorithmRow) {
    assemble_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: Nothing to Assemble");
    close_warning_box(*app);

    add_entity("/w/gate.vrek", true, true);
    assemble_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: Entity is Assembly Locked");
    EXPECT_EQ(app->message_texts[2].text.rfind("The entity \"gate.vrek\" is assembly-locked.\n\n", 0), 0u);
    close_warning_box(*app);

    add_entity("/w/b.vrek", true, true);
    assemble_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: All Entities are Assembly-Locked");
    close_warning_box(*app);

    set().records[1].locked = 0;
    app->io_settings.meshing_algorithm = 1;
    assemble_environment_action(*app);
    EXPECT_EQ(warning(), "");
    EXPECT_EQ(app->confirm_title_label.text, "Confirm Re-Assembly of Environment Entities");
    EXPECT_EQ(app->dialogs.confirm_action, static_cast<void (*)()>(reassemble_all_entities));
    EXPECT_EQ(app->dialogs.confirm_algorithm[0], 1);
    EXPECT_TRUE(app->confirm_algorithm_bar.visible && app->dialogs.confirm_extra_shown);
}

TEST_F(ExportFixture, ExportChecksOptionsBeforeTheTarget) {
    open_export_dialog(*app);
    EXPECT_EQ(warning(), "Warning: Nothing to Export");
    close_warning_box(*app);

    add_entity("a.vrek");
    set_export_location(*app, dir.path() + "/missing/");
    open_export_dialog(*app);
    ASSERT_TRUE(app->EXPORTPANE.visible && app->pane_open_flags[PANE_EXPORT]);
    export_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: Invalid Export Options");
    close_warning_box(*app);

    choose({0, 0, 0, 1}, {1, 1, 0, 0, 0, 0});
    export_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: Invalid Export File");
    close_warning_box(*app);
    set_export_location(*app, dir.path());
    set_export_name(*app, "");
    export_environment_action(*app);
    EXPECT_EQ(warning(), "Warning: Invalid Export File");
    close_warning_box(*app);

    // A valid target asks for confirmation (cancel and OK run in the window test).
    set_export_name(*app, "env");
    export_environment_action(*app);
    EXPECT_TRUE(app->CONFIRMPANE.visible && !app->EXPORTPANE.visible);
}

// A name that is a path (as an edited state file could bring it back) is
// never a target, and an environment that brings it shows "environment".
TEST_F(ExportFixture, ANameThatIsAPathIsNeverATarget) {
    add_entity("a.vrek");
    set_export_location(*app, dir.path() + "/");
    choose({0, 0, 0, 1}, {1, 1, 0, 0, 0, 0});
    for (const char* name : {"../x", "a/b", "/abs", "x/", ".", ".."}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(export_name_problem(name).empty());
        set_export_name(*app, name);
        EXPECT_FALSE(export_target_exists(*app));
        show_export_settings(*app);
        EXPECT_EQ(app->export_settings.export_name, "environment");
        EXPECT_EQ(app->export_name_field.text, "environment");
    }
    for (const char* name : {"x..y", ".hidden", "...", "a b"}) EXPECT_EQ(export_name_problem(name), "") << name;
}

int64_t clock_steps[2] = {0, 0};
int clock_calls = 0;
int64_t stepping_clock() { return clock_steps[clock_calls++ % 2]; }

TEST_F(ExportFixture, FilesAndTracesPerChoice) {
    add_entity("a.vrek");
    add_entity("hidden.vrek", false);
    const std::string base = dir.path() + "/environment";
    set_export_location(*app, dir.path());
    set_export_name(*app, "environment");
    set_clock_for_tests(stepping_clock);
    auto run = [&](std::vector<bool> formats, std::vector<bool> options) {
        choose(std::move(formats), std::move(options));
        clock_calls = 0;
        app->entities.current_environment->trace_log.channel_count = {0, 0, 0, 0};
        export_environment_mesh(*app);
        return trace(TRACE_FILE_IO);
    };

    clock_steps[1] = 4;
    EXPECT_EQ(run({1, 1, 1, 0}, {1, 0, 1, 1, 1, 0}),
              (std::vector<std::string>{"OBJ-Write-Success: " + base, "OFF-Write-Success: " + base,
                                        "PLY-Write-Success: " + base}));
    for (const char* file : {"_NGON.obj", "_TESS.obj", "_NGON.off", "_TESS.off", "_NGON.ply", "_TESS.ply"})
        EXPECT_TRUE(path_exists(base + file)) << file;
    EXPECT_NE(read_file(base + "_TESS.ply").find("\nformat binary_little_endian"), std::string::npos);
    EXPECT_EQ(read_file(base + "_TESS.off").rfind("NOFF", 0), 0u);
    EXPECT_EQ(app->message_texts[0].text, "Environment mesh written in 0.00 seconds.");

    // STL needs no topology; OBJ without one writes nothing and fails.
    clock_steps[1] = 1234;
    EXPECT_EQ(run({1, 0, 0, 1}, {0, 0, 0, 0, 0, 0}),
              (std::vector<std::string>{"OBJ-Write-Failure: " + base, "STL-Write-Success: " + base}));
    EXPECT_EQ(trace(TRACE_ERROR), std::vector<std::string>{"Error Exporting OBJ File: " + base});
    const std::string stl = read_file(base + ".stl");
    EXPECT_EQ(stl.find("facet normal", stl.find("facet normal", stl.find("facet normal") + 1) + 1),
              std::string::npos);  // two facets: the hidden entity is left out
    EXPECT_EQ(app->message_texts[0].text, "Environment mesh written in 1.23 seconds.");

    // A full disk fails both OBJ files: the earlier files stay as they
    // were, no partial file is left, and the error box (not the success
    // box) names each file and the reason.
    const std::string earlier_ngon = read_file(base + "_NGON.obj"), earlier_tess = read_file(base + "_TESS.obj");
    const std::string earlier_stl = read_file(base + ".stl");
    app->INFOPANE.visible = false;
    {
        const FullDisk full(64);
        EXPECT_EQ(run({1, 0, 0, 1}, {1, 1, 0, 1, 1, 0}),
                  (std::vector<std::string>{"OBJ-Write-Failure: " + base, "STL-Write-Failure: " + base}));
    }
    EXPECT_EQ(read_file(base + "_NGON.obj"), earlier_ngon);
    EXPECT_EQ(read_file(base + ".stl"), earlier_stl);
    EXPECT_EQ(read_file(base + "_TESS.obj"), earlier_tess);
    EXPECT_FALSE(app->INFOPANE.visible);
    EXPECT_TRUE(app->ERRORPANE.visible);
    EXPECT_EQ(app->message_titles[1].text, "Error: Environment Mesh File Export Failure");
    EXPECT_EQ(squeezed(app->message_texts[1].text),
              squeezed("These files could not be written:\n\n\t environment_NGON.obj : File too large\n\t "
                       "environment_TESS.obj : File too large\n\t environment.stl : File too large\n\n\t Folder: " +
                       dir.path() + "/\n\nNote: earlier files of these names are left as they were."));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.exists();
    EXPECT_EQ(files, 7u);  // the six files of the first export and the STL
    app->ERRORPANE.visible = false;

    // A triangle file that cannot be replaced fails OBJ; the polygons are
    // still written.
    unlink((base + "_NGON.obj").c_str());
    unlink((base + "_TESS.obj").c_str());
    ASSERT_EQ(mkdir((base + "_TESS.obj").c_str(), 0755), 0);
    EXPECT_EQ(run({1, 0, 0, 0}, {1, 1, 0, 1, 1, 0}), std::vector<std::string>{"OBJ-Write-Failure: " + base});
    EXPECT_TRUE(path_exists(base + "_NGON.obj"));
    EXPECT_NE(app->message_texts[1].text.find("This file could not be written:\n\n\t environment_TESS.obj : not a "
                                              "regular file\n"),
              std::string::npos);
    rmdir((base + "_TESS.obj").c_str());
    app->ERRORPANE.visible = false;

    // A missing directory fails every format; the error box says so.
    set_export_location(*app, dir.path() + "/missing");
    app->INFOPANE.visible = false;
    const std::string gone = dir.path() + "/missing/environment";
    EXPECT_EQ(run({1, 1, 1, 1}, {1, 1, 0, 1, 1, 0}),
              (std::vector<std::string>{"OBJ-Write-Failure: " + gone, "OFF-Write-Failure: " + gone,
                                        "PLY-Write-Failure: " + gone, "STL-Write-Failure: " + gone}));
    EXPECT_EQ(trace(TRACE_ERROR).size(), 4u);
    EXPECT_FALSE(app->INFOPANE.visible);
    EXPECT_TRUE(app->ERRORPANE.visible);
    EXPECT_NE(app->message_texts[1].text.find("\n\t environment_TESS.ply : No such file or directory\n"),
              std::string::npos);
    EXPECT_NE(squeezed(app->message_texts[1].text).find(squeezed("Folder: " + dir.path() + "/missing/Note")),
              std::string::npos);
    EXPECT_FALSE(path_exists(dir.path() + "/missing"));
}

TEST_F(ExportFixture, BaseNamesTakeTheStampAndHostileNamesAsTheyAre) {
    add_entity("a.vrek");
    app->services.local_date_time_stamp = [] { return std::string("20250302140509"); };
    set_export_location(*app, dir.path() + "/");
    set_export_name(*app, "env");
    toggle_export_option(*app, 5);
    EXPECT_EQ(export_base_path(*app), dir.path() + "/env_20250302140509");
    app->services.local_date_time_stamp = nullptr;
    EXPECT_EQ(export_base_path(*app), dir.path() + "/env_");
    toggle_export_option(*app, 5);

    // Blanks, quotes, a leading "-" and bytes that are not UTF-8, in the
    // directory and in the name.
    const std::string hostile = "-rf 'x' \"y\" \xff\xfe";
    const std::string folder = dir.path() + "/" + hostile;
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    set_export_location(*app, folder);
    set_export_name(*app, hostile);
    choose({0, 0, 0, 1}, {1, 1, 0, 0, 0, 0});
    export_environment_mesh(*app);
    EXPECT_TRUE(path_exists(folder + "/" + hostile + ".stl"));
    // The longest file name (255 bytes), and the user's own file beside it stays.
    ASSERT_TRUE(write_text_file(folder + "/.notes.20240612-1", "mine"));
    set_export_name(*app, std::string(251, 'n'));
    export_environment_mesh(*app);
    EXPECT_TRUE(path_exists(folder + "/" + std::string(251, 'n') + ".stl"));
    EXPECT_EQ(read_file(folder + "/.notes.20240612-1"), "mine");
}

}  // namespace
