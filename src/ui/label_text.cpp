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

namespace {

bool utf8_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Appends one line of `line` (no '\n' in it) to `out`, broken to `width`.
void wrap_line(const Typeface* face, const std::string& line, int32_t width, std::string& out) {
    size_t start = 0;
    while (start < line.size()) {
        int64_t w = 0;
        size_t end = start;
        size_t last_blank = std::string::npos;
        while (end < line.size()) {
            const int64_t next = w + glyph_advance(face, static_cast<unsigned char>(line[end]));
            if (next > width && end > start) break;
            if (line[end] == ' ') last_blank = end;
            w = next;
            ++end;
        }
        if (end == line.size()) {
            out.append(line, start, end - start);
            return;
        }
        if (line[end] == ' ') {
            // The blank that did not fit is the break.
            out.append(line, start, end - start);
            start = end + 1;
        } else if (last_blank != std::string::npos && last_blank > start) {
            out.append(line, start, last_blank - start);
            start = last_blank + 1;
        } else {
            // One word wider than the line: break it between characters.
            while (end > start + 1 && utf8_continuation(line[end])) --end;
            out.append(line, start, end - start);
            start = end;
        }
        out += '\n';
    }
}

}  // namespace

std::string wrap_text(const Typeface* face, const std::string& text, int32_t width) {
    if (face == nullptr || width <= 0) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        wrap_line(face, text.substr(start, end == std::string::npos ? std::string::npos : end - start), width, out);
        if (end == std::string::npos) break;
        out += '\n';
        start = end + 1;
    }
    return out;
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

std::string fit_path_text(const Typeface* face, const std::string& head, const std::string& path, int32_t room) {
    const size_t line = head.rfind('\n');
    int64_t used = 0;
    for (size_t i = line == std::string::npos ? 0 : line + 1; i < head.size(); ++i)
        used += glyph_advance(face, static_cast<unsigned char>(head[i]));
    int64_t whole = used;
    for (char c : path) whole += glyph_advance(face, static_cast<unsigned char>(c));
    if (room <= 0 || whole <= room) return head + path;
    const int64_t dots = 3 * int64_t{glyph_advance(face, '.')};
    int64_t left = room - used - dots;
    size_t from = path.size();
    while (from > 0 && glyph_advance(face, static_cast<unsigned char>(path[from - 1])) <= left)
        left -= glyph_advance(face, static_cast<unsigned char>(path[--from]));
    // Never start inside a UTF-8 sequence.
    while (from < path.size() && (static_cast<unsigned char>(path[from]) & 0xC0) == 0x80) ++from;
    return head + "..." + path.substr(from);
}
