#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "art/typeface.h"
#include "panes/bars/directive_bars.h"
#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/entity_lists.h"
#include "panes/inspector/parameter_actions.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/inspector/ppd_viewer.h"
#include "panes/bars/window_status.h"
#include "ui/ui_state.h"

// The panes are rebuilt whole after every open, re-assembly and close: the
// chain must stay a small slice of the time an open takes.

namespace {

EntityParameter bounded_parameter(int k) {
    EntityParameter p;
    p.type = p.current.type = p.lower.type = p.upper.type = PARAMETER_INT;
    p.name = p.label = "p" + std::to_string(k);
    p.current.int_value = k;
    p.upper.int_value = 20;
    return p;
}

std::unique_ptr<AppContext> context_with(int entities, int parameters) {
    std::unique_ptr<AppContext> app = make_app_context();
    make_new_environment_current(*app);
    EntitySet& set = *app->entities.current_entities;
    for (int i = 0; i < entities; ++i) {
        EntityRecord e = entity_construct();
        e.parse_record.path = "/bench/scripts/entity_" + std::to_string(i) + ".vrek";
        e.parse_record.sections[SECTION_DIRECTIVES] = "#CAM(v){0,1,2,3,4,5}\n#PSET(fast){p0=1}\n#ANIM(t)";
        e.file_name = ": entity_" + std::to_string(i) + ".vrek";
        e.summary_lines = {e.file_name, "1,234 vertices", "0.25 seconds"};
        e.summary_width = 120;
        e.information_lines = std::vector<std::string>(20, "information line");
        e.parse_result.valid = 1;
        for (int k = 0; k < parameters; ++k) e.parse_result.parameters.push_back(bounded_parameter(k));
        e.parse_result.parameter_count = parameters;
        set.records.push_back(e);
    }
    set.count = entities;
    index_entities_with_parameters(set);
    app->entities.current_environment_parts.entity_view->selected_row = entities / 2;
    app->entities.current_environment_parts.parameter_view->selected_row = entities / 2;
    return app;
}

void BM_RebuildChain(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        update_window_status(*app);
        refresh_mesh_statistics(*app);
        rebuild_entity_rows(*app);
        rebuild_parameter_rows(*app);
        refresh_entity_inspector(*app);
        rebuild_parameter_pane(*app);
        build_camera_directive_rows(*app);
        build_variant_rows(*app);
        count_animation_directives(*app);
    }
}
BENCHMARK(BM_RebuildChain)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_OpenPpdView(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with(1, 0);
    InteropMesh mesh;
    EntityRecord& e = app->entities.current_entities->records[0];
    app->entities.current_environment_parts.entity_view->selected_row = 0;
    std::string ops, timings = "0\n";
    for (int k = 0; k < 10000; ++k) {
        ops += "cube_" + std::to_string(k) + " = translate(cube(1), " + std::to_string(k) + ", 0, 0);\n";
        timings += std::to_string(1000 + 37 * k) + "\n";
    }
    e.parse_record.sections[SECTION_FUNCTIONS] = "def f() {}";
    e.parse_record.sections[SECTION_OPERATIONS] = ops;
    e.parse_record.section_line_counts = {0, 0, 1, 10000, 0, 0, 0};
    mesh.ppd_text = timings;
    e.mesh = &mesh;
    for (auto _ : state) open_ppd_view(*app);
    e.mesh = nullptr;
}
BENCHMARK(BM_OpenPpdView)->Unit(benchmark::kMillisecond);

// Enter in one value field of a 64-parameter entity: parse, bounds check,
// store, slider and push mark.
void BM_ParameterCommit(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with(1, 64);
    app_instance = app.get();
    rebuild_parameter_pane(*app);
    TextField& field = app->parameter_value_fields[40];
    int k = 0;
    for (auto _ : state) {
        field.take_focus();
        field.set_text(std::to_string(k++ % 20));
        commit_parameter_field(*app);
    }
    app_instance = nullptr;
}
BENCHMARK(BM_ParameterCommit)->Unit(benchmark::kMicrosecond);

// A variant naming all 64 parameters applied to the shown entity.
void BM_VariantApply(benchmark::State& state) {
    std::unique_ptr<AppContext> app = context_with(1, 64);
    rebuild_parameter_pane(*app);
    std::vector<std::string> pieces;
    for (int k = 0; k < 64; ++k) pieces.insert(pieces.end(), {"p" + std::to_string(k), std::to_string(k % 20)});
    app->bars.variant_tables.pieces = {pieces};
    app->bars.variant_tables.entity_ids = {app->entities.current_entities->records[0].serial_id};
    app->bars.variant_count = 1;
    for (auto _ : state) apply_parametric_variant(*app, 0);
}
BENCHMARK(BM_VariantApply)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
