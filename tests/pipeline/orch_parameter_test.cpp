// Parameter statements and slider positions, the entity merge and the guards
// of the re-assembly and open actions; nothing here starts the kernel.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "pipeline/open_scripts.h"
#include "pipeline/orch_support.h"
#include "pipeline/parameter_push.h"
#include "pipeline/reassembly.h"

namespace {

EntityParameter parameter(int32_t type, const std::string& name) {
    EntityParameter p;
    p.type = type;
    p.name = name;
    p.current.type = type;
    return p;
}

ParameterValue int_value(int32_t v) {
    ParameterValue value;
    value.type = PARAMETER_INT;
    value.int_value = v;
    return value;
}

TEST(ParameterStatement, EachTypeIsWrittenAsTheKernelReadsIt) {
    EntityParameter i = parameter(PARAMETER_INT, "n"), l = parameter(PARAMETER_LNG, "seed"),
                    d = parameter(PARAMETER_DBL, "d"), e = parameter(PARAMETER_DBL, "e"),
                    b = parameter(PARAMETER_BLN, "on"), c = parameter(PARAMETER_CHR, "mark"),
                    s = parameter(PARAMETER_STR, "title");
    i.current.int_value = -42;
    l.current.long_value = INT64_MIN;
    d.current.double_value = 0.1234567;
    e.current.double_value = 1234567.0;
    b.current.bool_value = 1;
    c.current.char_value = 'x';
    s.current.string_value = "say \"hi\"";
    const std::pair<EntityParameter*, const char*> cases[] = {
        {&i, "INT n = -42;"}, {&l, "LNG seed = -9223372036854775808;"}, {&d, "DBL d = 0.123457;"},
        {&e, "DBL e = 1.23457e+06;"}, {&b, "BLN on = true;"}, {&c, "CHR mark = 'x';"},
        {&s, "STR title = \"say \"hi\"\";"}};
    for (const auto& entry : cases) EXPECT_EQ(format_parameter_statement(*entry.first), entry.second);
    EXPECT_EQ(format_parameter_statement(parameter(PARAMETER_MSH, "m")), "");
    EXPECT_EQ(format_parameter_statement(parameter(99, "m")), "");
}

TEST(ParameterStatement, ChangesAreDetectedPerTypeAndNaNAlwaysCounts) {
    EntityParameter d = parameter(PARAMETER_DBL, "d");
    d.current.double_value = std::nan("");
    d.last_pushed.double_value = std::nan("");
    EXPECT_TRUE(parameter_changed(d));
    d.current.double_value = d.last_pushed.double_value = 1.5;
    EXPECT_FALSE(parameter_changed(d));
    EntityParameter s = parameter(PARAMETER_STR, "s");
    s.current.string_value = "a";
    EXPECT_TRUE(parameter_changed(s));
    EntityParameter other = parameter(PARAMETER_MSH, "m");
    other.current.int_value = 3;
    EXPECT_FALSE(parameter_changed(other));
}

TEST(ParameterSlider, PositionsBetweenBoundsWithoutOverflowOrDivisionByZero) {
    EntityParameter p = parameter(PARAMETER_INT, "n");
    p.lower = int_value(0);
    p.upper = int_value(10);
    p.current.int_value = 5;
    EXPECT_DOUBLE_EQ(parameter_normalised_value(p), 0.5);
    p.lower = int_value(INT32_MIN);
    p.upper = int_value(INT32_MAX);
    p.current.int_value = INT32_MAX;
    EXPECT_DOUBLE_EQ(parameter_normalised_value(p), 1.0);
    p.lower = p.upper = int_value(4);
    EXPECT_EQ(parameter_normalised_value(p), 0.0);
    p.upper = ParameterValue();
    EXPECT_EQ(parameter_normalised_value(p), -1.0);

    EntityParameter l = parameter(PARAMETER_LNG, "l");
    l.lower.type = l.upper.type = PARAMETER_LNG;
    l.lower.long_value = INT64_MIN;
    l.upper.long_value = INT64_MAX;
    l.current.long_value = 0;
    EXPECT_NEAR(parameter_normalised_value(l), 0.5, 1e-12);

    EntityParameter d = parameter(PARAMETER_DBL, "d");
    d.lower.type = d.upper.type = PARAMETER_DBL;
    d.lower.double_value = 1.0;
    d.upper.double_value = 3.0;
    d.current.double_value = 1.5;
    EXPECT_DOUBLE_EQ(parameter_normalised_value(d), 0.25);
    EntityParameter b = parameter(PARAMETER_BLN, "b");
    b.lower.type = b.upper.type = PARAMETER_BLN;
    EXPECT_EQ(parameter_normalised_value(b), -1.0);
}

struct MergeTest : ::testing::Test {
    OrchContext ctx;

