#include <algorithm>

#include "text/text_utils.h"
#include "ui/element.h"

void Element::set_text(const std::string& value) {
    text = value;
    measure_text(text);
}

void Element::measure_text(const std::string& value) {
    text_width = 0;
    text_height = 0;
    line_count = 0;
    multiline = false;
    line_widths.clear();
    if (typeface == nullptr) return;
    const int32_t line_height = static_cast<int32_t>(typeface->line_height);
    if (value.empty()) {
        text_height = line_height;
        return;
    }
    int32_t w = 0, widest = 0, newlines = 0, h = line_height;
    for (char c : value) {
        w += glyph_advance(typeface, static_cast<unsigned char>(c));
        if (c == '\n') {
            widest = std::max(widest, w);
            ++newlines;
            w = 0;
            h += line_height;
        }
    }
    widest = std::max(widest, w);
    text_width = widest;
    text_height = h;
    if (newlines == 0) return;

    line_count = newlines + 1;
    multiline = true;
    line_widths.assign(static_cast<size_t>(line_count), 0);
    size_t line = 0;
    for (char c : value) {
        line_widths[line] += glyph_advance(typeface, static_cast<unsigned char>(c));
        if (c == '\n') ++line;
    }
    text_height += (line_count - 1) * line_gap;
}

void Element::set_text_lines(const std::vector<std::string>& lines, int32_t n) {
    int32_t m = std::min<int64_t>(n, static_cast<int64_t>(lines.size()));
    if (m <= 0) {
        set_text(std::string());
        return;
    }
    if (m == 1) {
        set_text(lines[0]);
        return;
    }
    text = join_lines(lines, m);
    text_width = 0;
    line_count = m;
    line_widths.assign(static_cast<size_t>(m), 0);
    multiline = true;
    const int32_t line_height = typeface ? static_cast<int32_t>(typeface->line_height) : 0;
    text_height = m * line_height + (m - 1) * line_gap;
    for (int32_t i = 0; i < m; ++i) {
        int32_t w = 0;
        for (char c : lines[static_cast<size_t>(i)]) w += glyph_advance(typeface, static_cast<unsigned char>(c));
        line_widths[static_cast<size_t>(i)] = w;
        text_width = std::max(text_width, w);
    }
}

void Element::set_text_lines(const std::vector<std::string>& lines) {
    set_text_lines(lines, static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX)));
}

std::string fit_line_with_ellipsis(const Typeface* face, const std::string& line, int32_t max_width) {
    int64_t whole = 0;
    for (char c : line) whole += glyph_advance(face, static_cast<unsigned char>(c));
    if (whole <= max_width) return line;
    const int32_t dot = glyph_advance(face, '.');
    const int32_t room = max_width - 3 * dot;
    if (room < 0) return std::string(static_cast<size_t>(dot > 0 ? std::max(max_width, 0) / dot : 0), '.');
    int32_t used = 0;
    size_t keep = 0;
    while (keep < line.size()) {
        const int32_t w = glyph_advance(face, static_cast<unsigned char>(line[keep]));
        if (used + w > room) break;
        used += w;
        ++keep;
    }
    // No trailing blank before the dots.
    while (keep > 0 && line[keep - 1] == ' ') --keep;
    return line.substr(0, keep) + "...";
}
