// Parsing and assembling a 100,000-triangle script as a later open does
// (the process has opened it before, its heap is warm), with the bundled
// stand-in kernel: the whole step against the kernel run and interop read
// it contains, and the orchestration's own work measured alone. Run from the build tree (the
// kernel is found at <build>/kernel/vrek).
#include <benchmark/benchmark.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/entity_texts.h"
#include "model/interop_mesh.h"
#include "pipeline/kernel_runs.h"
#include "pipeline/orchestration.h"
#include "pipeline/orchestration_common.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/program_heap_main.h"

namespace {

// 224 x 224 quads: 100,352 triangles.
const char* const kScript = "return grid(224).s(20).rgb(0.3, 0.6, 0.9);\n";

struct Setup {
    std::string script_path;
    bool ok = false;
};

Setup prepare() {
    static Setup setup;
    if (setup.ok) return setup;
    char exe[PATH_MAX] = {0};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0) return setup;
    std::string dir(exe, static_cast<size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));  // .../bench/orchestration
    const std::string build = dir.substr(0, dir.rfind('/', dir.rfind('/') - 1));
    char root[] = "/tmp/vk_orch_bench_XXXXXX";
    if (!mkdtemp(root)) return setup;
    const std::string ws = std::string(root) + "/ws/";
    mkdir(ws.c_str(), 0755);
    mkdir((ws + "tmp").c_str(), 0755);
    setup.script_path = std::string(root) + "/grid.vrek";
    if (!write_text_file(setup.script_path, kScript)) return setup;
    setup.ok = set_kernel_path(build + "/kernel/vrek") && set_workspace_path(ws);
    return setup;
}

std::unique_ptr<AppContext> make_context() {
    auto app = make_app_context();
    make_new_environment_current(*app);
    return app;
}

void clear_entities(AppContext& app) {
    for (EntityRecord& e : app.entities.current_entities->records) free_interop_mesh(e.mesh);
    destroy_entity_set(*app.entities.current_entities);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The orchestration's own steps on an already read mesh: entity record,
// texts, append, pane hooks, console and trace lines. The set's copy shares
// the mesh; it is detached before the set is emptied.
double own_steps(AppContext& app, const EntityParseRecord& record, InteropMesh* mesh) {
    const auto t0 = std::chrono::steady_clock::now();
    const std::string body = join_statement_sections(record);
    benchmark::DoNotOptimize(body.data());
    EntityRecord entity = entity_construct();
    entity_attach_mesh(entity, mesh);
    entity_parse_record_assign(entity.parse_record, record);
    parse_result_assign(entity.parse_result, record.parse_result);
    compose_entity_texts(app, entity);
    add_assembled_entity(app, entity, 0);
    const double seconds = seconds_since(t0);
    for (EntityRecord& e : app.entities.current_entities->records) e.mesh = nullptr;
    clear_entities(app);
    return seconds;
}

// Per iteration: one parse and assembly as an open runs it (no frame, no
// panes), the iteration's time; twenty in one process, so all but the first
// are later opens; then, untimed, the kernel parse and assembly
// with the interop read that it contains, and the orchestration's own steps
// on that mesh, timed alone. own_share_pct is own / whole.
void BM_LaterParseAndAssembleScriptNoFrame(benchmark::State& state) {
    const Setup setup = prepare();
    if (!setup.ok) {
        state.SkipWithError("stand-in kernel not found");
        return;
    }
    std::unique_ptr<AppContext> app = make_context();
    double whole = 0.0, kernel = 0.0, own = 0.0;
    int64_t triangles = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        parse_and_assemble_script(*app, setup.script_path);
        whole += seconds_since(t0);
        if (app->entities.current_entities->count == 1) triangles = app->entities.current_entities->records[0].triangle_count;
        state.PauseTiming();
        clear_entities(*app);

        t0 = std::chrono::steady_clock::now();
        EntityParseRecord record = parse_script_file(setup.script_path);
        std::string kernel_end;
        InteropMesh* mesh = assemble_script(join_statement_sections(record), MESH_OPTIMAL_CSG, false, kernel_end);
        kernel += seconds_since(t0);
        if (mesh) own += own_steps(*app, record, mesh);
        free_interop_mesh(mesh);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["whole_ms"] = 1000.0 * whole / n;
    state.counters["kernel_and_read_ms"] = 1000.0 * kernel / n;
    state.counters["own_ms"] = 1000.0 * own / n;
    state.counters["own_share_pct"] = 100.0 * own / whole;
}
BENCHMARK(BM_LaterParseAndAssembleScriptNoFrame)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return run_benchmarks_with_program_heap(argc, argv); }
