// The environment mesh export against the same writer calls alone, on a grid
// of about one million triangles with normals and colours (OBJ triangles,
// binary PLY triangles, binary STL); and the export pane's refresh over
// 1,000 entities. Run a Release build:
//   build/<dir>/bench/panes/export_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <deque>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "export/mesh_obj.h"
#include "export/mesh_ply.h"
#include "export/mesh_stl.h"
#include "panes/environments/environment_export.h"
#include "panes/popups/export_dialog.h"

namespace {

constexpr uint32_t grid_cells = 708;  // 2 x 708 x 708 = 1,002,528 triangles

void fill_grid(InteropMesh& m, uint32_t cells) {
    m.dimension = 3;
    const uint32_t n = cells + 1;
    for (uint32_t j = 0; j < n; ++j) {
        for (uint32_t i = 0; i < n; ++i) {
            m.positions.insert(m.positions.end(), {i * 0.0137 + 0.001 * j, j * 0.0211, 0.5 * (i % 7) / 3.0});
            m.polygon_normals.insert(m.polygon_normals.end(), {0.0, 0.6, 0.8});
            m.colours.insert(m.colours.end(), {i / double(n), j / double(n), 0.5, 1.0});
        }
    }
    m.triangle_normals = m.polygon_normals;
    for (uint32_t j = 0; j < cells; ++j) {
        for (uint32_t i = 0; i < cells; ++i) {
            const uint32_t a = j * n + i;
            m.triangles.insert(m.triangles.end(), {a, a + 1, a + n + 1, a, a + n + 1, a + n});
        }
    }
}

// A context whose current environment holds `entities` copies of one mesh.
struct BenchApp {
    std::unique_ptr<AppContext> app = make_app_context();
    std::deque<InteropMesh> meshes;
    std::string dir;

    BenchApp(uint32_t cells, int entities) {
        make_new_environment_current(*app);
        InteropMesh& m = meshes.emplace_back();
        fill_grid(m, cells);
        EntitySet& set = *app->entities.current_entities;
        for (int i = 0; i < entities; ++i) {
            EntityRecord e = entity_construct(false);
            entity_attach_mesh(e, &m);
            set.records.push_back(e);
        }
        set.count = entities;
        char name[] = "/tmp/vk_export_bench_XXXXXX";
        dir = mkdtemp(name) ? name : "/tmp";
        ExportSettings& s = app->export_settings;
        s.export_directory = dir;
        s.export_name = "environment";
        s.export_format_bits = {true, false, true, true};
        s.export_attribute_bits = {true, true, true};
        s.export_option_bits = {true, true, true, false, true, false};
        s.export_kind_bits = {false, true};
    }
};

BenchApp& grid() {
    static BenchApp* b = new BenchApp(grid_cells, 1);
    return *b;
}

void BM_ExportEnvironmentMesh(benchmark::State& state) {
    BenchApp& b = grid();
    for (auto _ : state) {
        b.app->entities.current_environment->trace_log.channel_count = {0, 0, 0, 0};
        export_environment_mesh(*b.app);
    }
}

void BM_SameWriterCallsAlone(benchmark::State& state) {
    BenchApp& b = grid();
    const EntitySet& set = *b.app->entities.current_entities;
    const std::string base = b.dir + "/environment";
    for (auto _ : state) {
        bool ok = write_obj_file(set, base + "_TESS.obj", 3, true, true);
        ok = write_ply_file(set, base + "_TESS.ply", 3, true, true, true) && ok;
        ok = write_stl_file(set, base + ".stl", true) && ok;
        if (!ok) state.SkipWithError("write failed");
    }
}

void BM_RefreshExportDialog1000Entities(benchmark::State& state) {
    static BenchApp* b = new BenchApp(4, 1000);
    for (auto _ : state) benchmark::DoNotOptimize(refresh_export_dialog(*b->app));
}

}  // namespace

BENCHMARK(BM_ExportEnvironmentMesh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SameWriterCallsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RefreshExportDialog1000Entities)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
