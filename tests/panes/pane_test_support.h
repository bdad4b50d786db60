#pragma once
// A context with one bound, empty environment, for the side-pane suites.
#include <string>

#include "support/app_fixture.h"

struct PaneFixture : AppFixture {
    PaneFixture() { add_current_environment(*app); }

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
    void remove_first_entity() {
        set().records.erase(set().records.begin());
        set().count = static_cast<int32_t>(set().records.size());
    }
};
