#include "panes/inspector/transform_fields.h"

#include <cmath>
#include <string>

#include "context/app_context.h"
#include "context/current_environment.h"
#include "model/parameters.h"
#include "panes/popups/message_boxes.h"
#include "model/camera.h"
#include "text/text_utils.h"
#include "ui/ui_state.h"

namespace {

// Field index 0..9 of a group and axis, -1 when out of range.
int32_t field_index(int32_t group, int32_t axis) {
    if (axis < 0 || axis > 2) return -1;
    switch (group) {
    case 0: return axis;
    case 1: return axis == 0 ? 3 : -1;
    case 2: return 4 + axis;
    case 3: return 7 + axis;
    default: return -1;
    }
}

void finish(AppContext& app, EntityRecord& entity) {
    build_entity_transform_matrix(entity);
    app.frame.needs_redraw = 1;
    refresh_root(app);
}

void show_order(Element (&buttons)[6], int32_t order) {
    for (int32_t k = 0; k < 6; ++k) {
        buttons[k].selected = k == order;
        buttons[k].typeface = &typefaces[k == order ? 4 : 3];
    }
}

void set_order(AppContext& app, int32_t order, bool rotation) {
    EntityRecord* entity = inspector_entity_record(app);
    if (!entity || order < 0 || order > 5) return;
    (rotation ? entity->rotation_order : entity->transform_order) = order;
    show_order(rotation ? app.rotation_order_buttons : app.transform_order_buttons, order);
    finish(app, *entity);
}

template <int32_t Group, int32_t Axis>
void commit_thunk() {
    if (app_instance) commit_transform_field(*app_instance, Group, Axis);
}
template <int32_t Group, int32_t Axis>
void sync_thunk() {
    if (app_instance) sync_transform_field(*app_instance, Group, Axis);
}
template <int32_t Component>
void reset_thunk() {
    if (app_instance) reset_transform_component(*app_instance, Component);
}
template <int32_t Order>
void rotation_order_thunk() {
    if (app_instance) set_entity_rotation_order(*app_instance, Order);
}
template <int32_t Order>
void transform_order_thunk() {
    if (app_instance) set_entity_transform_order(*app_instance, Order);
}

}  // namespace

TextField* transform_field(AppContext& app, int32_t k) {
    if (k < 0 || k > 9) return nullptr;
    if (k < 3) return &app.translation_fields[k];
    if (k == 3) return &app.uniform_scale_field;
    if (k < 7) return &app.scale_fields[k - 4];
    return &app.rotation_fields[k - 7];
}

double* transform_member(EntityRecord& e, int32_t group, int32_t axis) {
    const int32_t k = field_index(group, axis);
    if (k < 0) return nullptr;
    if (k < 3) return &e.translation[static_cast<size_t>(k)];
    if (k == 3) return &e.uniform_scale;
    if (k < 7) return &e.axis_scale[static_cast<size_t>(k - 4)];
    return &e.euler_angles[static_cast<size_t>(k - 7)];
}

void commit_transform_field(AppContext& app, int32_t group, int32_t axis) {
    EntityRecord* entity = inspector_entity_record(app);
    if (!entity) return;
    double* member = transform_member(*entity, group, axis);
    if (!member) return;
    TextField& field = *transform_field(app, field_index(group, axis));
    const std::string text = field.text;
    const ParameterValue value = parse_typed_value(PARAMETER_DBL, text);
    // A nan or infinite value would reach the matrix and the saved state.
    const bool accepted = value.type == PARAMETER_DBL && std::isfinite(value.double_value);
    if (accepted) *member = value.double_value;
    // Accepted or not, the field shows the value in use, as Escape would:
    // "2x" turns the entity 2 degrees and shows 2.
    field.set_text(double_to_text(*member));
    if (accepted) {
        finish(app, *entity);
        return;
    }
    if (focus_element) focus_element->release_focus();
    show_warning_box(app, "Warning: Invalid Numeric Literal",
                     "The character sequence: \"" + text +
                         "\" caused a number parsing error.\n\nNote: the value has not been modified");
}

void sync_transform_field(AppContext& app, int32_t group, int32_t axis) {
    EntityRecord* entity = inspector_entity_record(app);
    if (!entity) return;
    if (const double* member = transform_member(*entity, group, axis))
        transform_field(app, field_index(group, axis))->set_text(double_to_text(*member));
    refresh_root(app);
}

