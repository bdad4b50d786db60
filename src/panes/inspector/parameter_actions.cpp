#include "panes/inspector/parameter_actions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "art/icon_table.h"
#include "model/parameters.h"
#include "panes/bars/bar_toggles.h"
#include "panes/inspector/confirmations.h"
#include "panes/popups/message_boxes.h"
#include "panes/popups/popups.h"
#include "pipeline/parameter_push.h"
#include "text/text_utils.h"
#include "ui/theme.h"
#include "ui/ui_state.h"

namespace {

constexpr uint32_t true_colour = 0xFF20A000u;
constexpr uint32_t false_colour = 0xFFA02000u;

const char* type_keyword(int32_t type) {
    return type >= 0 && type <= PARAMETER_UNDEFINED ? parameter_type_keywords[type] : "UNDEFINED";
}

bool numeric(int32_t type) { return type == PARAMETER_INT || type == PARAMETER_DBL || type == PARAMETER_LNG; }
bool has_slider(const EntityParameter& p) { return p.lower.type == p.type && p.upper.type == p.type; }

// The entity's parameter at a row, or null.
EntityParameter* row_parameter(EntityRecord& entity, int32_t row) {
    std::vector<EntityParameter*> listed = listed_parameters(entity);
    return row >= 0 && static_cast<size_t>(row) < listed.size() ? listed[static_cast<size_t>(row)] : nullptr;
}

// Numbers typed by the user must be finite: a nan or an infinity would be
// stored and pushed into the script.
ParameterValue parse_user_value(int32_t type, const std::string& text) {
    ParameterValue value = parse_typed_value(type, text);
    if (value.type == PARAMETER_DBL && !std::isfinite(value.double_value)) return ParameterValue();
    return value;
}

// Decimals that resolve a hundredth of the span: two, or more for a
// narrower span, so that each step of the slider still moves the value.
int32_t step_decimals(const EntityParameter& p) {
    const double span = std::fabs(p.upper.double_value - p.lower.double_value);
    if (!(span > 0.0) || !std::isfinite(span)) return 2;
    return std::max(static_cast<int32_t>(std::ceil(-std::log10(span))) + 2, 2);
}

// The most decimals a slider's field shows.
constexpr int32_t max_slider_decimals = 17;

int32_t slider_decimals(const EntityParameter& p) { return std::min(step_decimals(p), max_slider_decimals); }

void show_value(AppContext& app, int32_t row, const EntityParameter& p, bool fixed_decimals) {
    if (p.type == PARAMETER_BLN) {
        const bool on = p.current.bool_value != 0;
        set_parameter_field(app, row, on ? "TRUE" : "FALSE", on ? true_colour : false_colour);
    } else if (fixed_decimals && p.type == PARAMETER_DBL) {
        // The field must read back as the value in use: fixed decimals only
        // while they do, the value's own text otherwise. So must it be read:
        // a huge value (a bound of 1e308) in fixed notation is hundreds of
        // digits, of which the field shows only the last.
        const int32_t decimals = slider_decimals(p);
        const std::string fixed = double_to_text_fixed(p.current.double_value, decimals);
        const std::string own = typed_value_to_text(p.current);
        double back = 0.0;
        const bool exact = text_to_double(fixed, back) && back == p.current.double_value;
        const bool short_enough = fixed.size() <= own.size() + static_cast<size_t>(decimals) + 1;
        set_parameter_field(app, row, exact && short_enough ? fixed : own, 0);
    } else {
        set_parameter_field(app, row, typed_value_to_text(p.current), 0);
    }
}

// The box quotes the text that was refused.
void refuse_value(AppContext& app, const std::string& text) {
    show_error_box(app, "Error: Invalid Value for Parameter",
                   "The character sequence '" + text +
                       "' caused a parameter parsing error.\n\nNote: parameter parsing errors are typically the "
                       "result of type\nincompatibility - i.e. the inability to construct a valid entity value\n"
                       "of a given type from a specified literal.\n\nNote: the parameter's value has not been "
                       "modified.");
}

void mark_for_push(EntityRecord& entity) {
    if (!entity.parameter_multi_edit_mode) entity.parameter_push_pending = 1;
}

// A DBL slider's value at fraction f. The ends are the bounds themselves.
// Between them the weighted sum cannot overflow, as upper - lower does for
// "no limit" bounds such as +-1e308, and it gives a symmetric range's
// middle exactly.
double dbl_at_fraction(const EntityParameter& p, double f) {
    const double lower = p.lower.double_value, upper = p.upper.double_value;
    if (!(f > 0.0)) return lower;
    if (f >= 1.0) return upper;
    const double low = std::min(lower, upper), high = std::max(lower, upper);
    // Rounded to the decimals the field shows where they still resolve the
    // slider's steps and stay within the bounds; the exact value otherwise,
    // which the field shows as its own text.
    const int32_t decimals = step_decimals(p);
    double v = (1.0 - f) * lower + f * upper, shown = v;
    if (decimals <= max_slider_decimals && text_to_double(double_to_text_fixed(v, decimals), shown) &&
        shown >= low && shown <= high)
        v = shown;
    return std::min(std::max(v, low), high);
}

// Value at fraction f between the bounds.
void set_from_fraction(EntityParameter& p, double f) {
    if (!has_slider(p)) return;
    if (p.type == PARAMETER_DBL) {
        const double v = dbl_at_fraction(p, f);
        if (!std::isnan(v)) p.current.double_value = v;
    } else if (p.type == PARAMETER_INT || p.type == PARAMETER_LNG) {
        const bool is_int = p.type == PARAMETER_INT;
        const int64_t lower = is_int ? p.lower.int_value : p.lower.long_value;
        const int64_t upper = is_int ? p.upper.int_value : p.upper.long_value;
        // In double and clamped, so neither the range nor the result
        // overflows before the truncation.
        const double v = f * (static_cast<double>(upper) - static_cast<double>(lower)) + static_cast<double>(lower);
        int64_t result = lower;
        if (!(v > static_cast<double>(lower))) result = lower;
        else if (v >= static_cast<double>(upper)) result = upper;
        else result = static_cast<int64_t>(std::trunc(v));
        if (result > upper) result = upper;
        if (is_int) p.current.int_value = static_cast<int32_t>(result);
        else p.current.long_value = result;
    }
}

// Row of the slider being dragged, or -1.
int32_t dragged_row(AppContext& app) {
    for (size_t k = 0; k < app.parameter_sliders.size(); ++k) {
        if (app.parameter_sliders[k].dragging) return static_cast<int32_t>(k);
    }
    return -1;
}

void slider_moved(AppContext& app, int32_t row, double f, bool released) {
    EntityRecord* entity = parameter_entity_record(app);
    EntityParameter* p = entity ? row_parameter(*entity, row) : nullptr;
    if (!p) return;
    set_from_fraction(*p, f);
    show_value(app, row, *p, true);
    app.frame.needs_redraw = 1;
    refresh_root(app);
    if (released ? !entity->parameter_multi_edit_mode
                 : (!entity->parameter_multi_edit_mode && entity->parameter_immediate_mode))
        entity->parameter_push_pending = 1;
}

// Copies a bound into the value, as the bound cells at a slider's ends do.
void jump_to_bound(AppContext& app, EntityRecord& entity, EntityParameter& p, int32_t row, bool upper) {
    p.current = upper ? p.upper : p.lower;
    show_value(app, row, p, false);
    set_parameter_slider(app, row, upper ? 1.0 : 0.0);
    mark_for_push(entity);
}

const char* const placeholder_text =
    "UN-IMPLEMENTED!\n\nThis component is in development and is scheduled to drop circa V:0.2.6.\n\n"
    "Note: (as an interim measure) you can create parametric-variant directives\ndirectly in source (i.e. writing "
    "them by hand) and then use the geometry-viewer's\nglobal variant selector (to apply them) until this per-entity "
    "control is complete.\n\nNote: your patience is this is appreciated.";

}  // namespace

