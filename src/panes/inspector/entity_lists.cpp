#include "panes/inspector/entity_lists.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "art/icon_table.h"
#include "panes/inspector/confirmations.h"
#include "panes/popups/message_boxes.h"
#include "panes/inspector/entity_inspector.h"
#include "panes/inspector/parameter_pane.h"
#include "panes/layout/pane_layouts.h"
#include "render/camera_control.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

constexpr int32_t ROW_PITCH = 51;
constexpr int32_t ROW_HEIGHT = 50;

size_t entity_count(const EntitySet* set) {
    if (set == nullptr) return 0;
    size_t n = set->count < 0 ? 0 : static_cast<size_t>(set->count);
    return std::min(n, set->records.size());
}

// The listed entity indices of each list, row by row (only valid indices).
std::vector<int32_t> entity_list_indices(const EntitySet* set) {
    std::vector<int32_t> indices;
    for (size_t i = 0; i < entity_count(set); ++i) indices.push_back(static_cast<int32_t>(i));
    return indices;
}
std::vector<int32_t> parameter_list_indices(const EntitySet* set) {
    std::vector<int32_t> indices;
    if (set == nullptr) return indices;
    const size_t n = std::min(set->parameter_entities.size(),
                              static_cast<size_t>(std::max(set->parameter_entity_count, 0)));
    for (size_t k = 0; k < n; ++k) {
        const int32_t index = set->parameter_entities[k];
        if (index >= 0 && static_cast<size_t>(index) < entity_count(set)) indices.push_back(index);
    }
    return indices;
}

struct IconPlace {
    int32_t icon, x_from_right, y;
};

// What differs between the two lists.
struct ListShape {
    Container* list;
    std::vector<Container>* rows;
    ListRowParts* parts;
    Element* hint;
    // Width of the right-hand icon block and the label's extra width.
    int32_t icon_block;
    int32_t label_extra;
    std::vector<IconPlace> icons;
    ClickCallback click;
    PointerCallback press;
    LayoutCallback layout;
};

ListShape entity_list_shape(AppContext& app) {
    return {&app.entity_list, &app.entity_rows, &app.side_pane.entity_row_parts, &app.entity_list_hint, 48, 82,
            {{ICON_FOCUS, 47, 2}, {ICON_MATERIAL, 25, 2}, {ICON_REFRESH, 47, 22}, {ICON_DELETE, 25, 22}},
            on_entity_list_click, record_entity_list_press, layout_entity_list};
}
ListShape parameter_list_shape(AppContext& app) {
    return {&app.parameter_entity_list, &app.parameter_rows, &app.side_pane.parameter_row_parts,
            &app.parameter_list_hint, 25, 57, {{ICON_FOCUS, 25, 22}, {ICON_MATERIAL, 25, 2}},
            on_parameter_entity_row_click, record_parameter_list_press, layout_parameter_list};
}

std::vector<Element>& icon_vector(ListRowParts& parts, size_t slot) {
    switch (slot) {
    case 0: return parts.focus_icons;
    case 1: return parts.visibility_icons;
    case 2: return parts.reassemble_icons;
    default: return parts.delete_icons;
    }
}

void forget_list(ListShape& shape) {
    ListRowParts& p = *shape.parts;
    forget_vector_elements(*shape.rows);
    forget_vector_elements(p.bodies);
    for (auto* v : {&p.names, &p.details, &p.locks, &p.focus_icons, &p.visibility_icons, &p.reassemble_icons,
                    &p.delete_icons, &p.separators}) {
        forget_vector_elements(*v);
        v->clear();
    }
    p.bodies.clear();
    shape.rows->clear();
}

void set_label_style(Element& label, const Typeface* face) {
    label.typeface = face;
    label.text_colour = active_theme.colours[8];
    label.depth_offset = 0.005;
}