void reset_transform_component(AppContext& app, int32_t component) {
    EntityRecord* entity = inspector_entity_record(app);
    if (!entity) return;
    EntityRecord& e = *entity;
    const auto show = [&](int32_t first, int32_t count, const char* text) {
        for (int32_t k = first; k < first + count; ++k) transform_field(app, k)->set_text(text);
    };
    switch (component) {
    case 0: e.translation = {0.0, 0.0, 0.0}, show(0, 3, "0"); break;
    case 1: e.uniform_scale = 1.0, show(3, 1, "1"); break;
    case 2: e.axis_scale = {1.0, 1.0, 1.0}, show(4, 3, "1"); break;
    case 3: e.euler_angles = {0.0, 0.0, 0.0}, show(7, 3, "0"); break;
    case 4: e.rotation_order = ROTATION_XYZ, show_order(app.rotation_order_buttons, ROTATION_XYZ); break;
    case 5: e.transform_order = TRANSFORM_SRT, show_order(app.transform_order_buttons, TRANSFORM_SRT); break;
    default: break;
    }
    finish(app, e);
}

void set_entity_rotation_order(AppContext& app, int32_t order) { set_order(app, order, true); }
void set_entity_transform_order(AppContext& app, int32_t order) { set_order(app, order, false); }

// Named thunks of the ten fields (group, axis) and the twelve order buttons.
namespace {

void on_commit_translation_x() { commit_thunk<0, 0>(); }
void on_commit_translation_y() { commit_thunk<0, 1>(); }
void on_commit_translation_z() { commit_thunk<0, 2>(); }
void on_commit_uniform_scale() { commit_thunk<1, 0>(); }
void on_commit_scale_x() { commit_thunk<2, 0>(); }
void on_commit_scale_y() { commit_thunk<2, 1>(); }
void on_commit_scale_z() { commit_thunk<2, 2>(); }
void on_commit_rotation_x() { commit_thunk<3, 0>(); }
void on_commit_rotation_y() { commit_thunk<3, 1>(); }
void on_commit_rotation_z() { commit_thunk<3, 2>(); }
void on_sync_translation_x() { sync_thunk<0, 0>(); }
void on_sync_translation_y() { sync_thunk<0, 1>(); }
void on_sync_translation_z() { sync_thunk<0, 2>(); }
void on_sync_uniform_scale() { sync_thunk<1, 0>(); }
void on_sync_scale_x() { sync_thunk<2, 0>(); }
void on_sync_scale_y() { sync_thunk<2, 1>(); }
void on_sync_scale_z() { sync_thunk<2, 2>(); }
void on_sync_rotation_x() { sync_thunk<3, 0>(); }
void on_sync_rotation_y() { sync_thunk<3, 1>(); }
void on_sync_rotation_z() { sync_thunk<3, 2>(); }

}  // namespace

void (*const transform_commit_actions[10])() = {on_commit_translation_x, on_commit_translation_y,
                                                on_commit_translation_z, on_commit_uniform_scale, on_commit_scale_x,
                                                on_commit_scale_y, on_commit_scale_z, on_commit_rotation_x,
                                                on_commit_rotation_y, on_commit_rotation_z};
void (*const transform_sync_actions[10])() = {on_sync_translation_x, on_sync_translation_y, on_sync_translation_z,
                                              on_sync_uniform_scale, on_sync_scale_x, on_sync_scale_y, on_sync_scale_z,
                                              on_sync_rotation_x, on_sync_rotation_y, on_sync_rotation_z};

void on_reset_translation() { reset_thunk<0>(); }
void on_reset_uniform_scale() { reset_thunk<1>(); }
void on_reset_scale() { reset_thunk<2>(); }
void on_reset_rotation() { reset_thunk<3>(); }
void on_reset_transform_mode_a() { reset_thunk<4>(); }
void on_reset_transform_mode_b() { reset_thunk<5>(); }

namespace {

void on_click_rotation_order_xyz() { rotation_order_thunk<0>(); }
void on_click_rotation_order_xzy() { rotation_order_thunk<1>(); }
void on_click_rotation_order_yxz() { rotation_order_thunk<2>(); }
void on_click_rotation_order_yzx() { rotation_order_thunk<3>(); }
void on_click_rotation_order_zxy() { rotation_order_thunk<4>(); }
void on_click_rotation_order_zyx() { rotation_order_thunk<5>(); }
void on_click_transform_order_rst() { transform_order_thunk<0>(); }
void on_click_transform_order_rts() { transform_order_thunk<1>(); }
void on_click_transform_order_srt() { transform_order_thunk<2>(); }
void on_click_transform_order_str() { transform_order_thunk<3>(); }
void on_click_transform_order_trs() { transform_order_thunk<4>(); }
void on_click_transform_order_tsr() { transform_order_thunk<5>(); }

}  // namespace

void (*const rotation_order_clicks[6])() = {on_click_rotation_order_xyz, on_click_rotation_order_xzy,
                                            on_click_rotation_order_yxz, on_click_rotation_order_yzx,
                                            on_click_rotation_order_zxy, on_click_rotation_order_zyx};
void (*const transform_order_clicks[6])() = {on_click_transform_order_rst, on_click_transform_order_rts,
                                             on_click_transform_order_srt, on_click_transform_order_str,
                                             on_click_transform_order_trs, on_click_transform_order_tsr};
