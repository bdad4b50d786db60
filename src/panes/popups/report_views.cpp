#include "panes/popups/report_views.h"

#include <algorithm>
#include <string>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "panes/popups/list_rows.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

const Element* last_tooltip_element = nullptr;

namespace {

void show_hint_text(Element& label, const char* text) { label.set_text(text ? text : ""); }

size_t report_rows(const ParseReport& report) {
    return std::min({static_cast<size_t>(std::max(report.row_count, 0)), report.names.size(),
                     report.section_lines.size(), report.kinds.size()});
}

// The section blocks of one row; S = bar height, M = padding.
void fill_sections(AppContext& app, size_t row) {
    ParseReport& report = app.parse_report;
    ParsePaneWidgets& w = app.popup_contents.parse;
    const int32_t S = app.ui_metrics.bar_height, M = app.ui_metrics.ui_padding;
    const SectionLines* lines = row < report.section_lines.size() ? &report.section_lines[row] : nullptr;

    w.script_name_label.set_text(row < report.names.size() ? report.names[row] : std::string());
    int32_t y = 0, wanted = 0;
    std::vector<std::string> body;
    for (size_t k = 0; k < SECTION_COUNT; ++k) {
        const std::vector<std::string> empty;
        const std::vector<std::string>& list = lines ? (*lines)[k] : empty;
        Element& heading = w.section_headings[k];
        Element& text = w.section_texts[k];
        heading.set_text(list.empty() ? std::string() : list.front());
        int32_t text_height = S - 1;
        if (list.size() >= 2) {
            body.assign(list.begin() + 1, list.end());
            text.set_text_lines(body);
            text_height = text.text_height + 2 * M;
        } else {
            text.set_text(std::string());
        }
        heading.x = 1, heading.y = y, heading.height = S;
        text.x = 1, text.y = y + S, text.height = text_height;
        y += S + text_height;
        wanted = std::max({wanted, 3 * M + heading.text_width, 3 * M + text.text_width});
    }
    const ScrollPane& view = app.parse_section_scroll;
    const int32_t width = std::max(wanted, view.width - view.bar_thickness);
    for (size_t k = 0; k < SECTION_COUNT; ++k) {
        w.section_headings[k].width = width;
        w.section_texts[k].width = width;
    }
    w.section_headings[0].y -= 1;
    w.section_headings[0].height += 1;
    for (Element* e : {static_cast<Element*>(&app.parse_section_text), static_cast<Element*>(&w.section_rows)}) {
        e->x = 0, e->y = 0, e->width = width, e->height = y;
    }

    const size_t rows = report_rows(report);
    if (row >= rows) {
        app.parse_section_scroll.scroll_x = app.parse_section_scroll.scroll_y = 0.0;
        report.selected_row = -1;
        return;
    }
    if (report.saved_fractions.size() < rows) report.saved_fractions.resize(rows);
    const std::array<double, 2>& saved = report.saved_fractions[row];
    app.parse_section_scroll.scroll_y = saved[0];
    app.parse_section_scroll.scroll_x = saved[1];
    if (row < app.parse_report_rows.size()) app.parse_report_rows[row].selected = true;
    report.selected_row = static_cast<int32_t>(row);
}

void redraw(AppContext& app) {
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

}  // namespace

void update_tooltip_panel(AppContext& app) {
    // A tip element that went away leaves both pointers null with its texts
    // still shown: hide them too.
    if (tooltip_element == last_tooltip_element && (tooltip_element != nullptr || !app.HINTBAR.visible)) return;
    StatusState& status = app.status;
    const Element* e = tooltip_element;
    if (e == nullptr) {
        status.tooltip_caption.clear();
        status.tooltip_text.clear();
        status.tooltip_element_id = -1;
        app.hint_caption.set_text(std::string());
        app.hint_text.set_text(std::string());
        app.hint_icon.icon = -1;
        app.HINTBAR.visible = false;
    } else {
        status.tooltip_caption = e->tooltip_title ? e->tooltip_title : "";
        status.tooltip_text = e->tooltip_text ? e->tooltip_text : "";
        status.tooltip_element_id = e->tooltip_icon >= 0 ? e->tooltip_icon : e->icon >= 1 ? e->icon : -1;
        show_hint_text(app.hint_caption, e->tooltip_title);
        show_hint_text(app.hint_text, e->tooltip_text);
        app.hint_icon.icon = status.tooltip_element_id;
        app.HINTBAR.visible = true;
    }
    last_tooltip_element = tooltip_element;
    place_hint_cells(app);
    refresh_root(app);
}

void place_hint_cells(AppContext& app) {
    const int32_t M = app.ui_metrics.ui_padding, R = app.ui_metrics.row_height;
    Element& mode = app.llmi_caption;
    mode.visible = app.HINTBAR.visible && last_tooltip_element == &app.canvas_pick_area &&
                   app.bars.llmi_pick_key != '!';
    const int32_t lead = mode.visible ? mode.x + mode.width : 0;
    app.hint_icon.x = lead + M / 2;
    const int32_t margin = lead + (app.status.tooltip_element_id < 0 ? M / 2 : R + 2 * M);
    app.hint_caption.margin_left = margin;
    app.hint_text.margin_left = margin;
}

void show_parse_report_sections(AppContext& app, int32_t row) {
    ParseReport& report = app.parse_report;
    const size_t rows = report_rows(report);
    if (row < 0 || static_cast<size_t>(row) >= rows) return;
    const int32_t previous = report.selected_row;
    if (previous >= 0 && static_cast<size_t>(previous) < rows) {
        if (report.saved_fractions.size() < rows) report.saved_fractions.resize(rows);
        report.saved_fractions[static_cast<size_t>(previous)] = {app.parse_section_scroll.scroll_y,
                                                                 app.parse_section_scroll.scroll_x};
        if (static_cast<size_t>(previous) < app.parse_report_rows.size())
            app.parse_report_rows[static_cast<size_t>(previous)].selected = false;
    }
    fill_sections(app, static_cast<size_t>(row));
    redraw(app);
}

void build_parse_report_rows(AppContext& app) {
    ParseReport& report = app.parse_report;
    const UiMetrics& m = app.ui_metrics;
    const int32_t P = m.ui_padding, R = m.row_height;
    const size_t n = report_rows(report);

    forget_vector_elements(app.parse_report_rows);
    app.parse_entity_list.children.clear();
    app.parse_report_rows.assign(n, Element());
    int32_t widest = app.parse_entity_scroll.width - app.parse_entity_scroll.bar_thickness;
    for (size_t i = 0; i < n; ++i) {
        Element& row = app.parse_report_rows[i];
        const char kind = report.kinds[i];
        row.typeface = &typefaces[kind == REPORT_ROW_ELEMENT ? 6 : kind == REPORT_ROW_PARALLEL ? 7 : 8];
        style_report_list_row(row, static_cast<int32_t>(i), R, P, m.thin_border);
        // A name wider than the list ends with "..."; the selected row's
        // whole name shows beside "Script-Parse".
        const std::string name = kind == REPORT_ROW_ELEMENT ? "\t " + report.names[i] : report.names[i];
        row.set_text(widest > 2 * P ? fit_line_with_ellipsis(row.typeface, name, widest - 2 * P) : name);
        row.user_index = static_cast<int32_t>(i);
        row.click_handler = on_click_parse_report_row;
        app.parse_entity_list.children.push_back(&row);
    }
    for (Element& row : app.parse_report_rows) row.width = widest;
    app.parse_entity_list.width = widest;
    app.parse_entity_list.height = static_cast<int32_t>(n) * R;
    app.popup_frames[FRAME_PARSE].title_label.set_text(report.title);

    // A new report starts on its first row with the view at the top; the
    // old report's fractions and selection mean nothing for it.
    report.saved_fractions.assign(n, {0.0, 0.0});
    report.selected_row = -1;
    app.parse_entity_scroll.scroll_x = app.parse_entity_scroll.scroll_y = 0.0;
    fill_sections(app, 0);
    redraw(app);
}

void on_click_parse_report_row() {
    AppContext* app = app_instance;
    if (app == nullptr || hover_element == nullptr) return;
    const std::vector<Element>& rows = app->parse_report_rows;
    const int32_t i = hover_element->user_index;
    if (i < 0 || static_cast<size_t>(i) >= rows.size() || hover_element != &rows[static_cast<size_t>(i)]) return;
    show_parse_report_sections(*app, i);
}

void reset_tooltip_panel_for_tests() { last_tooltip_element = nullptr; }
