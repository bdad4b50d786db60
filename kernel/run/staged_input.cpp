#include "run/staged_input.h"

#include <cctype>

#include "script/statements.h"

static const char* const kSectionNames[7] = {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS",
                                             "ERRORS",     "WARNINGS",   "NOTES"};

static bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

std::string neutralise_report_tags(const std::string& text) {
    if (!contains_report_tag(text)) return text;
    std::vector<std::string> tags = {"<BREAK>", "<SOURCE>", "</SOURCE>"};
    for (const char* n : kSectionNames) {
        tags.push_back(std::string("<") + n + ">");
        tags.push_back(std::string("</") + n + ">");
    }
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool hit = false;
        if (text[i] == '<') {
            for (const auto& t : tags) {
                if (text.compare(i, t.size(), t) == 0) {
                    out += "&lt;";
                    out.append(t, 1, std::string::npos);
                    i += t.size();
                    hit = true;
                    break;
                }
            }
        }
        if (!hit) out += text[i++];
    }
    return out;
}

std::string compose_parse_report(const ScriptProgram& program, const std::string& source,
                                 const std::vector<std::string>& extra_errors) {
    std::vector<std::string> sections[7];
    for (const auto& st : program.statements) sections[st.kind].push_back(st.text);
    sections[4] = extra_errors;
    sections[4].insert(sections[4].end(), program.errors.begin(), program.errors.end());
    sections[5] = program.warnings;
    sections[6] = program.notes;
    std::string out;
    for (int i = 0; i < 7; ++i) {
        out += std::string("<") + kSectionNames[i] + ">\n";
        for (const auto& line : sections[i]) {
            out += line;
            out += '\n';
        }
        out += std::string("</") + kSectionNames[i] + ">\n";
    }
    out += "<SOURCE>" + neutralise_report_tags(source) + "</SOURCE>\n";
    return out;
}

// End of the block that opens at `open` ('{'): the matching brace when it
// stands at a line start (or closes "{ }") and is followed by ';', else the
// first "\n};" after the opening, else the end of the text.
static size_t block_end(const std::string& s, size_t open, bool& terminated) {
    int depth = 0;
    char quote = 0;
    bool line_comment = false, block_comment = false;
    size_t match = std::string::npos;
    for (size_t i = open; i < s.size(); ++i) {
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (line_comment) {
            if (c == '\n') line_comment = false;
            continue;
        }
        if (block_comment) {
            if (c == '*' && next == '/') {
                block_comment = false;
                ++i;
            }
            continue;
        }
        if (quote) {
            if (c == '\\') ++i;
            else if (c == quote || c == '\n') quote = 0;
            continue;
        }
        if (c == '/' && next == '/') {
            line_comment = true;
            ++i;
        } else if (c == '/' && next == '*') {
            block_comment = true;
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                match = i;
                break;
            }
        }
    }
    auto followed_by_semicolon = [&](size_t close) {
        size_t j = close + 1;
        while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) ++j;
        return j < s.size() && s[j] == ';';
    };
    if (match != std::string::npos && followed_by_semicolon(match)) {
        bool blank_inside = true;
        for (size_t k = open + 1; k < match; ++k) blank_inside = blank_inside && is_space(s[k]);
        if (blank_inside || s[match - 1] == '\n') {
            terminated = true;
            return match;
        }
    }
    const size_t marker = s.find("\n};", open);
    if (marker != std::string::npos) {
        terminated = true;
        return marker + 1;
    }
    if (match != std::string::npos) {
        terminated = followed_by_semicolon(match);
        return match;
    }
    terminated = false;
    return s.size();
}

