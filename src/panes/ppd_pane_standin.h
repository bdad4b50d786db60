#pragma once

// Recording stand-in until the profiling pane's own controls land: the list
// button's action, logging "toggle_ppd_index_column".
void toggle_ppd_index_column();
