// Number text, bad index lists, headers that follow the body, and output
// that fails.
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <sys/stat.h>

#include "export/mesh_obj.h"
#include "export/mesh_off.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "export/mesh_writer.h"
#include "writers_support.h"

// "%.<p>g" for the smallest p >= 6 that reads back exactly.
static std::string reference_text(double value) {
    char text[64];
    for (int p = 6; p <= 17; ++p) {
        std::snprintf(text, sizeof text, "%.*g", p, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

TEST(WriterNumbers, ShortestExactGeneralNotation) {
    const std::pair<double, const char*> cases[] = {
        {-0.0, "-0"}, {0.5, "0.5"}, {2.0, "2"}, {1e-7, "1e-07"}, {1.5e6, "1.5e+06"}, {100000.0, "100000"},
        {1.234e-5, "1.234e-05"}, {1e100, "1e+100"}, {1234.5678, "1234.5678"}, {1234567.0, "1234567"},
        {1.0 / 3.0, "0.3333333333333333"}, {-std::numeric_limits<double>::infinity(), "-inf"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(mesh_double_text(value), text);

    // Powers of two and subnormals (lopsided or wide rounding intervals),
    // halfway cases, random bits and short decimals.
    std::vector<double> values;
    for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
    for (int j = 1; j < 400; j += 2) values.push_back(8.0 + std::ldexp(j, -16));
    std::mt19937_64 random(12345);
    for (int i = 0; i < 30000; ++i) {
        const uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, 8);
        if (std::isfinite(value)) values.push_back(value);
        values.push_back(static_cast<double>(random() % 2000001) / 1000.0 * std::pow(10.0, int(random() % 30) - 15));
    }
    for (double value : values) ASSERT_EQ(mesh_double_text(value), reference_text(value)) << value;
}

// A topology that writes no faces declares none; empty sets write whole
// headers.
TEST(WriterFiles, HeadersFollowWhatIsWritten) {
    WriterScene s;
    InteropMesh& m = scene_mesh(s, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}}, {0, 1, 2});
    m.triangle_normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    scene_entity(s, &m);
    const std::string dir = writers_test_dir();
    ASSERT_TRUE(write_ply_file(s.set, dir + "/q.ply", 4, true, false, false));
    const std::string ply = slurp(dir + "/q.ply");
    EXPECT_NE(ply.find("comment   - topology : 4 (quads)\n"), std::string::npos);
    EXPECT_NE(ply.find("element face 0\n"), std::string::npos);
    EXPECT_EQ(text_lines(ply).back(), "0 1 0 0 0 1");

    // A line break in the file name stays inside its comment line.
    ASSERT_TRUE(write_obj_file(s.set, dir + "/a\nb.obj", 3, false, false));
    EXPECT_EQ(text_lines(slurp(dir + "/a\nb.obj"))[0], "# a?b.obj");

    s.set.records[0].visible = 0;
    scene_parallel_entity(s, {});
    ASSERT_TRUE(write_ply_file(s.set, dir + "/e.ply", 0, true, true, true));
    const std::string empty = slurp(dir + "/e.ply");
    EXPECT_NE(empty.find("comment   - vertex : 0\n"), std::string::npos);
    EXPECT_NE(empty.find("element vertex 0\n"), std::string::npos);
    const std::string tail = "element face 0\nproperty list int int vertex_index\nend_header\n";
    EXPECT_EQ(empty.substr(empty.size() - tail.size()), tail);
    ASSERT_TRUE(write_stl_file(s.set, dir + "/e.stl", true));
    EXPECT_EQ(slurp(dir + "/e.stl"), std::string(84, '\0'));
    ASSERT_TRUE(write_stl_file(s.set, dir + "/e.stl", false));
    EXPECT_EQ(slurp(dir + "/e.stl"), "solid object\nendsolid object\n");
}

TEST(WriterFiles, FailedOpenWriteOrCloseIsReported) {
    WriterScene s;
    scene_entity(s, &scene_mesh(s, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}}, {0, 1, 2}));
    const std::string missing = writers_test_dir() + "/no/such/dir/x";
    EXPECT_FALSE(write_obj_file(s.set, missing + ".obj", 0, false, false));
    EXPECT_FALSE(write_ply_file(s.set, missing + ".ply", 0, false, false, true));
    EXPECT_FALSE(write_stl_file(s.set, missing + ".stl", true));
    EXPECT_FALSE(write_off_file(s.set, missing + ".off", 0, false, false));

    // A full device takes the open and refuses the bytes.
    struct stat info;
    if (stat("/dev/full", &info) != 0) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(write_obj_file(s.set, "/dev/full", 0, true, true));
    EXPECT_FALSE(write_ply_file(s.set, "/dev/full", 0, true, true, false));
    EXPECT_FALSE(write_ply_file(s.set, "/dev/full", 3, true, true, true));
    EXPECT_FALSE(write_stl_file(s.set, "/dev/full", false));
    EXPECT_FALSE(write_stl_file(s.set, "/dev/full", true));
    EXPECT_FALSE(write_off_file(s.set, "/dev/full", 3, true, true));
}

// Pieces smaller and larger than the buffer arrive whole and in order.
TEST(WriterFiles, OutputLargerThanTheBufferArrivesWhole) {
    const std::string path = writers_test_dir() + "/big.bin";
    MeshOutput out;
    ASSERT_TRUE(mesh_output_open(out, path, 256));
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string piece = std::to_string(i) + std::string(i % 97 == 0 ? 5000 : 0, 'x') + ",";
        mesh_output_text(out, piece);
        expected += piece;
    }
    ASSERT_TRUE(mesh_output_close(out));
    EXPECT_EQ(slurp(path), expected);
    EXPECT_TRUE(ply_vertex_total_fits(int64_t(1) << 31));
    EXPECT_FALSE(ply_vertex_total_fits((int64_t(1) << 31) + 1));
}