void set_parameter_field(AppContext& app, int32_t row, const std::string& text, uint32_t colour) {
    if (row < 0 || static_cast<size_t>(row) >= app.parameter_value_fields.size()) return;
    TextField& field = app.parameter_value_fields[static_cast<size_t>(row)];
    field.set_text(text);
    if (colour == 0) return;
    // A value shown on a colour of its own keeps its text readable on it.
    field.background_rgba = colour;
    field.text_colour = nullptr;
    field.text_rgba = contrasting_text_rgba(colour);
}

void set_parameter_slider(AppContext& app, int32_t row, double value) {
    if (row < 0 || static_cast<size_t>(row) >= app.parameter_sliders.size()) return;
    EntityRecord* entity = parameter_entity_record(app);
    const EntityParameter* p = entity ? row_parameter(*entity, row) : nullptr;
    if (!p || !has_slider(*p)) return;
    app.parameter_sliders[static_cast<size_t>(row)].value = value;
}

void commit_parameter_field(AppContext& app) {
    TextField* field = dynamic_cast<TextField*>(focus_element);
    EntityRecord* entity = field ? parameter_entity_record(app) : nullptr;
    if (!entity) return;
    const int32_t row = field->user_index;
    EntityParameter* p = row_parameter(*entity, row);
    if (!p || &app.parameter_value_fields[static_cast<size_t>(row)] != field) return;
    const std::string text = field->text;

    ParameterValue value;
    if (p->type == PARAMETER_CHR) {
        if (!text.empty()) value.type = PARAMETER_CHR, value.char_value = text[0];
    } else if (p->type == PARAMETER_STR) {
        value.type = PARAMETER_STR;
        value.string_value = text;
    } else if (p->type <= PARAMETER_BLN && p->type >= PARAMETER_INT) {
        value = parse_user_value(p->type, text);
    }
    if (value.type != p->type || !stageable_parameter_value(value)) {
        field->release_focus();
        // The field shows the value kept.
        show_value(app, row, *p, false);
        refuse_value(app, text);
        return;
    }
    if (p->lower.type != PARAMETER_UNDEFINED && p->upper.type != PARAMETER_UNDEFINED &&
        !is_parameter_in_range(*p, value)) {
        field->release_focus();
        show_value(app, row, *p, false);
        show_error_box(app, "Error: Value Outside of Parameter Bounds",
                       "The specified value [" + typed_value_to_text(value) +
                           "] is outside the range of valid values for the\nparameter named '" + p->name +
                           "' of type " + type_keyword(p->type) + ".\n\nNote: the minimum valid value is [" +
                           typed_value_to_text(p->lower) + "].\n\nNote: the maximum value value is [" +
                           typed_value_to_text(p->upper) + "].\n\nNote: the parameter's value has not been modified.");
        return;
    }
    p->current = value;
    if (has_slider(*p)) set_parameter_slider(app, row, parameter_normalised_value(*p));
    // The value as stored, the way it goes into the script: 7.5 typed into
    // an INT shows 7, "xyz" into a CHR shows x.
    show_value(app, row, *p, false);
    mark_for_push(*entity);
}

