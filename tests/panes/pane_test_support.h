#pragma once
// A context with one bound, empty environment, for the side-pane suites.
#include <string>
#include <utility>
#include <vector>

#include "support/app_fixture.h"

struct PaneFixture : AppFixture {
    // Room for every entity a test adds, so references to them stay valid.
    PaneFixture() { make_new_environment_current(*app)->entities.records.reserve(32); }

    EntitySet& set() { return *app->entities.current_entities; }
    EntityRecord& entity(size_t i) { return set().records.at(i); }
    // Appends an entity whose script is `path` and whose DIRECTIVES section
    // is `directives`.
    EntityRecord& add_entity(const std::string& path, const std::string& directives = "") {
        EntityRecord e = entity_construct();
        e.parse_record.path = path;
        e.parse_record.sections[SECTION_DIRECTIVES] = directives;
        set().records.push_back(e);
        set().count = static_cast<int32_t>(set().records.size());
        return set().records.back();
    }
    // Lists the entities with parameters, as the model does after a parse.
    void index_parameters() { index_entities_with_parameters(set()); }
    void publish() { app_instance = app.get(); }
    // A press at (x, y) in list coordinates over row `row`, then the click.
    void click_list(std::vector<Container>& rows, bool (*press)(int32_t, int32_t, int32_t), void (*click)(),
                    int32_t row, int32_t x, int32_t y) {
        press(x, y, 1);
        hover_element = &rows.at(static_cast<size_t>(row));
        click();
    }
    void remove_first_entity() {
        set().records.erase(set().records.begin());
        set().count = static_cast<int32_t>(set().records.size());
    }
};

inline EntityParameter int_parameter(const std::string& name, int32_t value, bool bounded, int32_t lower = 0,
                                     int32_t upper = 10) {
    EntityParameter p;
    p.type = PARAMETER_INT;
    p.name = name;
    p.label = name;
    p.current.type = PARAMETER_INT;
    p.current.int_value = value;
    if (bounded) {
        p.lower.type = PARAMETER_INT;
        p.lower.int_value = lower;
        p.upper.type = PARAMETER_INT;
        p.upper.int_value = upper;
    }
    return p;
}

inline void give_parameters(EntityRecord& e, std::vector<EntityParameter> parameters) {
    e.parse_result.valid = 1;
    e.parse_result.parameters = std::move(parameters);
    e.parse_result.parameter_count = static_cast<int32_t>(e.parse_result.parameters.size());
}
