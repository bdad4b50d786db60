#pragma once

#include "ui/element.h"
#include "ui/layouts.h"

// Widgets of the open and load panes, the browser frame and the
// configuration pane that have no role outside their builder stage beside
// the context's named members.

struct FilePaneWidgets {
    // Open pane: three icons; load pane: the logo.
    Element open_icons[3];
    Element load_logo;
    // Browser tool row (the frame's top region) with its two unset members.
    FillLayout tool_row;
    Element tool_spare;
    Label tool_spare_label;
    // Column heads "T" and "Name"; the name column strip; the list area
    // holding the rows; the footer heading holding title, hint and directory.
    Element type_head, name_head;
    Element name_column;
    FillLayout list_area;
    FillLayout heading;
    // Configuration pane.
    FillLayout config_top, config_bottom;
    Element config_logo;
    Label config_name, config_title, config_subtitle;
    // Kernel and workspace boxes: caption, description, path value.
    FillLayout kernel_box, workspace_box;
    Label kernel_box_labels[3], workspace_box_labels[3];
    FillLayout kernel_state_box, workspace_state_box;
    Label kernel_state_label, workspace_state_label;
    Label continue_button;
};
