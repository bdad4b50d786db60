#include "export/ppd_batching.h"

#include <map>

#include "text/split.h"
#include "text/text_utils.h"

namespace {

enum LineClass { LINE_PREFIX, LINE_SUFFIX, LINE_DEFINITION, LINE_IGNORED, LINE_UNKNOWN };

bool keyword_matches(const std::string& normalised, const char* keyword) {
    const std::string k(keyword);
    return normalised.size() > k.size() && normalised.compare(0, k.size(), k) == 0;
}

LineClass classify_keyword_line(const std::string& line) {
    std::string normalised;
    normalised.reserve(line.size());
    for (char c : line) {
        if (c != '#' && c != '_') normalised.push_back(c);
    }
    normalised = to_upper(normalised);

    for (const char* k : {"PRE", "CCPP", "GLOBALPRE"}) {
        if (keyword_matches(normalised, k)) return LINE_PREFIX;
    }
    for (const char* k : {"POST", "VCPS", "SUFFIX", "GLOBALPOST", "GLOBALSUFFIX"}) {
        if (keyword_matches(normalised, k)) return LINE_SUFFIX;
    }
    if (keyword_matches(normalised, "GLOBAL")) return LINE_PREFIX;
    if (keyword_matches(normalised, "VREK")) return LINE_DEFINITION;
    for (const char* k : {"CAMERA", "CAM", "EYELOOKAT", "EYELOOK", "VIEWPOINT"}) {
        if (keyword_matches(normalised, k)) return LINE_IGNORED;
    }
    if (normalised == "PARALLEL;") return LINE_IGNORED;
    return LINE_UNKNOWN;
}

// The text between a block line's first "{" and its last two characters
// (which close the block), trimmed. False when the line has no "{" or is too
// short for one.
bool block_body(const std::string& line, std::string& body) {
    const size_t brace = line.find('{');
    if (brace == std::string::npos) return false;
    const int64_t end = static_cast<int64_t>(line.size()) - 2;
    if (end < static_cast<int64_t>(brace)) return false;
    const int64_t start = static_cast<int64_t>(brace) + 1;
    body = end > start ? trim_whitespace(line.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)))
                       : std::string();
    return true;
}

// Per character of `body`: 0 code, 1 string or character literal, 2 comment.
std::vector<uint8_t> classify_characters(const std::string& body) {
    enum State { CODE, STRING, CHARACTER, LINE_COMMENT, BLOCK_COMMENT };
    std::vector<uint8_t> classes(body.size(), 0);
    State state = CODE;
    const size_t n = body.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = body[i];
        switch (state) {
        case CODE:
            if (c == '"') {
                classes[i] = 1;
                state = STRING;
            } else if (c == '\'') {
                classes[i] = 1;
                state = CHARACTER;
            } else if (c == '/' && i + 1 < n && (body[i + 1] == '/' || body[i + 1] == '*')) {
                classes[i] = classes[i + 1] = 2;
                state = body[i + 1] == '/' ? LINE_COMMENT : BLOCK_COMMENT;
                ++i;
            }
            break;
        case STRING:
        case CHARACTER:
            classes[i] = 1;
            if (c == '\\' && i + 1 < n) {
                classes[++i] = 1;
            } else if (c == (state == STRING ? '"' : '\'') || c == '\n') {
                state = CODE;
            }
            break;
        case LINE_COMMENT:
            classes[i] = 2;
            if (c == '\n') state = CODE;
            break;
        case BLOCK_COMMENT:
            classes[i] = 2;
            if (c == '*' && i + 1 < n && body[i + 1] == '/') {
                classes[++i] = 2;
                state = CODE;
            }
            break;
        }
    }
    return classes;
}

// The return body cut at its top-level commas (marked, as the assembly does,
// by a separator text); pieces trimmed, empty ones dropped.
std::vector<std::string> split_invocations(const std::string& body) {
    const std::vector<uint8_t> classes = classify_characters(body);
    std::string marked;
    marked.reserve(body.size() + 16);
    int64_t depth = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (classes[i] != 1) {
            if (c == '(' || c == '<' || c == '[' || c == '{') ++depth;
            if (c == ')' || c == '>' || c == ']' || c == '}') --depth;
        }
        if (c == ',' && depth == 0) {
            marked += " &&& ";
        } else {
            marked.push_back(c);
        }
    }
    std::vector<std::string> raw;
    split_by_string(marked, " &&& ", raw);
    std::vector<std::string> pieces;
    for (const std::string& piece : raw) {
        std::string trimmed = trim_whitespace(piece);
        if (!trimmed.empty()) pieces.push_back(trimmed);
    }
    return pieces;
}

