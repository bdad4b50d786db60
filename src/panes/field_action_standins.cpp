#include "panes/field_action_standins.h"

#include <string>

#include "app/app_hooks.h"
#include "text/text_utils.h"

namespace {

template <int Field>
void commit_field() {
    record_standin_call("commit_transform_field: " + std::to_string(Field));
}
template <int Field>
void sync_field() {
    record_standin_call("sync_transform_field: " + std::to_string(Field));
}

}  // namespace

void (*const transform_commit_actions[10])() = {commit_field<0>, commit_field<1>, commit_field<2>, commit_field<3>,
                                                 commit_field<4>, commit_field<5>, commit_field<6>, commit_field<7>,
                                                 commit_field<8>, commit_field<9>};
void (*const transform_sync_actions[10])() = {sync_field<0>, sync_field<1>, sync_field<2>, sync_field<3>,
                                               sync_field<4>, sync_field<5>, sync_field<6>, sync_field<7>,
                                               sync_field<8>, sync_field<9>};

void on_parameter_row_click() { record_standin_call("on_parameter_row_click"); }
void on_parallel_parameter_row_click() { record_standin_call("on_parallel_parameter_row_click"); }
void commit_parameter_field() { record_standin_call("commit_parameter_field"); }
void commit_parallel_parameter_field() { record_standin_call("commit_parallel_parameter_field"); }
void sync_parameter_field() { record_standin_call("sync_parameter_field"); }
void sync_parallel_parameter_field() { record_standin_call("sync_parallel_parameter_field"); }
void on_parameter_slider_changed(double fraction) {
    record_standin_call("on_parameter_slider_changed: " + double_to_text(fraction));
}
void on_parallel_parameter_slider_changed(double fraction) {
    record_standin_call("on_parallel_parameter_slider_changed: " + double_to_text(fraction));
}
void on_parameter_slider_released() { record_standin_call("on_parameter_slider_released"); }
void on_parallel_parameter_slider_released() { record_standin_call("on_parallel_parameter_slider_released"); }