void rebuild_list(AppContext& app, ListShape shape, const std::vector<int32_t>& indices, int32_t selected) {
    EntitySet* set = app.entities.current_entities;
    const int32_t n = static_cast<int32_t>(indices.size());
    const int32_t width = side_list_width(app);
    shape.hint->visible = n == 0;

    int32_t hovered = -1;
    for (size_t k = 0; k < shape.rows->size(); ++k) {
        if (hover_element == &(*shape.rows)[k]) {
            hovered = static_cast<int32_t>(k);
            (*shape.rows)[k].hovered = false;
            hover_element = nullptr;
        }
    }
    Container& list = *shape.list;
    list.click_handler = nullptr;
    list.mouse_down_handler = nullptr;
    list.scroll_handler = nullptr;
    list.layout_handler = nullptr;
    list.children.clear();
    forget_list(shape);

    if (n > 0) {
        ListRowParts& p = *shape.parts;
        const size_t count = static_cast<size_t>(n);
        shape.rows->resize(count);
        p.bodies.resize(count);
        for (auto* v : {&p.names, &p.details, &p.locks}) v->resize(count);
        for (size_t s = 0; s < shape.icons.size(); ++s) icon_vector(p, s).resize(count);
        list.background_colour = active_theme.colours[7];
        list.border_bottom.width = app.ui_metrics.thin_border;
        list.border_bottom.palette = &active_theme.palettes[9];
        for (size_t k = 0; k < count; ++k) {
            const EntityRecord& e = set->records[static_cast<size_t>(indices[k])];
            Container& row = (*shape.rows)[k];
            row.x = 0;
            row.y = ROW_PITCH * static_cast<int32_t>(k);
            row.width = width;
            row.height = ROW_HEIGHT;
            row.user_index = static_cast<int32_t>(k);
            row.selected = static_cast<int32_t>(k) == selected;
            row.hover_palette = &active_theme.palettes[8];
            row.selected_palette = &active_theme.palettes[7];

            Container& body = p.bodies[k];
            body.x = 0;
            body.y = 0;
            body.width = width - shape.icon_block;
            body.height = ROW_HEIGHT;
            body.opacity = e.visible ? 1.0 : 0.25;

            const int32_t label_width = app.ui_metrics.ui_padding + shape.label_extra + e.summary_width;
            const auto summary = [&](size_t i) { return i < e.summary_lines.size() ? e.summary_lines[i] : ""; };
            Element& name = p.names[k];
            set_label_style(name, &typefaces[4]);
            name.width = label_width;
            name.height = ROW_HEIGHT;
            name.padding_left = 8;
            name.padding_top = 3;
            name.set_text(summary(0));
            Element& details = p.details[k];
            set_label_style(details, &typefaces[3]);
            details.width = label_width;
            details.height = ROW_HEIGHT;
            details.align_y = 1;
            details.padding_left = 37;
            details.padding_bottom = 4;
            details.set_text(summary(1) + "\n" + summary(2));
            body.children = {&name, &details};

            Element& lock = p.locks[k];
            lock.x = 4;
            lock.y = 15;
            lock.width = 32;
            lock.height = 32;
            lock.icon = ICON_LOCKED;
            lock.icon_flip_x = true;
            lock.opacity = e.locked ? 1.0 : 0.25;
            row.children = {&body, &lock};
            for (size_t s = 0; s < shape.icons.size(); ++s) {
                Element& icon = icon_vector(p, s)[k];
                icon.icon = shape.icons[s].icon;
                icon.x = width - shape.icons[s].x_from_right;
                icon.y = shape.icons[s].y;
                icon.width = 24;
                icon.height = 24;
                row.children.push_back(&icon);
            }
            list.children.push_back(&row);
        }
        if (n > 1) {
            p.separators.resize(count - 1);
            for (size_t k = 0; k + 1 < count; ++k) {
                Element& separator = p.separators[k];
                separator.x = 0;
                separator.y = ROW_HEIGHT + ROW_PITCH * static_cast<int32_t>(k);
                separator.width = width;
                separator.height = 1;
                separator.background_palette = &active_theme.palettes[9];
                list.children.push_back(&separator);
            }
        }
        list.click_handler = shape.click;
        list.mouse_down_handler = shape.press;
        list.scroll_handler = set_relayout_pending;
        list.layout_handler = shape.layout;
    }
    list.height = ROW_PITCH * n - (n > 0 ? 1 : 0);
    if (hovered >= 0 && hovered < n) {
        hover_element = &(*shape.rows)[static_cast<size_t>(hovered)];
        hover_element->hovered = true;
    }
    refresh_root(app);
}

