#include "panes/inspector/entity_inspector.h"

#include <algorithm>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/layout/pane_layouts.h"
#include "panes/inspector/transform_fields.h"
#include "text/text_utils.h"
#include "ui/ui_state.h"

namespace {

const char* const identity_texts[10] = {"0", "0", "0", "1", "1", "1", "1", "0", "0", "0"};

double transform_value(const EntityRecord& e, int32_t k) {
    if (k < 3) return e.translation[static_cast<size_t>(k)];
    if (k == 3) return e.uniform_scale;
    if (k < 7) return e.axis_scale[static_cast<size_t>(k - 4)];
    return e.euler_angles[static_cast<size_t>(k - 7)];
}

// Setting a field's text moves its caret: only changed texts are set.
void show_field_text(TextField& field, const std::string& text) {
    if (field.text != text) field.set_text(text);
}

bool mesh_has_report(const InteropMesh* mesh) { return mesh != nullptr && !mesh->ppd_text.empty(); }

bool carries_profiling(const EntityRecord& e) {
    if (e.parallel != 1 && e.mesh) return mesh_has_report(e.mesh);
    if (e.subelement_count < 1 || e.subelement_records.size() != static_cast<size_t>(e.subelement_count)) return false;
    return std::any_of(e.subelement_records.begin(), e.subelement_records.end(),
                       [](const EntityRecord* sub) { return sub && mesh_has_report(sub->mesh); });
}

void show_orders(Element (&buttons)[6], int32_t order) {
    for (int32_t k = 0; k < 6; ++k) {
        buttons[k].selected = order == k;
        buttons[k].typeface = &typefaces[order == k ? 4 : 3];
    }
}

}  // namespace

void refresh_entity_inspector(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    if (set == nullptr) return;
    FillLayout& area = app.entity_information_area;
    area.layout_handler = nullptr;
    const EntityListView* view = app.entities.current_environment_parts.entity_view;
    const int32_t s = view ? view->selected_row : -1;
    const size_t count = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
    Label& info = app.entity_information_label;
    Label& headings = app.entity_heading_label;
    area.x = 0;
    area.y = 0;
    area.width = side_list_width(app);
    if (s < 0 || static_cast<size_t>(s) >= count) {
        app.entity_header.enabled = false;
        app.entity_ppd_button.visible = false;
        app.entity_name_label.set_text(": (none selected)");
        info.set_text("");
        headings.set_text("");
        area.visible = false;
        area.height = 0;
        for (Label* label : {&info, &headings}) {
            label->width = 0;
            label->height = 0;
        }
        app.transform_editor.y = 0;
        for (int32_t k = 0; k < 10; ++k) {
            TextField& field = *transform_field(app, k);
            show_field_text(field, identity_texts[k]);
            field.on_enter = nullptr;
            field.on_escape = nullptr;
        }
        for (int32_t k = 0; k < 6; ++k) {
            for (Element* b : {&app.rotation_order_buttons[k], &app.transform_order_buttons[k]}) {
                b->typeface = &typefaces[3];
                b->selected = false;
            }
        }
    } else {
        const EntityRecord& e = set->records[static_cast<size_t>(s)];
        app.entity_header.enabled = true;
        app.entity_ppd_button.visible = true;
        app.entity_ppd_button.text_opacity = carries_profiling(e) ? 1.0 : 0.5;
        app.entity_name_label.set_text(e.file_name);
        info.set_text_lines(e.information_lines);
        headings.set_text(e.heading_text);
        const int32_t padding = app.ui_metrics.ui_padding;
        const int32_t text_width = info.text_width;
        const int32_t text_height = info.text_height;
        area.visible = true;
        area.height = 2 * padding - 1 + text_height + 12 * app.ui_metrics.bar_height;
        for (Label* label : {&info, &headings}) {
            label->width = text_width + 2 * padding;
            label->height = text_height + 2 * padding;
        }
        app.transform_editor.y = text_height + 2 * padding;
        for (int32_t k = 0; k < 10; ++k) {
            TextField& field = *transform_field(app, k);
            show_field_text(field, double_to_text(transform_value(e, k)));
            field.on_enter = transform_commit_actions[k];
            field.on_escape = transform_sync_actions[k];
        }
        show_orders(app.rotation_order_buttons, e.rotation_order);
        show_orders(app.transform_order_buttons, e.transform_order);
        area.layout_handler = layout_entity_information;
    }
    refresh_root(app);
}

void layout_entity_information(int32_t, int32_t) {
    AppContext* app = app_instance;
    if (!app) return;
    const int32_t content = app->entity_information_label.text_width + 2 * app->ui_metrics.ui_padding;
    const int32_t dx = truncate_to_int(static_cast<double>(side_list_width(*app) - content) *
                                       app->entity_inspector_scroll.scroll_x);
    app->entity_information_label.x = dx;
    app->entity_heading_label.x = dx;
    // The header's name and PPD button scroll with the text below them, each
    // from where the build placed it (the button at the side pane's right).
    Label& ppd = app->entity_ppd_button;
    app->entity_name_label.x = dx;
    ppd.x = app->ui_metrics.side_pane_width - ppd.width + dx;
}
