#pragma once

// Recording stand-in for the variant list's click, whose own code lives
// with the parameter editing. It appends its own name to standin_call_log().
void on_click_apply_variant();
