#include "panes/bars/directive_lines.h"

#include <charconv>
#include <cstdio>
#include <initializer_list>

#include "model/environment.h"
#include "text/split.h"
#include "text/text_utils.h"

namespace {

bool starts_with_any(const std::string& upper, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes) {
        if (upper.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

std::vector<std::string> collect_lines(const std::string& text, std::initializer_list<const char*> prefixes) {
    std::vector<std::string> lines;
    for (std::string& piece : split_nonempty(text, '\n')) {
        if (starts_with_any(to_upper(piece), prefixes)) lines.push_back(std::move(piece));
    }
    return lines;
}

bool is_blank(char c) { return c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// The text from the first "{" through the last "}" (to the end when the last
// "}" comes first); empty when either is missing.
bool braced_text(const std::string& line, std::string& out) {
    size_t open = line.find('{');
    size_t close = line.rfind('}');
    if (open == std::string::npos || close == std::string::npos) return false;
    out = close < open ? line.substr(open) : line.substr(open, close - open + 1);
    return true;
}

}  // namespace

std::vector<std::string> collect_camera_directive_lines(std::string section_text) {
    return collect_lines(section_text, {"#CAM", "#VIEW"});
}

std::vector<std::string> collect_variant_directive_lines(std::string section_text) {
    return collect_lines(section_text, {"#VARIANT", "#PSET", "#PARAM"});
}

int count_animation_directive_lines(const std::string& section_text) {
    int count = 0;
    for (const std::string& piece : split_nonempty(section_text, '\n')) {
        if (starts_with_any(to_upper(piece), {"#ANIM"})) ++count;
    }
    return count;
}

void read_camera_directive_values(const std::string& line, double values[6]) {
    for (int i = 0; i < 6; ++i) values[i] = 0.0;
    std::string braced;
    if (!braced_text(line, braced)) return;
    std::string text;
    for (char c : braced) {
        if (!is_blank(c)) text.push_back(c);
    }
    const char* p = text.data();
    const char* end = p + text.size();
    if (p == end || *p != '{') return;
    ++p;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (p == end || *p != ',') return;
            ++p;
        }
        if (p != end && *p == '+') ++p;
        double value = 0.0;
        auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc()) return;
        values[i] = value;
        p = result.ptr;
    }
}

std::vector<std::string> read_variant_pieces(const std::string& line) {
    std::string braced;
    if (!braced_text(line, braced) || braced.size() <= 2) return {};
    std::string text;
    for (size_t i = 1; i + 1 < braced.size(); ++i) {
        char c = braced[i];
        if (c == ',' || c == ':' || c == ';' || c == '=') {
            text.push_back('|');
        } else if (!is_blank(c)) {
            text.push_back(c);
        }
    }
    std::vector<std::string> pieces = split_nonempty(text, '|');
    if (pieces.size() % 2 != 0) {
        std::string message = "PARITY-ISSUE-IN-PARAMETRIC-VARIANT! [" + long_to_text(static_cast<int64_t>(pieces.size())) + "];\n";
        std::fwrite(message.data(), 1, message.size(), stdout);
        std::fflush(stdout);
        return {};
    }
    return pieces;
}

EntityRecord* find_entity_by_serial(EntitySet* set, int serial) {
    if (set == nullptr) return nullptr;
    for (EntityRecord& entity : set->records) {
        if (entity.serial_id == serial) return &entity;
    }
    return nullptr;
}