int32_t scroll_offset(int32_t width, int32_t content, double fraction) {
    return truncate_to_int(static_cast<double>(width - content) * fraction);
}

// The labels are as wide as the widest summary line plus the icon room, so
// the list's sideways bar brings the end of every line into view; the
// row's body clips them before its buttons. Only text and lock move.
void slide_rows(const AppContext& app, const ListShape& shape, int32_t widest, double fraction) {
    const int32_t dx =
        scroll_offset(side_list_width(app), widest + app.ui_metrics.ui_padding + shape.label_extra, fraction);
    ListRowParts& p = *shape.parts;
    for (size_t k = 0; k < p.names.size(); ++k) {
        p.names[k].x = dx;
        if (k < p.details.size()) p.details[k].x = dx;
        if (k < p.locks.size()) p.locks[k].x = 4 + dx;
    }
}

void layout_list(AppContext& app, ListShape shape, int32_t height, int32_t widest, double fraction, bool any) {
    Container& list = *shape.list;
    if (any && height < shape.hint->height) {
        list.border_bottom.width = 1;
        list.border_bottom.palette = &active_theme.palettes[9];
    } else {
        list.border_bottom.width = 0;
        list.border_bottom.palette = nullptr;
    }
    slide_rows(app, shape, widest, fraction);
}

// Row k of a list when the hovered element is one of its rows, else -1.
int32_t hovered_row(const std::vector<Container>& rows) {
    for (size_t k = 0; k < rows.size(); ++k) {
        if (hover_element == &rows[k]) return rows[k].user_index;
    }
    return -1;
}

// The parameter-list row of entity i, or -1 after printing `error` when the
// entity has parameters but is not listed.
int32_t parameter_row_of(const EntitySet& set, int32_t i, const char* error) {
    const EntityRecord& e = set.records[static_cast<size_t>(i)];
    if (!e.parse_result.valid || e.parse_result.parameter_count < 1) return -1;
    auto found = std::find(set.parameter_entities.begin(), set.parameter_entities.end(), i);
    if (found == set.parameter_entities.end()) {
        std::fputs(error, stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        return -1;
    }
    return static_cast<int32_t>(found - set.parameter_entities.begin());
}

template <typename T>
T* at_or_null(std::vector<T>& v, int32_t k) {
    return k >= 0 && static_cast<size_t>(k) < v.size() ? &v[static_cast<size_t>(k)] : nullptr;
}

// A push changes a row's summary (counts, seconds, mesh size): the row gets
// its new lines whole, its labels the new width, and the list's widest line
// and slide follow, so the bar still reaches the end of every line.
void relabel_row(AppContext& app, const ListShape& shape, const std::vector<int32_t>& indices, EntityListView* view,
                 double fraction, int32_t row, const std::string& text) {
    const EntitySet* set = app.entities.current_entities;
    ListRowParts& p = *shape.parts;
    Element* name = at_or_null(p.names, row);
    Element* details = at_or_null(p.details, row);
    if (!set || !name || !details || static_cast<size_t>(row) >= indices.size()) return;
    details->set_text(text);
    const auto summary_width = [&](int32_t i) { return set->records[static_cast<size_t>(i)].summary_width; };
    name->width = details->width =
        app.ui_metrics.ui_padding + shape.label_extra + summary_width(indices[static_cast<size_t>(row)]);
    int32_t widest = 0;
    for (int32_t i : indices) widest = std::max(widest, summary_width(i));
    if (view) view->width = widest;
    slide_rows(app, shape, widest, fraction);
}

void set_entity_visibility(EntityRecord& e, uint8_t visible) {
    e.visible = visible;
    if (e.mesh) e.mesh->visible = visible;
    if (e.parallel == 1) {
        for (EntityRecord* sub : e.subelement_records) {
            if (!sub) continue;
            sub->visible = visible;
            if (sub->mesh) sub->mesh->visible = visible;
        }
    }
}

// Mirrors lock and visibility of entity i into the other list's rows.
void show_entity_flags(AppContext& app, int32_t entity_index, int32_t parameter_row) {
    const EntityRecord& e = app.entities.current_entities->records[static_cast<size_t>(entity_index)];
    const double lock = e.locked ? 1.0 : 0.25;
    const double body = e.visible ? 1.0 : 0.25;
    ListRowParts& er = app.side_pane.entity_row_parts;
    ListRowParts& pr = app.side_pane.parameter_row_parts;
    if (Element* l = at_or_null(er.locks, entity_index)) l->opacity = lock;
    if (Container* b = at_or_null(er.bodies, entity_index)) b->opacity = body;
    if (Element* l = at_or_null(pr.locks, parameter_row)) l->opacity = lock;
    if (Container* b = at_or_null(pr.bodies, parameter_row)) b->opacity = body;
}

}  // namespace

