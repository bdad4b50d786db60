#include "panes/environments/environment_tabs.h"

#include "context/app_context.h"
#include "render/redraw.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

constexpr int32_t kTabWidth = 64;
// Theme entries: tab borders, the current tab, the others, tab text.
constexpr int kBorderColour = 2;
constexpr int kCurrentTabColour = 5;
constexpr int kOtherTabColour = 4;
constexpr int kTabTextColour = 8;

}  // namespace

void notify_environment_change(AppContext& app) {
    request_redraw(app);
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void rebuild_environment_tabs(AppContext& app) {
    EntityState& env = app.entities;
    // Nothing of the toolkit may keep pointing into the old buttons.
    app.environment_tab_strip.children.clear();
    forget_vector_elements(app.environment_tabs);
    app.environment_tabs.clear();

    const int32_t count = std::max<int32_t>(env.environment_count, 0);
    app.environment_tab_strip.width = kTabWidth * count + 2;
    const int32_t height = app.ui_metrics.row_height - app.ui_metrics.ui_padding - 2;
    app.environment_tabs.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Element& tab = app.environment_tabs[static_cast<size_t>(i)];
        tab.x = kTabWidth * i + 1;
        tab.y = 0;
        tab.width = kTabWidth;
        tab.height = height;
        tab.border_left.width = 1;
        tab.border_right.width = 1;
        tab.border_left.colour = active_theme.colours[kBorderColour];
        tab.border_right.colour = active_theme.colours[kBorderColour];
        tab.background_colour =
            active_theme.colours[i == env.environment_index ? kCurrentTabColour : kOtherTabColour];
        tab.text_colour = active_theme.colours[kTabTextColour];
        tab.align_x = 0;
        tab.align_y = 0;
        if (static_cast<size_t>(i) < env.environment_names.size()) tab.set_text(env.environment_names[static_cast<size_t>(i)]);
        app.environment_tab_strip.children.push_back(&tab);
    }
    const int32_t hovered = env.hovered_environment_tab;
    app.environment_preview.visible = hovered >= 0 && hovered < count && hovered != env.environment_index;
    notify_environment_change(app);
}