    EntityRecord& add(bool with_parameter) {
        EntityRecord e = entity_construct();
        e.pending = 0;
        e.summary_width = 10 * (ctx.set().count + 1);
        if (with_parameter) {
            e.parse_result.valid = 1;
            e.parse_result.parameter_count = 1;
            e.parse_result.parameters.push_back(parameter(PARAMETER_INT, "n"));
        }
        ctx.set().records.push_back(e);
        ++ctx.set().count;
        index_entities_with_parameters(ctx.set());
        return ctx.set().records.back();
    }
};

TEST_F(MergeTest, NewEntityTakesTheOldSlotAndTheTablesFollow) {
    add(false);
    add(true);
    add(false);
    EntityRecord fresh = entity_construct();
    fresh.pending = 0;
    fresh.summary_width = 99;
    uint32_t widest = 0;
    ctx.set().dirty = 0;
    const EntityRecord old = ctx.entity(1);
    ASSERT_EQ(merge_reassembled_entity(widest, &ctx.set(), old, fresh), 1);
    EXPECT_EQ(ctx.entity(1).serial_id, fresh.serial_id);
    EXPECT_EQ(ctx.set().count, 3);
    // The script lost its parameter: it drops out of the parameter rows.
    EXPECT_TRUE(ctx.set().parameter_entities.empty());
    EXPECT_EQ(ctx.set().dirty, 1);
    EXPECT_EQ(widest, 99u);
}

TEST_F(MergeTest, RefusalsChangeNothing) {
    EntityRecord& stored = add(true);
    uint32_t widest = 7;
    const int32_t serial = stored.serial_id;
    EXPECT_EQ(merge_reassembled_entity(widest, &ctx.set(), stored, stored), 0);
    EXPECT_EQ(merge_reassembled_entity(widest, nullptr, stored, entity_construct()), 0);
    EntityRecord pending = entity_construct();
    EXPECT_EQ(merge_reassembled_entity(widest, &ctx.set(), stored, pending), 0);
    EntityRecord stranger = entity_construct();
    stranger.pending = 0;
    EntityRecord fresh = entity_construct();
    fresh.pending = 0;
    EXPECT_EQ(merge_reassembled_entity(widest, &ctx.set(), stranger, fresh), 0);
    EXPECT_EQ(ctx.entity(0).serial_id, serial);
    EXPECT_EQ(widest, 7u);
}

TEST_F(MergeTest, ReassemblyActionsCheckTheirEntityBeforeRunning) {
    // Empty set: entity 0 does not exist, only the panes are rebuilt.
    reassemble_first_entity(*ctx.app);
    reassemble_all_entities(*ctx.app);
    EXPECT_EQ(calls_starting("rebuild_entity_rows").size(), 2u);

    add(false);
    for (int32_t index : {-1, 1, 5}) {
        ctx.app->pending_reassembly_index = index;
        reassemble_pending_entity(*ctx.app);
        EXPECT_EQ(ctx.app->pending_reassembly_index, -1);
    }
    reassemble_pending_entity(*ctx.app);
    EXPECT_TRUE(ctx.console().empty());
    EXPECT_EQ(calls_starting("rebuild_entity_rows").size(), 6u);
    EXPECT_EQ(calls_starting("build_animation_tracks").size(), 6u);
}

TEST(OpenWithoutEnvironment, StopsAtTheFirstValidPathWithoutRefreshing) {
    OrchContext ctx;
    Environment* environment = ctx.app->environment;
    bind_current_environment(*ctx.app, nullptr);
    ctx.app->pending_paths = {"x.vrek"};
    ctx.app->pending_path_count = 1;
    open_script_paths(*ctx.app);
    EXPECT_TRUE(standin_call_log().empty());
    EXPECT_EQ(ctx.app->interface_refresh_count, 0);

    // An empty list only closes the pane.
    bind_current_environment(*ctx.app, environment);
    ctx.app->pending_path_count = 0;
    ctx.app->open_pane_open = 1;
    open_script_paths(*ctx.app);
    EXPECT_EQ(ctx.app->open_pane_open, 0);
    EXPECT_TRUE(calls_starting("rebuild_entity_rows").empty());
    EXPECT_EQ(ctx.app->interface_refresh_count, 1);
}

}  // namespace
