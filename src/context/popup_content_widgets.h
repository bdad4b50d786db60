#pragma once
#include "ui/element.h"
#include "ui/layouts.h"

// The contents of the parse-report, profiling, capture, directive, about and
// help panes that the context's named members do not cover. Built once by
// the interface builder; the report and capture actions rewrite their texts.

// Parse-report pane: headings and frames around the entity list and the
// section view, and the seven section heading and text blocks.
struct ParsePaneWidgets {
    FillLayout entity_heading, entity_list_frame, script_heading, section_frame;
    Element script_name_label;
    // Holds the fourteen section rows inside the section view's container.
    FillLayout section_rows;
    FillLayout section_headings[7];
    Element section_texts[7];
};

// Profiling pane: the two halves around the row list and the report, the
// script line, the two output buttons and the colour swatches.
struct ProfilePaneWidgets {
    FillLayout halves_holder;
    FillLayout halves[2];
    FillLayout script_line, swatch_strip;
    Element clipboard_button, text_file_button;
    Element swatches[6];
};

struct PopupContentWidgets {
    ParsePaneWidgets parse;
    ProfilePaneWidgets profile;
    // Capture panes: the preview holders and the snapshot's preview.
    FillLayout snapshot_holder, screenshot_holder;
    Element snapshot_preview;
    FillLayout directive_text;
    // About lines (heading, title, version, build date, three closing lines
    // and an empty one), the help pane's six texts and the caption inside
    // its hover-hints toggle.
    Element about_lines[8];
    Element help_texts[6];
    Element hover_hints_caption;
};