void commit_parallel_parameter_field(AppContext& app) { commit_parameter_field(app); }

void sync_parameter_field(AppContext& app) {
    TextField* field = dynamic_cast<TextField*>(focus_element);
    EntityRecord* entity = field ? parameter_entity_record(app) : nullptr;
    if (!entity) return;
    const int32_t row = field->user_index;
    const EntityParameter* p = row_parameter(*entity, row);
    if (!p || &app.parameter_value_fields[static_cast<size_t>(row)] != field) return;
    show_value(app, row, *p, false);
}

void on_parameter_slider_changed(AppContext& app, double fraction) {
    slider_moved(app, dragged_row(app), fraction, false);
}

void on_parameter_slider_released(AppContext& app) {
    const int32_t row = dragged_row(app);
    if (row >= 0) slider_moved(app, row, app.parameter_sliders[static_cast<size_t>(row)].value, true);
}

void on_parameter_row_click(AppContext& app) {
    EntityRecord* entity = parameter_entity_record(app);
    if (!entity) return;
    const ParameterBlockParts& b = app.side_pane.parameter_blocks;
    const int32_t x = b.pointer_x, y = b.pointer_y;
    int32_t row = -1;
    for (size_t k = 0; k < b.blocks.size(); ++k) {
        if (b.blocks[k].y < y && y < b.blocks[k].y + b.blocks[k].height) row = static_cast<int32_t>(k);
    }
    EntityParameter* p = row_parameter(*entity, row);
    if (!p) return;
    const int32_t s = app.ui_metrics.bar_height;
    const int32_t right = app.ui_metrics.side_pane_width - app.ui_metrics.ui_margin - s;
    const int32_t dy = y - b.blocks[static_cast<size_t>(row)].y;
    if (dy < s) {
        if (x < 2 * s) {
            show_parameter_type_info(app, p->type);
        } else if (x <= right) {
            const uint8_t mark = parameter_mark(*entity, static_cast<size_t>(row)) ? 0 : 1;
            set_parameter_mark(*entity, static_cast<size_t>(row), mark);
            if (static_cast<size_t>(row) < app.side_pane.parameter_blocks.parameter_labels.size())
                app.side_pane.parameter_blocks.parameter_labels[static_cast<size_t>(row)].selected = mark != 0;
        } else {
            show_parameter_definition_info(app, row);
        }
    } else if (dy >= 2 * s) {
        if (has_slider(*p) && x < s) jump_to_bound(app, *entity, *p, row, false);
        else if (has_slider(*p) && x > right) jump_to_bound(app, *entity, *p, row, true);
    } else if (x < 2 * s) {
        confirm_reset_parameter(app, row);
    } else if (p->type == PARAMETER_BLN) {
        p->current.bool_value = p->current.bool_value ? 0 : 1;
        show_value(app, row, *p, false);
        mark_for_push(*entity);
    }
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void show_parameter_type_info(AppContext& app, int32_t type) {
    const std::string keyword = type_keyword(type);
    show_info_box(app, "Info: " + keyword + " Type", "Type: " + keyword);
}

void show_parameter_definition_info(AppContext& app, int32_t) {
    show_info_box(app, "Info: Parameter-Definition", "...");
}

EntityRecord* variant_entity(AppContext& app, int32_t index) {
    const VariantTable& table = app.bars.variant_tables;
    EntitySet* set = app.entities.current_entities;
    if (!set || index < 0 || static_cast<size_t>(index) >= table.entity_ids.size()) return nullptr;
    const int32_t serial = table.entity_ids[static_cast<size_t>(index)];
    const size_t n = std::min(set->records.size(), static_cast<size_t>(std::max(set->count, 0)));
    for (size_t k = 0; k < n; ++k) {
        if (set->records[k].serial_id == serial) return &set->records[k];
    }
    return nullptr;
}

void apply_parametric_variant(AppContext& app, int32_t index) {
    const VariantTable& table = app.bars.variant_tables;
    if (index < 0 || index >= app.bars.variant_count || static_cast<size_t>(index) >= table.pieces.size()) return;
    const std::vector<std::string>& pieces = table.pieces[static_cast<size_t>(index)];
    EntityRecord* entity = variant_entity(app, index);
    if (pieces.empty() || !entity) return;
    const bool shown = entity == parameter_entity_record(app);
    std::vector<EntityParameter*> listed = listed_parameters(*entity);
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        const std::string& name = pieces[i];
        const std::string& text = pieces[i + 1];
        for (size_t row = 0; row < listed.size(); ++row) {
            EntityParameter& p = *listed[row];
            if (p.name != name) continue;
            ParameterValue value;
            if (p.type == PARAMETER_CHR) {
                if (text.size() != 3) {
                    std::puts("TODO:ESCAPED-CHARACTER!");
                    continue;
                }
                value.type = PARAMETER_CHR;
                value.char_value = text[1];
            } else if (p.type == PARAMETER_STR) {
                value.type = PARAMETER_STR;
                const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
                value.string_value = quoted ? text.substr(1, text.size() - 2) : text;
            } else if (p.type >= PARAMETER_INT && p.type <= PARAMETER_BLN) {
                value = parse_user_value(p.type, text);
            }
            if (value.type != p.type) continue;
            // A text that would not stay one value in the script is refused
            // as it is when typed.
            if (!stageable_parameter_value(value)) {
                if (shown) show_value(app, static_cast<int32_t>(row), p, true);
                refuse_value(app, text);
                continue;
            }
            if (numeric(p.type) && p.lower.type != PARAMETER_UNDEFINED && p.upper.type != PARAMETER_UNDEFINED &&
                !is_parameter_in_range(p, value))
                continue;
            p.current = value;
            if (shown) {
                if (has_slider(p)) set_parameter_slider(app, static_cast<int32_t>(row), parameter_normalised_value(p));
                show_value(app, static_cast<int32_t>(row), p, true);
            }
            app.bars.applied_variant_index = index;
        }
    }
}