void rebuild_entity_rows(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    const EntityListView* view = app.entities.current_environment_parts.entity_view;
    rebuild_list(app, entity_list_shape(app), entity_list_indices(set), view ? view->selected_row : -1);
}

void rebuild_parameter_rows(AppContext& app) {
    EntitySet* set = app.entities.current_entities;
    EntityListView* view = app.entities.current_environment_parts.parameter_view;
    const std::vector<int32_t> indices = parameter_list_indices(set);
    if (view) {
        // The selection follows its entity when rows were added or removed.
        if (view->selected_serial >= 0) {
            view->selected_row = -1;
            for (size_t k = 0; k < indices.size(); ++k) {
                if (set->records[static_cast<size_t>(indices[k])].serial_id == view->selected_serial)
                    view->selected_row = static_cast<int32_t>(k);
            }
        } else if (view->selected_row >= static_cast<int32_t>(indices.size())) {
            view->selected_row = -1;
        }
        view->selected_serial =
            view->selected_row >= 0 ? set->records[static_cast<size_t>(indices[static_cast<size_t>(view->selected_row)])].serial_id : -1;
    }
    rebuild_list(app, parameter_list_shape(app), indices, view ? view->selected_row : -1);
}

bool record_entity_list_press(int32_t x, int32_t y, int32_t) {
    if (AppContext* app = app_instance) {
        app->side_pane.entity_row_parts.press_x = x;
        app->side_pane.entity_row_parts.press_y = y;
    }
    return false;
}

bool record_parameter_list_press(int32_t x, int32_t y, int32_t) {
    if (AppContext* app = app_instance) {
        app->side_pane.parameter_row_parts.press_x = x;
        app->side_pane.parameter_row_parts.press_y = y;
    }
    return false;
}

bool set_relayout_pending(int32_t, int32_t, int32_t) {
    relayout_pending = true;
    return false;
}

void layout_entity_list(int32_t, int32_t height) {
    AppContext* app = app_instance;
    if (!app) return;
    const EntityListView* view = app->entities.current_environment_parts.entity_view;
    layout_list(*app, entity_list_shape(*app), height, view ? view->width : 0, app->entity_list_scroll.scroll_x,
                entity_count(app->entities.current_entities) > 0);
}

void layout_parameter_list(int32_t, int32_t height) {
    AppContext* app = app_instance;
    if (!app) return;
    const EntityListView* view = app->entities.current_environment_parts.parameter_view;
    layout_list(*app, parameter_list_shape(*app), height, view ? view->width : 0,
                app->parameter_entity_scroll.scroll_x,
                !parameter_list_indices(app->entities.current_entities).empty());
}

