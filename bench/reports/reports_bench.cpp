#include <benchmark/benchmark.h>

#include <string>

#include "model/entity_texts.h"
#include "export/ppd_report.h"

// Composing the profiling report of a large entity must stay well inside one
// frame's worth of interface time.

namespace {

EntityRecord large_entity(InteropMesh& mesh, int statements) {
    EntityRecord e;
    e.mesh = &mesh;
    std::string ops, timings = "0\n";
    for (int k = 0; k < statements; ++k) {
        ops += "cube_" + std::to_string(k) + " = translate(cube(1), " + std::to_string(k) + ", 0, 0);\n";
        timings += std::to_string(1000 + 37 * k) + "\n";
    }
    timings += "0\n";
    e.parse_record.path = "/bench/large.vrek";
    e.parse_record.script = ops;
    e.parse_record.sections[SECTION_FUNCTIONS] = "def f() {}";
    e.parse_record.sections[SECTION_OPERATIONS] = ops;
    e.parse_record.section_line_counts = {0, 0, 1, statements, 0, 0, 0};
    mesh.ppd_text = timings;
    e.vertex_count = 80000;
    e.assembly_ms = 2500;
    e.assembly_seconds = 2.5;
    e.mesh_bytes = 1 << 24;
    return e;
}

void BM_PpdReport(benchmark::State& state) {
    InteropMesh mesh;
    const EntityRecord e = large_entity(mesh, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string report = compose_ppd_report(e);
        benchmark::DoNotOptimize(report);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PpdReport)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_EntityTexts(benchmark::State& state) {
    InteropMesh mesh;
    EntityRecord e = large_entity(mesh, 10);
    for (auto _ : state) {
        set_entity_summary_values(e);
        format_entity_information(e);
        set_entity_information_headings(e);
        benchmark::DoNotOptimize(e.information_lines.data());
    }
}
BENCHMARK(BM_EntityTexts)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