void show_variant_directives_placeholder(AppContext& app) {
    PopupFrame& frame = app.popup_frames[FRAME_DIRECTIVE];
    frame.title_label.set_text("Parametric-Variant Directives");
    frame.title_icon.icon = ICON_SLIDERS;
    Element& body = app.popup_contents.directive_text;
    // Broken at blanks to the pane, as a message box's text is.
    body.set_text(wrap_text(body.typeface, placeholder_text,
                            app.ui_metrics.popup_width - body.padding_left - body.padding_right));
    uint8_t& open = app.pane_open_flags[PANE_DIRECTIVE];
    open = open ? 0 : 1;
    app.DIRECTIVEPANE.visible = open != 0;
    // Another popup (help, a message) may still be open under it.
    const bool any = any_other_popup_open(app, -1);
    app.OVERLAY.visible = any;
    app.MASKPANE.visible = any;
    refresh_root(app);
}

void on_commit_parameter_field() { on_instance<commit_parameter_field>(); }
void on_commit_parallel_parameter_field() { on_instance<commit_parallel_parameter_field>(); }
void sync_parameter_field() { on_instance<sync_parameter_field>(); }
void sync_parallel_parameter_field() { on_instance<sync_parameter_field>(); }
void on_parameter_slider_changed(double fraction) {
    if (app_instance) on_parameter_slider_changed(*app_instance, fraction);
}
void on_parallel_parameter_slider_changed(double fraction) { on_parameter_slider_changed(fraction); }
void on_parameter_slider_released() { on_instance<on_parameter_slider_released>(); }
void on_parallel_parameter_slider_released() { on_instance<on_parameter_slider_released>(); }
void on_parameter_row_click() { on_instance<on_parameter_row_click>(); }
void on_parallel_parameter_row_click() { on_instance<on_parameter_row_click>(); }
void on_click_apply_variant() {
    AppContext* app = app_instance;
    if (!app || !hover_element || hover_element->user_index < 0) return;
    apply_parametric_variant(*app, hover_element->user_index);
    refresh_root(*app);
}
void on_click_variant_directives() { on_instance<show_variant_directives_placeholder>(); }
void toggle_parameter_auto_sync() { on_instance<toggle_parameter_auto_sync>(); }
void toggle_parameter_immediate_mode() { on_instance<toggle_parameter_immediate_mode>(); }
void toggle_parameter_multi_edit_mode() { on_instance<toggle_parameter_multi_edit_mode>(); }
