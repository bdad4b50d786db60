#pragma once
#include <cstdint>

struct AppContext;

// The lower half of the entity pane: the selected entity's name, PPD button,
// information text and transform fields, or the empty, inert state when
// nothing is selected. Nothing happens without a current environment.
void refresh_entity_inspector(AppContext& app);

// Layout callback of the information area: slides the text and the header's
// name and PPD button sideways with the area's horizontal scroll; the
// transform panel stays.
void layout_entity_information(int32_t width, int32_t height);
