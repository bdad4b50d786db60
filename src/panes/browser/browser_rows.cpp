#include "panes/browser/browser_rows.h"

#include "context/app_context.h"
#include "art/typeface.h"
#include "text/text_utils.h"
#include "ui/theme.h"

namespace {

void fixed_text(Element& label, uint32_t rgba) {
    label.text_colour = nullptr;
    label.text_palette = nullptr;
    label.text_rgba = rgba;
}

}  // namespace

void theme_browser_text(Element& label) {
    label.text_colour = active_theme.colours[8];
    label.text_palette = nullptr;
}

const char* entry_kind_tag(uint8_t kind) {
    switch (kind) {
        case ENTRY_OTHER_FILE: return "-";
        case ENTRY_DIRECTORY: return "DIR";
        case ENTRY_SCRIPT: return "SRC";
        case ENTRY_EXECUTABLE: return "EXE";
        default: return " ";
    }
}

void label_browser_row(AppContext& app, size_t row) {
    const FileBrowserState& b = app.file_browser_state;
    const BrowserListing& l = b.browser_entries;
    if (row >= app.browser_rows.size() || row >= b.browser_row_order.size() ||
        app.browser_row_labels.size() < 5 * (row + 1))
        return;
    const int32_t entry = b.browser_row_order[row];
    if (entry < 0 || static_cast<size_t>(entry) >= l.count()) return;
    const size_t e = static_cast<size_t>(entry);
    const uint8_t kind = l.kinds[e];
    const int32_t pad = app.ui_metrics.ui_padding;
    const int32_t wide_pad = pad / 2 + pad;
    Label* labels = &app.browser_row_labels[5 * row];
    Label &tag = labels[0], &name = labels[1], &size = labels[2], &time = labels[3], &date = labels[4];

    tag.typeface = &typefaces[4];
    tag.align_x = 0;
    tag.set_text(entry_kind_tag(kind));
    name.typeface = &typefaces[(kind == ENTRY_DIRECTORY || kind == ENTRY_EXECUTABLE) ? 1 : 0];
    name.align_x = -1;
    name.padding_left = name.padding_right = wide_pad;
    name.set_text(shown_name(concat2(l.names[e], l.link_targets[e])));
    size.typeface = &typefaces[0];
    size.align_x = 1;
    size.padding_left = size.padding_right = wide_pad;
    size.set_text(kind == ENTRY_DIRECTORY ? std::string() : l.size_texts[e]);
    time.typeface = &typefaces[0];
    time.align_x = 0;
    time.set_text(l.times[e]);
    date.typeface = &typefaces[0];
    date.align_x = 0;
    date.set_text(l.dates[e]);
    for (size_t c = 0; c < 5; ++c) {
        labels[c].align_y = 0;
        labels[c].padding_top = labels[c].padding_bottom = 0;
        theme_browser_text(labels[c]);
    }
    if (kind == ENTRY_EXECUTABLE) {
        fixed_text(tag, browser_executable_rgba);
        fixed_text(name, browser_executable_rgba);
    } else if (kind == ENTRY_OTHER_FILE || kind == ENTRY_UNKNOWN) {
        for (size_t c = 0; c < 5; ++c) fixed_text(labels[c], browser_other_file_rgba);
    }
    const std::vector<uint8_t>& bits = b.browser_selection.bits;
    app.browser_rows[row].selected = e < bits.size() && bits[e] != 0;
}
