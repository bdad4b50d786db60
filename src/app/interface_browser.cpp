#include "context/app_context.h"
#include "app/builder_support.h"
#include "app/interface_builder.h"
#include "app/shell_bindings.h"
#include "art/icon_table.h"
#include "panes/browser/browser_navigation.h"
#include "panes/browser/browser_sort.h"
#include "panes/browser/directory_listing.h"
#include "panes/browser/path_configuration.h"
#include "panes/layout/pane_layouts.h"
#include "platform/paths.h"

using namespace builder;

namespace {

constexpr uint32_t box_hover_rgba = 0x0c003f7fu;

void grey_frame(Element& e) {
    for (Border* edge : {&e.border_left, &e.border_top, &e.border_right, &e.border_bottom}) grey_border(*edge);
}

void set_region(BorderLayout& layout, Element*& region, Element& element) {
    region = &element;
    append(layout, element);
}

// Text in theme colour 8 with the given face and alignment.
void caption(Element& e, int face_index, int8_t ax, int8_t ay, const char* text) {
    e.typeface = face(face_index);
    e.text_colour = colour(8);
    align(e, ax, ay);
    e.set_text(text);
}

void open_and_load_panes(AppContext& a) {
    FilePaneWidgets& f = a.file_panes;
    // The layout callbacks place the icons inside the panes' own rectangles.
    a.open_body.fill = true;
    append(a.open_content, a.open_body);
    const int32_t open_icons[3] = {ICON_OPEN, ICON_ZOBUIOICON, ICON_LOCKED};
    for (int i = 0; i < 3; ++i) {
        f.open_icons[i].icon = open_icons[i];
        append(a.open_body, f.open_icons[i]);
    }
    a.load_content.fill = true;
    a.load_body.fill = true;
    append(a.load_content, a.load_body);
    f.load_logo.icon = ICON_VREK128;
    f.load_logo.icon_scale_x = 2.0;
    f.load_logo.icon_scale_y = 2.0;
    append(a.load_body, f.load_logo);
}

void browser_tool_row(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t p = m.ui_padding, T = m.menu_half_width, R = m.row_height;
    const int32_t A = R + T;
    FilePaneWidgets& f = a.file_panes;
    BorderLayout& bar = a.popup_frames[FRAME_FILE].title_bar;
    set_region(bar, bar.centre, f.tool_row);
    FillLayout& row = f.tool_row;
    append(row, f.tool_spare);
    append(row, f.tool_spare_label);

    rect(a.browser_home_button, (A - 64) / 2, (A - 64) / 2, 64, 64);
    a.browser_home_button.icon = ICON_VREK64;
    rect(a.browser_mark, A / 2, A / 2, 32, 32);
    a.browser_mark.icon = ICON_ZOBUIOICON;
    a.browser_mark.depth_offset = 0.05;
    rect(a.browser_refresh_button, A + p / 2, p / 2, 32, 32);
    a.browser_refresh_button.icon = ICON_REFRESH;
    rect(a.browser_clear_button, A + p / 2 + 32, p / 2, 32, 32);
    a.browser_clear_button.icon = ICON_SELECTNONE;
    rect(a.browser_select_all_button, A + p / 2 + 64, p / 2, 32, 32);
    a.browser_select_all_button.icon = ICON_SELECTALL;
    a.browser_close_button.icon = ICON_DELETE;
    for (Element* e : {&a.browser_home_button, &a.browser_mark, &a.browser_refresh_button,
                       &a.browser_select_all_button, &a.browser_clear_button, &a.browser_close_button})
        append(row, *e);

    Label& location = a.browser_location_label;
    location.fill = true;
    location.margin_left = A + p + 96;
    location.margin_right = p + 32;
    location.margin_bottom = R + 2 * p;
    padding(location, p, 0, p, 0);
    caption(location, 1, -1, 0, "Location \t test/");
    append(row, location);

    FillLayout& frame = a.browser_path_frame;
    frame.fill = true;
    frame.margin_left = A;
    frame.margin_top = T - 2 * p;
    border(frame.border_left, m.thick_border, 1);
    border(frame.border_top, m.thick_border, 3);
    append(row, frame);
    a.browser_path_view.fill = true;
    a.browser_path_view.layout_handler = layout_path_bar;
    append(frame, a.browser_path_view);
    append(a.browser_path_view, a.browser_path_pieces);
    // Each listing rebuilds the buttons and rows inside; the clicks on them
    // reach the navigation through these two.
    a.browser_path_pieces.click_handler = on_browser_path_click;
}

void column_head(Element& head, int8_t ax, ClickCallback click, const char* text) {
    caption(head, 1, ax, 0, text);
    head.hover_palette = gradient(8);
    head.click_handler = click;
}

void browser_centre(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t p = m.ui_padding, T = m.menu_half_width, R = m.row_height;
    FilePaneWidgets& f = a.file_panes;
    FillLayout& body = a.popup_frames[FRAME_FILE].body;

    FillLayout& heads = a.browser_head_row;
    heads.background_palette = gradient(11);
    border(heads.border_bottom, m.thick_border, 9);
    rect(f.type_head, 0, 0, T, R);
    column_head(f.type_head, 0, on_browser_sort_by_type, "T");
    f.name_head.fill = true;
    f.name_head.margin_left = T;
    f.name_head.margin_right = 5 * T;
    padding(f.name_head, p + p / 2, 0, p + p / 2, 0);
    border(f.name_head.border_left, 1, 1);
    border(f.name_head.border_right, 1, 2);
    column_head(f.name_head, -1, on_browser_sort_by_name, "Name");
    rect(a.browser_size_head, 0, 0, 2 * T, R);
    padding(a.browser_size_head, 12, 0, 12, 0);
    column_head(a.browser_size_head, 1, on_browser_sort_by_size, "Size");
    rect(a.browser_date_head, 0, 0, 3 * T, R);
    padding(a.browser_date_head, 12, 0, 12, 0);
    border(a.browser_date_head.border_left, 1, 1);
    column_head(a.browser_date_head, -1, on_browser_sort_by_date, "Date-Modified");
    rect(a.browser_sort_mark, T - p, p / 2, p / 2, p / 2);
    a.browser_sort_mark.background_rgba = grey_rgba;
    a.browser_sort_mark.depth_offset = 0.05;
    for (Element* e : {&f.type_head, &f.name_head, &a.browser_size_head, &a.browser_date_head, &a.browser_sort_mark})
        append(heads, *e);
    append(body, heads);

    FillLayout& list = a.browser_list_frame;
    f.name_column.fill = true;
    f.name_column.margin_left = T;
    f.name_column.margin_right = 5 * T;
    border(f.name_column.border_left, 1, 1);
    border(f.name_column.border_right, 1, 2);
    border(a.browser_size_column.border_left, 1, 1);
    border(a.browser_date_column.border_left, 1, 1);
    border(a.browser_date_column.border_right, 1, 2);
    Element& thumb = a.browser_scroll_thumb;
    thumb.background_palette = gradient(10);
    thumb.hover_palette = gradient(0);
    border(thumb.border_top, 1, 3);
    border(thumb.border_bottom, 1, 9);
    f.list_area.fill = true;
    f.list_area.layout_handler = on_layout_file_list;
    append(f.list_area, a.browser_list_content);
    a.browser_list_content.click_handler = on_browser_row_click;
    for (Element* e : {&f.name_column, &a.browser_size_column, &a.browser_date_column, &a.browser_scroll_track,
                       &thumb, static_cast<Element*>(&f.list_area)})
        append(list, *e);
    append(body, list);
}

void browser_footer(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t p = m.ui_padding, T = m.menu_half_width;
    FilePaneWidgets& f = a.file_panes;
    FillLayout& footer = a.popup_frames[FRAME_FILE].footer;

    // The heading's padding places its three texts; the hint starts after
    // the title's first line (the browser re-measures it per purpose).
    FillLayout& heading = f.heading;
    heading.fill = true;
    heading.margin_right = 2 * T;
    padding(heading, 2 * p, 0, 2 * p, 0);
    Label& title = a.browser_title_label;
    title.fill = true;
    caption(title, 4, -1, 0, "Opening Script File : \nPath : ");
    Label& hint = a.browser_hint_label;
    hint.fill = true;
    caption(hint, 3, -1, 0, "(select a file to open)\n");
    hint.margin_left = title.line_widths.empty() ? title.text_width : title.line_widths[0];
    Label& directory = a.browser_directory_label;
    directory.fill = true;
    caption(directory, 3, -1, 0, "\nnone selected");
    directory.extra_text = "none selected";
    directory.layout_handler = on_layout_browser_directory;
    // The directory follows "Path : ", the title's second line.
    directory.margin_left = title.line_widths.size() > 1 ? title.line_widths[1] : 0;
    for (Element* e : {&title, &hint, &directory}) append(heading, *e);
    append(footer, heading);

    Label& open = a.browser_confirm_label;
    caption(open, 1, 0, 0, "Open");
    open.hover_palette = gradient(8);
    border(open.border_left, m.thick_border, 1);
    append(footer, open);
}

// One path box of the configuration pane: caption, description, value.
void path_box(FillLayout& box, Label (&labels)[3], const char* title, const char* description, ClickCallback click) {
    padding(box, 16, 16, 16, 16);
    box.background_colour = colour(1);
    box.hover_rgba = box_hover_rgba;
    grey_frame(box);
    box.click_handler = click;
    caption(labels[0], 7, -1, -1, title);
    labels[1].typeface = face(0);
    align(labels[1], -1, 0);
    labels[1].set_text(description);
    caption(labels[2], 0, -1, 1, "???");
    for (Label& l : labels) {
        l.fill = true;
        append(box, l);
    }
}

void state_box(FillLayout& box, Label& state, int32_t x, int32_t y, int32_t w, int32_t h, const char* title,
               int32_t p) {
    rect(box, x, y, w, h);
    padding(box, 2 * p, 0, 2 * p, 0);
    caption(box, 4, -1, 0, title);
    grey_frame(box);
    state.fill = true;
    caption(state, 0, 1, 0, "UNDEFINED");
    append(box, state);
}

void configuration_pane(AppContext& a) {
    const UiMetrics& m = a.ui_metrics;
    const int32_t p = m.ui_padding, W = m.popup_width, H = m.popup_height;
    FilePaneWidgets& f = a.file_panes;

    FillLayout& mask = a.configuration_mask;
    mask.background_colour = colour(1);
    border(mask.border_top, 1, 3);
    mask.depth_offset = 8.0;
    BorderLayout& pane = a.configuration_pane;
    append(mask, pane);
    pane.top_size = 64;
    pane.bottom_size = 64;

    FillLayout& top = f.config_top;
    top.background_palette = gradient(11);
    rect(f.config_logo, p, p, 64 - 2 * p, 64 - 2 * p);
    f.config_logo.icon = ICON_VREK64;
    rect(f.config_name, 64, 0, 128, 64);
    caption(f.config_name, 9, 0, 0, "VREK");
    rect(f.config_title, 192, 0, W - 192, 64);
    f.config_title.padding_left = 2 * p;
    caption(f.config_title, 7, -1, 0, "Entity-Inspector\n");
    rect(f.config_subtitle, 192, 0, W - 192, 64);
    f.config_subtitle.padding_left = 2 * p;
    caption(f.config_subtitle, 0, -1, 0, "\nProgram Configuration");
    for (Element* e : {&f.config_logo, static_cast<Element*>(&f.config_name), static_cast<Element*>(&f.config_title),
                       static_cast<Element*>(&f.config_subtitle)})
        append(top, *e);
    set_region(pane, pane.top, top);

    FillLayout& centre = a.configuration_content;
    centre.background_colour = colour(9);
    // The kernel box is one pixel taller, so the two overlap by a pixel.
    rect(f.kernel_box, 2 * p, 2 * p, W - 4 * p, (H - 128 - 4 * p) / 2 + 1);
    path_box(f.kernel_box, f.kernel_box_labels, "Kernel Path", "\t Path of a Vrekform Kernel Command-Line Executable",
             on_kernel_browser_button);
    rect(f.workspace_box, 2 * p, (H - 128) / 2, W - 4 * p, (H - 128 - 4 * p) / 2);
    path_box(f.workspace_box, f.workspace_box_labels, "Entity Workspace",
             "\t Path of a Temporary Entity Workspace for Interop Staging", on_workspace_browser_button);
    append(centre, f.kernel_box);
    append(centre, f.workspace_box);
    set_region(pane, pane.centre, centre);

    FillLayout& bottom = f.config_bottom;
    bottom.background_palette = gradient(11);
    const int32_t half = (W - 128 - p) / 2;
    state_box(f.kernel_state_box, f.kernel_state_label, p, p, half + 1, 64 - 2 * p, "Kernel\nPath", p);
    state_box(f.workspace_state_box, f.workspace_state_label, p + half, p, half, 64 - 2 * p, "Entity\nWorkspace", p);
    Label& go = f.continue_button;
    rect(go, p + W - 128, p, 2 * (64 - p), 64 - 2 * p);
    caption(go, 7, 0, 0, "!");
    go.hover_palette = gradient(8);
    grey_frame(go);
    go.click_handler = prepare_app_workspace;
    append(bottom, f.kernel_state_box);
    append(bottom, f.workspace_state_box);
    append(bottom, go);
    set_region(pane, pane.bottom, bottom);
}

// The configuration texts from the path copies taken at start-up.
void fill_configuration_texts(AppContext& a) {
    const PathCopies& c = a.path_copies;
    FilePaneWidgets& f = a.file_panes;
    if (!kernel_path.empty()) {
        show_configured_path(f.kernel_box, f.kernel_box_labels[2], c.kernel_path_text);
        f.kernel_state_label.set_text(c.kernel_status_text);
    }
    if (!workspace_path.empty()) {
        show_configured_path(f.workspace_box, f.workspace_box_labels[2], c.workspace_path_text);
        f.workspace_state_label.set_text(c.workspace_status_text);
    }
    if (kernel_path_state == PATH_VALID && workspace_path_state == PATH_VALID) f.continue_button.set_text("OK");
}

}  // namespace

void build_file_panes(AppContext& a) {
    open_and_load_panes(a);
    browser_tool_row(a);
    browser_centre(a);
    browser_footer(a);
    configuration_pane(a);
    fill_configuration_texts(a);
}