void on_entity_list_click() {
    AppContext* context = app_instance;
    if (!context) return;
    AppContext& app = *context;
    EntitySet* set = app.entities.current_entities;
    const int32_t i = hovered_row(app.entity_rows);
    if (i < 0 || static_cast<size_t>(i) >= entity_count(set)) return;
    EntityListView* view = app.entities.current_environment_parts.entity_view;
    const int32_t x = app.side_pane.entity_row_parts.press_x;
    const int32_t r = app.side_pane.entity_row_parts.press_y % ROW_PITCH;
    const int32_t w = side_list_width(app);
    const int32_t dx = scroll_offset(w, (view ? view->width : 0) + app.ui_metrics.ui_padding + 82,
                                     app.entity_list_scroll.scroll_x);
    EntityRecord& e = set->records[static_cast<size_t>(i)];
    const int32_t block = x - (w - 50);
    if (x <= 31 && r >= 19 && x < dx + 32) {
        e.locked = !e.locked;
        show_entity_flags(app, i, parameter_row_of(*set, i, "CRITICAL-ERROR-RESOLVING-PARAMETRIC-MAP-ID@LOCK"));
    } else if (x <= w - 50) {
        const int32_t s = view ? view->selected_row : -1;
        if (Container* old = s != i ? at_or_null(app.entity_rows, s) : nullptr) old->selected = false;
        const bool deselect = i == s;
        if (view) view->selected_row = deselect ? -1 : i;
        app.entity_rows[static_cast<size_t>(i)].selected = !deselect;
        refresh_entity_inspector(app);
    } else if (block <= 24 && r <= 24) {
        if (!app.ui_flags.camera_locked) look_at_entity(app, e);
    } else if (block <= 24) {
        confirm_reassemble_entity(app, i);
    } else if (r <= 24) {
        set_entity_visibility(e, !e.visible);
        show_entity_flags(app, i, parameter_row_of(*set, i, "CRITICAL-ERROR-RESOLVING-PARAMETRIC-MAP-ID@CLIP"));
    } else {
        confirm_delete_entity(app, i);
    }
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void on_parameter_entity_row_click() {
    AppContext* context = app_instance;
    if (!context) return;
    AppContext& app = *context;
    EntitySet* set = app.entities.current_entities;
    const std::vector<int32_t> indices = parameter_list_indices(set);
    const int32_t r = hovered_row(app.parameter_rows);
    if (r < 0 || static_cast<size_t>(r) >= indices.size()) return;
    const int32_t i = indices[static_cast<size_t>(r)];
    EntityRecord& e = set->records[static_cast<size_t>(i)];
    EntityListView* view = app.entities.current_environment_parts.parameter_view;
    const int32_t x = app.side_pane.parameter_row_parts.press_x;
    const int32_t y = app.side_pane.parameter_row_parts.press_y % ROW_PITCH;
    const int32_t w = side_list_width(app);
    const int32_t offset = scroll_offset(w, (view ? view->width : 0) + app.ui_metrics.ui_padding + 57,
                                         app.parameter_entity_scroll.scroll_x);
    if (x <= 31 && y > 18 && x < offset + 32) {
        e.locked = !e.locked;
        show_entity_flags(app, i, r);
    } else if (x <= w - 25) {
        const int32_t s = view ? view->selected_row : -1;
        if (Container* old = s != r ? at_or_null(app.parameter_rows, s) : nullptr) old->selected = false;
        const bool deselect = s == r;
        if (view) {
            view->selected_row = deselect ? -1 : r;
            view->selected_serial = deselect ? -1 : e.serial_id;
            // Extents of the selected entity's parameter blocks.
            view->further_values[2] = 0;
            view->further_values[3] = deselect ? 0 : 32 * static_cast<int64_t>(e.parse_result.parameter_count);
        }
        app.parameter_list_scroll.scroll_x = 0.0;
        app.parameter_list_scroll.scroll_y = 0.0;
        app.parameter_rows[static_cast<size_t>(r)].selected = !deselect;
        rebuild_parameter_pane(app);
    } else if (y <= 24 && !app.ui_flags.camera_locked) {
        set_entity_visibility(e, !e.visible);
        show_entity_flags(app, i, r);
    } else {
        look_at_entity(app, e);
    }
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void set_entity_row_label(AppContext& app, int32_t row, const std::string& text) {
    relabel_row(app, entity_list_shape(app), entity_list_indices(app.entities.current_entities),
                app.entities.current_environment_parts.entity_view, app.entity_list_scroll.scroll_x, row, text);
}

void set_parameter_row_label(AppContext& app, int32_t row, const std::string& text) {
    relabel_row(app, parameter_list_shape(app), parameter_list_indices(app.entities.current_entities),
                app.entities.current_environment_parts.parameter_view, app.parameter_entity_scroll.scroll_x, row,
                text);
}