// The name an invocation refers to: its reference text less a group prefix
// of up to eight digits or blanks and "|".
std::string invocation_name(const std::string& reference) {
    for (size_t i = 0; i < reference.size() && i <= 8; ++i) {
        const char c = reference[i];
        if (c == '|') {
            std::string name = reference.substr(i + 1);
            if (!name.empty() && (name.front() == ' ' || name.back() == ' ')) name = trim_whitespace(name);
            return name;
        }
        if (!(c == ' ' || (c >= '0' && c <= '9'))) break;
    }
    return reference;
}

}  // namespace

std::vector<std::vector<std::string>> report_subelement_sources(const EntityParseRecord& record) {
    std::vector<std::vector<std::string>> sources;
    if (record.parallel != 1) return sources;

    std::vector<std::string> keyword_lines = split(trim_whitespace(record.sections[SECTION_DIRECTIVES]), '\n');
    split_into(trim_whitespace(record.sections[SECTION_FUNCTIONS]), '\n', keyword_lines);
    const std::vector<std::string> root_lines = split(trim_whitespace(record.sections[SECTION_OPERATIONS]), '\n');

    std::string prefix_line, suffix_line;
    bool has_prefix = false, has_suffix = false;
    std::vector<const std::string*> definitions;
    for (const std::string& line : keyword_lines) {
        if (line.empty()) continue;
        switch (classify_keyword_line(line)) {
        case LINE_PREFIX:
            if (!has_prefix) prefix_line = line;
            has_prefix = true;
            break;
        case LINE_SUFFIX:
            if (!has_suffix) suffix_line = line;
            has_suffix = true;
            break;
        case LINE_DEFINITION:
            definitions.push_back(&line);
            break;
        default:
            break;
        }
    }

    if (root_lines.size() != 1) return sources;
    const std::string& root = root_lines[0];
    const size_t open = root.find('{');
    const size_t close = root.rfind('}');
    if (open == std::string::npos || close == std::string::npos || open > close) return sources;
    const std::string body = trim_whitespace(root.substr(open + 1, close - open - 1));
    if (body.empty() || body.find('(') == std::string::npos || body.find(')') == std::string::npos) return sources;

    const std::vector<std::string> invocations = split_invocations(body);
    std::vector<std::string> references, inline_bodies;
    for (const std::string& invocation : invocations) {
        const size_t p = invocation.find('(');
        const size_t q = invocation.find(')');
        if (p == std::string::npos || q == std::string::npos || p > q) return {};
        references.push_back(trim_whitespace(invocation.substr(p + 1, q - p - 1)));
        const size_t b = invocation.find('{');
        const size_t e = invocation.rfind('}');
        std::string inline_body;
        if (b != std::string::npos && e != std::string::npos && b > q && b < e)
            inline_body = trim_whitespace(invocation.substr(b + 1, e - b - 1));
        inline_bodies.push_back(inline_body);
    }

    std::string prefix_body, suffix_body;
    if (has_prefix && !block_body(prefix_line, prefix_body)) return {};
    if (has_suffix && !block_body(suffix_line, suffix_body)) return {};

    for (size_t k = 0; k < invocations.size(); ++k) {
        const std::string name = invocation_name(references[k]);
        std::string source;
        for (const std::string* definition : definitions) {
            const size_t p = definition->find('(');
            const size_t q = definition->find(')');
            if (p == std::string::npos || q == std::string::npos || p >= q) continue;
            if (trim_whitespace(definition->substr(p + 1, q - p - 1)) != name) continue;
            if (!block_body(*definition, source)) return {};
            break;
        }
        if (source.empty()) source = inline_bodies[k];
        if (!source.empty() && !prefix_body.empty()) source = prefix_body + "\n" + source;
        if (!source.empty() && !suffix_body.empty()) source = source + "\n" + suffix_body;
        sources.push_back({references[k], source});
    }
    return sources;
}

std::vector<std::vector<int32_t>> report_group_by_batch_key(const std::vector<int32_t>& keys,
                                                            const std::vector<uint8_t>& selection) {
    std::vector<std::vector<int32_t>> groups;
    if (keys.empty() || selection.size() != keys.size()) return groups;
    std::map<int32_t, std::vector<int32_t>> by_key;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (selection[i] && keys[i] != -1) by_key[keys[i]].push_back(static_cast<int32_t>(i));
    }
    for (auto& entry : by_key) groups.push_back(std::move(entry.second));
    return groups;
}