StagedInput read_element_blocks(const std::string& s) {
    StagedInput in;
    size_t i = 0;
    while (i < s.size() && is_space(s[i])) ++i;
    size_t j = i;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
    size_t k = j;
    while (k < s.size() && (s[k] == ' ' || s[k] == '\t')) ++k;
    if (j > i && k < s.size() && s[k] == ';') {
        in.has_count = true;
        in.count = j - i > 9 ? 1000000000LL : std::stoll(s.substr(i, j - i));
        i = k + 1;
    } else {
        in.problems.push_back("MISSING-COUNT-LINE : THE INPUT DOES NOT BEGIN WITH 'n;';");
    }
    bool stray_reported = false;
    while (i < s.size()) {
        if (is_space(s[i])) {
            ++i;
            continue;
        }
        if (s[i] != '{') {
            if (!stray_reported) in.problems.push_back("UNEXPECTED-TEXT : TEXT OUTSIDE ELEMENT BLOCKS IGNORED;");
            stray_reported = true;
            ++i;
            continue;
        }
        bool terminated = false;
        const size_t close = block_end(s, i, terminated);
        StagedBlock b;
        b.body = s.substr(i + 1, close - i - 1);
        if (!terminated)
            in.problems.push_back("UNTERMINATED-BLOCK : ELEMENT " + std::to_string(in.blocks.size()) +
                                  " HAS NO CLOSING '};';");
        bool blank = true;
        for (char c : b.body) blank = blank && is_space(c);
        b.empty = blank;
        // A sub-element block: "{\n// E:ref\n" + source + "\n};"
        std::string rest = b.body;
        if (!rest.empty() && rest[0] == '\n') rest.erase(0, 1);
        if (rest.compare(0, 5, "// E:") == 0) {
            const size_t eol = rest.find('\n');
            b.label = rest.substr(5, eol == std::string::npos ? std::string::npos : eol - 5);
            rest = eol == std::string::npos ? "" : rest.substr(eol + 1);
        }
        if (!rest.empty() && rest.back() == '\n') rest.pop_back();
        b.source = rest;
        in.blocks.push_back(b);
        i = close + 1;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i < s.size() && s[i] == ';') ++i;
    }
    const size_t found = in.blocks.size();
    if (!in.has_count) {
        in.entries = found;
    } else if (in.count != static_cast<long long>(found)) {
        in.problems.push_back("COUNT-MISMATCH : THE COUNT LINE SAYS " + std::to_string(in.count) + ", " +
                              std::to_string(found) + " BLOCKS FOUND;");
        // Missing blocks become empty results, but a wild count is not believed.
        in.entries = in.count > static_cast<long long>(found) + 4096 ? found : static_cast<size_t>(in.count);
    } else {
        in.entries = found;
    }
    return in;
}

// The line that starts at `at`, without its line feed, and `at` moved past
// it; false past the end of the text.
static bool nth_line(const std::string& text, size_t& at, std::string& line) {
    if (at > text.size()) return false;
    const size_t end = text.find('\n', at);
    line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() + 1 : end + 1;
    return true;
}

// A statement the parameter push writes: a type keyword, a blank, then the
// rest of a one-line statement.
static bool pushed_parameter_line(const std::string& line) {
    return line.size() > 4 && parameter_type_code(line.substr(0, 3)) >= 0 && line[3] == ' ' && line.back() == ';';
}

int staged_header_lines(const std::string& text, bool element_block) {
    size_t at = 0;
    std::string line;
    if (!element_block) return nth_line(text, at, line) && line == "// logic" ? 1 : 0;
    const char* const block_head[4] = {"", "// directives", "#execute_mode:", "// logic"};
    for (int i = 0; i < 4; ++i) {
        if (!nth_line(text, at, line)) return 0;
        if (i == 2 ? line.compare(0, 14, block_head[i]) != 0 : line != block_head[i]) return 0;
    }
    int lines = 4;
    size_t next = at;
    if (!nth_line(text, next, line) || line != "// parameters") return lines;
    ++lines;
    at = next;
    while (nth_line(text, next, line) && pushed_parameter_line(line)) {
        ++lines;
        at = next;
    }
    if (nth_line(text, at, line) && line == "// logic") ++lines;
    return lines;
}
