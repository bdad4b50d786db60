// Parameter statements and slider positions, the entity merge and the guards
// of the re-assembly and open actions; nothing here starts the kernel.
#include <gtest/gtest.h>
#include "support/call_log.h"

#include <cmath>
#include <cstdint>

#include "pipeline/orch_support.h"
#include "pipeline/parameter_push.h"
#include "pipeline/reassembly.h"

namespace {

template <class Set>
EntityParameter parameter(int32_t type, const std::string& name, Set set) {
    EntityParameter p;
    p.type = p.current.type = type;
    p.name = name;
    set(p.current);
    return p;
}
EntityParameter parameter(int32_t type, const std::string& name) {
    return parameter(type, name, [](ParameterValue&) {});
}

ParameterValue value(int32_t type, int64_t whole, double real = 0.0) {
    ParameterValue v;
    v.type = type;
    v.int_value = static_cast<int32_t>(whole);
    v.long_value = whole;
    v.double_value = real;
    return v;
}

TEST(ParameterStatement, EachTypeIsWrittenAsTheKernelReadsIt) {
    auto text = [](int32_t type, const char* name, auto set) {
        return format_parameter_statement(parameter(type, name, set));
    };
    EXPECT_EQ(text(PARAMETER_INT, "n", [](ParameterValue& v) { v.int_value = -42; }), "INT n = -42;");
    EXPECT_EQ(text(PARAMETER_LNG, "seed", [](ParameterValue& v) { v.long_value = INT64_MIN; }),
              "LNG seed = -9223372036854775808;");
    EXPECT_EQ(text(PARAMETER_DBL, "d", [](ParameterValue& v) { v.double_value = 0.1234567; }), "DBL d = 0.1234567;");
    EXPECT_EQ(text(PARAMETER_DBL, "e", [](ParameterValue& v) { v.double_value = 1234567.0; }), "DBL e = 1234567;");
    EXPECT_EQ(text(PARAMETER_BLN, "on", [](ParameterValue& v) { v.bool_value = 1; }), "BLN on = true;");
    EXPECT_EQ(text(PARAMETER_CHR, "mark", [](ParameterValue& v) { v.char_value = 'x'; }), "CHR mark = 'x';");
    EXPECT_EQ(text(PARAMETER_STR, "title", [](ParameterValue& v) { v.string_value = "say \"hi\""; }),
              "STR title = \"say \"hi\"\";");
    // A value that would end its statement early is not written at all.
    EXPECT_EQ(text(PARAMETER_STR, "s", [](ParameterValue& v) { v.string_value = "A\"; print(\"INJ\"); STR z = \"B"; }), "");
    EXPECT_EQ(text(PARAMETER_CHR, "c", [](ParameterValue& v) { v.char_value = '\n'; }), "");
    EXPECT_EQ(format_parameter_statement(parameter(PARAMETER_MSH, "m")), "");
    EXPECT_EQ(format_parameter_statement(parameter(99, "m")), "");
}

TEST(ParameterStatement, ChangesAreDetectedPerTypeAndNaNAlwaysCounts) {
    EntityParameter d = parameter(PARAMETER_DBL, "d");
    d.current.double_value = d.last_pushed.double_value = std::nan("");
    EXPECT_TRUE(parameter_changed(d));
    d.current.double_value = d.last_pushed.double_value = 1.5;
    EXPECT_FALSE(parameter_changed(d));
    EXPECT_TRUE(parameter_changed(parameter(PARAMETER_STR, "s", [](ParameterValue& v) { v.string_value = "a"; })));
    EXPECT_FALSE(parameter_changed(parameter(PARAMETER_MSH, "m", [](ParameterValue& v) { v.int_value = 3; })));
}

TEST(ParameterSlider, PositionsBetweenBoundsWithoutOverflowOrDivisionByZero) {
    const int32_t I = PARAMETER_INT, L = PARAMETER_LNG, D = PARAMETER_DBL, B = PARAMETER_BLN;
    const struct {
        ParameterValue lower, upper, current;
        double position;
    } cases[] = {
        {value(I, 0), value(I, 10), value(I, 5), 0.5},
        {value(I, INT32_MIN), value(I, INT32_MAX), value(I, INT32_MAX), 1.0},
        {value(I, 4), value(I, 4), value(I, 4), 0.0},
        {value(I, 4), ParameterValue(), value(I, 4), -1.0},
        {value(L, INT64_MIN), value(L, INT64_MAX), value(L, 0), 0.5},
        {value(D, 0, 1.0), value(D, 0, 3.0), value(D, 0, 1.5), 0.25},
        {value(B, 0), value(B, 1), value(B, 1), -1.0},
    };
    for (const auto& c : cases) {
        EntityParameter p = parameter(c.current.type, "p");
        p.current = c.current;
        p.lower = c.lower;
        p.upper = c.upper;
        EXPECT_NEAR(parameter_normalised_value(p), c.position, 1e-12) << c.current.type << " " << c.current.long_value;
    }
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
    ASSERT_EQ(merge_reassembled_entity(widest, &ctx.set(), EntityRecord(ctx.entity(1)), fresh), 1);
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
    EntityRecord pending = entity_construct(), stranger = entity_construct(), fresh = entity_construct();
    stranger.pending = fresh.pending = 0;
    EXPECT_EQ(merge_reassembled_entity(widest, &ctx.set(), stored, stored), 0);
    EXPECT_EQ(merge_reassembled_entity(widest, nullptr, stored, fresh), 0);
    EXPECT_EQ(merge_reassembled_entity(widest, &ctx.set(), stored, pending), 0);
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
    for (int32_t index : {-1, 1, 5, -1}) {
        ctx.app->dialogs.pending_reassembly_index = index;
        reassemble_pending_entity(*ctx.app);
        EXPECT_EQ(ctx.app->dialogs.pending_reassembly_index, -1);
    }
    EXPECT_TRUE(ctx.console().empty());
    EXPECT_EQ(calls_starting("rebuild_entity_rows").size(), 6u);
    EXPECT_EQ(calls_starting("count_animation_directives").size(), 6u);
}

TEST(OpenWithoutEnvironment, StopsAtTheFirstValidPathWithoutRefreshing) {
    OrchContext ctx;
    Environment* environment = ctx.app->entities.current_environment;
    bind_environment(*ctx.app, nullptr);
    ctx.open({"x.vrek"});
    EXPECT_TRUE(call_log().empty());
    EXPECT_EQ(root_refresh_count(), 0);

    // An empty list only closes the pane.
    bind_environment(*ctx.app, environment);
    ctx.app->pane_open_flags[PANE_OPEN] = 1;
    ctx.open({});
    EXPECT_EQ(ctx.app->pane_open_flags[PANE_OPEN], 0);
    EXPECT_TRUE(calls_starting("rebuild_entity_rows").empty());
    EXPECT_EQ(root_refresh_count(), 1);
}

}  // namespace
