#include "panes/inspector/ppd_viewer.h"

#include <algorithm>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "export/ppd_report.h"
#include "panes/bars/directive_lines.h"
#include "panes/inspector/confirmations.h"
#include "panes/popups/message_boxes.h"
#include "panes/bars/bar_toggles.h"
#include "panes/popups/list_rows.h"
#include "text/split.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

const char* const missing_ppd_text =
    "The selected entity does not include embedded performance-profiling-data.\n\n"
    "In order to use this control, re-assemble with profiling enabled.\n\n"
    "Note: you can enable (and disable) performance-profiling using the\n"
    "run-script/assemble-mesh menu-dialog's title-right toggle-button.\n\n"
    "Note: you can quickly display the run/assemble menu-dialog using the shortcut:\n\t [SHIFT + R]";

bool carries_report(const EntityRecord* e) { return e && e->mesh && !e->mesh->ppd_text.empty(); }

bool has_profiling(const EntityRecord& e) {
    if (e.parallel == 0 && e.mesh) return !e.mesh->ppd_text.empty();
    if (e.subelement_count < 1 || e.subelement_records.size() != static_cast<size_t>(e.subelement_count)) return false;
    return std::any_of(e.subelement_records.begin(), e.subelement_records.end(), carries_report);
}

std::string compose_report(const EntityRecord& e) {
    return e.parallel == 1 ? compose_parallel_ppd_report(e) : compose_ppd_report(e);
}

void show_report(AppContext& app, const std::string& report) {
    Label& label = app.ppd_report_label;
    const int32_t pad = app.ui_metrics.ui_padding;
    label.set_text(report);
    label.width = label.text_width + 2 * pad + 1;
    label.height = label.text_height + 2 * pad;
}

// The record a row stands for, resolved now: null when its entity has been
// closed, or its element is absent.
const EntityRecord* row_record(AppContext& app, size_t row) {
    EntityRecord* entity = find_entity_by_serial(app.entities.current_entities, app.ppd_row_ids[row]);
    const int32_t element = app.ppd_row_elements[row];
    if (!entity || element < 0) return entity;
    const auto& subs = entity->subelement_records;
    return static_cast<size_t>(element) < subs.size() ? subs[static_cast<size_t>(element)] : nullptr;
}

}  // namespace

void open_ppd_view(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    const EntityListView* view = app.entities.current_environment_parts.entity_view;
    const int32_t s = view ? view->selected_row : -1;
    const size_t count = set ? std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0))) : 0;
    if (s < 0 || static_cast<size_t>(s) >= count || !has_profiling(set->records[static_cast<size_t>(s)])) {
        show_info_box(app, "Entity is Missing PPD", missing_ppd_text);
        return;
    }
    const EntityRecord& e = set->records[static_cast<size_t>(s)];
    const std::string report = compose_report(e);

    app.ppd_row_list.click_handler = nullptr;
    forget_vector_elements(app.ppd_rows);
    app.ppd_rows.clear();
    app.ppd_row_list.children.clear();
    show_report(app, report);

    const UiMetrics& m = app.ui_metrics;
    const int32_t pad = m.ui_padding;
    const int32_t row_height = m.bar_height;
    const bool parallel = e.parallel == 1;
    const size_t n = parallel ? static_cast<size_t>(e.subelement_count) + 1 : 1;
    app.ppd_rows.resize(n);
    app.ppd_row_ids.assign(n, e.serial_id);
    app.ppd_row_elements.assign(n, -1);
    int32_t widest = app.ppd_row_scroll.width - app.ppd_row_scroll.bar_thickness;
    for (size_t i = 0; i < n; ++i) {
        Label& row = app.ppd_rows[i];
        std::string text = extract_file_name(e.parse_record.path);
        const Typeface* face = &typefaces[parallel ? 4 : 3];
        if (i > 0) {
            const EntityRecord* sub = e.subelement_records[i - 1];
            text = sub ? extract_file_name(sub->parse_record.path) : std::string("NULL");
            face = &typefaces[5];
            app.ppd_row_elements[i] = static_cast<int32_t>(i - 1);
        }
        row.typeface = face;
        style_report_list_row(row, static_cast<int32_t>(i), row_height, pad, m.thin_border);
        row.set_text(text);
        row.user_index = static_cast<int32_t>(i);
        row.width = row.text_width + 2 * pad;
        widest = std::max(widest, row.width);
        app.ppd_row_list.children.push_back(&row);
    }
    for (Label& row : app.ppd_rows) row.width = widest;
    app.ppd_row_list.width = widest;
    const int32_t rows_height = static_cast<int32_t>(n) * row_height;
    app.ppd_row_list.height =
        rows_height - (rows_height > app.ppd_row_scroll.height - app.ppd_row_scroll.bar_thickness ? 1 : 0);

    app.ppd_row_count = static_cast<int32_t>(n);
    app.ppd_selected_row = 0;
    for (ScrollPane* pane : {&app.ppd_row_scroll, &app.ppd_report_scroll}) {
        pane->scroll_x = 0.0;
        pane->scroll_y = 0.0;
    }
    app.ppd_rows[0].selected = true;
    app.ppd_row_list.click_handler = on_ppd_row_click;
    app.ppd_list_button.click_handler = toggle_ppd_index_column;

    uint8_t& open = app.pane_open_flags[PANE_PROFILE];
    open = !open;
    app.PROFILEPANE.visible = open;
    app.OVERLAY.visible = open;
    app.MASKPANE.visible = open;
    refresh_root(app);
}

void on_ppd_view_button() {
    if (AppContext* app = app_instance) open_ppd_view(*app);
}

void on_ppd_row_click() {
    AppContext* context = app_instance;
    if (!context || hover_element == nullptr) return;
    AppContext& app = *context;
    const size_t rows = std::min({app.ppd_rows.size(), app.ppd_row_ids.size(), app.ppd_row_elements.size(),
                                  static_cast<size_t>(std::max(app.ppd_row_count, 0))});
    const int32_t i = hover_element->user_index;
    if (i < 0 || static_cast<size_t>(i) >= rows || hover_element != &app.ppd_rows[static_cast<size_t>(i)]) return;
    if (i != app.ppd_selected_row) {
        if (app.ppd_selected_row >= 0 && static_cast<size_t>(app.ppd_selected_row) < rows)
            app.ppd_rows[static_cast<size_t>(app.ppd_selected_row)].selected = false;
        app.ppd_selected_row = i;
        app.ppd_rows[static_cast<size_t>(i)].selected = true;
        if (const EntityRecord* record = row_record(app, static_cast<size_t>(i))) show_report(app, compose_report(*record));
    }
    app.ppd_report_scroll.scroll_x = 0.0;
    app.ppd_report_scroll.scroll_y = 0.0;
    refresh_root(app);
}
