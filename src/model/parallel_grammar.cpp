#include "model/parallel_grammar.h"

#include <cstdint>
#include <map>

#include "text/split.h"
#include "text/text_utils.h"

namespace {

enum LineClass { LINE_NONE, LINE_PREFIX, LINE_SUFFIX, LINE_DEFINITION, LINE_IGNORED, LINE_UNKNOWN };

const char* const kFatalPrefix = "ERROR-IN-PARALLEL-ASSEMBLY : ";

std::string normalise_keyword_line(const std::string& line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c != '#' && c != '_') out.push_back(c);
    }
    return to_upper(out);
}

// Strictly longer than the keyword and beginning with it: a bare keyword
// names nothing.
bool keyword_matches(const std::string& normalised, const char* keyword) {
    const std::string k(keyword);
    return normalised.size() > k.size() && normalised.compare(0, k.size(), k) == 0;
}

bool any_keyword_matches(const std::string& normalised, std::initializer_list<const char*> keywords) {
    for (const char* k : keywords) {
        if (keyword_matches(normalised, k)) return true;
    }
    return false;
}

LineClass classify_keyword_line(const std::string& line) {
    const std::string n = normalise_keyword_line(line);
    if (any_keyword_matches(n, {"PRE", "CCPP", "GLOBALPRE"})) return LINE_PREFIX;
    if (any_keyword_matches(n, {"POST", "VCPS", "SUFFIX", "GLOBALPOST", "GLOBALSUFFIX"})) return LINE_SUFFIX;
    if (keyword_matches(n, "GLOBAL")) return LINE_PREFIX;
    if (keyword_matches(n, "VREK")) return LINE_DEFINITION;
    if (any_keyword_matches(n, {"CAMERA", "CAM", "EYELOOKAT", "EYELOOK", "VIEWPOINT"})) return LINE_IGNORED;
    if (n == "PARALLEL;") return LINE_IGNORED;
    return LINE_UNKNOWN;
}

// DIRECTIVES lines followed by FUNCTIONS lines, each section trimmed first.
std::vector<std::string> keyword_lines(const EntityParseRecord& record) {
    std::vector<std::string> lines;
    split_into(trim_whitespace(record.sections[SECTION_DIRECTIVES]), '\n', lines);
    split_into(trim_whitespace(record.sections[SECTION_FUNCTIONS]), '\n', lines);
    return lines;
}

// The body of a "...{ body };" line: from after its first "{" to before its
// last two characters, trimmed. False when the line has no "{" or ends
// before it; a body that would end before it starts (as in "#PRE{}") is
// empty.
bool block_line_body(const std::string& line, std::string& body) {
    body.clear();
    const size_t open = line.find('{');
    if (open == std::string::npos || line.size() < 2 || line.size() - 2 < open) return false;
    const size_t start = open + 1;
    const size_t end = line.size() - 2;
    if (end > start) body = trim_whitespace(line.substr(start, end - start));
    return true;
}

// The invocations of a return body: cut at the commas of nesting depth 0.
// Brackets inside literals do not nest; brackets inside comments do.
std::vector<std::string> split_invocations(const std::string& body) {
    const std::vector<uint8_t> classes = classify_characters(body);
    std::string rewritten;
    rewritten.reserve(body.size() + 16);
    int64_t depth = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (classes[i] != CHAR_LITERAL) {
            if (c == '(' || c == '<' || c == '[' || c == '{') ++depth;
            if (c == ')' || c == '>' || c == ']' || c == '}') --depth;
        }
        if (c == ',' && depth == 0) {
            rewritten += " &&& ";
        } else {
            rewritten.push_back(c);
        }
    }
    std::vector<std::string> pieces;
    split_by_string(rewritten, " &&& ", pieces);
    std::vector<std::string> invocations;
    for (const std::string& piece : pieces) {
        std::string trimmed = trim_whitespace(piece);
        if (!trimmed.empty()) invocations.push_back(trimmed);
    }
    return invocations;
}

// The name an invocation refers to: its reference text without a leading
// group prefix of at most 8 digits or spaces and a "|".
std::string invocation_name(const std::string& reference) {
    size_t j = 0;
    while (j < reference.size() && j < 8 && ((reference[j] >= '0' && reference[j] <= '9') || reference[j] == ' ')) {
        ++j;
    }
    if (j >= reference.size() || reference[j] != '|') return reference;
    std::string name = reference.substr(j + 1);
    if (!name.empty() && (name.front() == ' ' || name.back() == ' ')) name = trim_whitespace(name);
    return name;
}

struct Invocation {
    std::string reference;
    std::string name;
    std::string inline_body;
    std::string source;
};

// Reference text and inline body; false when the "(" ... ")" is malformed.
bool read_invocation(const std::string& text, Invocation& invocation) {
    const size_t open = text.find('(');
    const size_t close = text.find(')');
    if (open == std::string::npos || close == std::string::npos || open > close) return false;
    invocation.reference = trim_whitespace(text.substr(open + 1, close - open - 1));
    const size_t brace_open = text.find('{');
    const size_t brace_close = text.rfind('}');
    if (brace_open != std::string::npos && brace_close != std::string::npos && brace_open > close &&
        brace_open < brace_close) {
        invocation.inline_body = trim_whitespace(text.substr(brace_open + 1, brace_close - brace_open - 1));
    }
    return true;
}

bool definition_name(const std::string& line, std::string& name) {
    const size_t open = line.find('(');
    const size_t close = line.find(')');
    if (open == std::string::npos || close == std::string::npos || open > close) return false;
    name = trim_whitespace(line.substr(open + 1, close - open - 1));
    return true;
}

// Where the grammar's messages go: printed and stored, or only stored.
struct MessageSink {
    std::vector<std::string>* messages;
    bool quiet;
};

void say(const MessageSink& sink, const std::string& line) {
    if (!sink.quiet) {
        print_and_store_line(sink.messages, line);
    } else if (sink.messages != nullptr && !sink.messages->empty()) {
        sink.messages->front() = line;
    }
}

std::vector<SubElementSource> fail(const MessageSink& messages, const std::string& what) {
    say(messages, concat2(kFatalPrefix, what));
    return {};
}

}  // namespace

std::vector<SubElementSource> build_subelement_sources(const EntityParseRecord& record,
                                                       std::vector<std::string>* message_list, bool quiet) {
    const MessageSink messages{message_list, quiet};
    if (record.parallel != 1) return {};

    std::string prefix_line;
    std::string suffix_line;
    std::vector<std::string> definitions;
    for (const std::string& line : keyword_lines(record)) {
        if (line.empty()) continue;
        switch (classify_keyword_line(line)) {
            case LINE_PREFIX:
                if (prefix_line.empty()) {
                    prefix_line = line;
                } else {
                    say(messages, "ERROR: GLOBAL-PREFIX-ALREADY-DEFINED!");
                }
                break;
            case LINE_SUFFIX:
                if (suffix_line.empty()) {
                    suffix_line = line;
                } else {
                    say(messages, "ERROR: GLOBAL-SUFFIX-ALREADY-DEFINED!");
                }
                break;
            case LINE_DEFINITION:
                definitions.push_back(line);
                break;
            case LINE_UNKNOWN:
                say(messages, concat3("ERROR: UNKNOWN-PARALLEL-TYPE : { ", line, " };"));
                break;
            default:
                break;
        }
    }

    std::vector<std::string> root_lines;
    split_into(trim_whitespace(record.sections[SECTION_OPERATIONS]), '\n', root_lines);
    if (root_lines.empty()) return fail(messages, "MISSING-RETURN!");
    if (root_lines.size() > 1) return fail(messages, "GREATER-THAN-ONE TOP-LEVEL OPERATIVE SCRIPT STATEMENT!");
    const std::string& root = root_lines[0];

    const size_t open = root.find('{');
    const size_t close = root.rfind('}');
    if (open == std::string::npos || close == std::string::npos || open > close) {
        return fail(messages, "MALFORMED RETURN!");
    }
    const std::string body = trim_whitespace(root.substr(open + 1, close - open - 1));
    if (body.empty()) return fail(messages, "EMPTY (ZERO-LENGTH) RETURN!");
    if (body.find('(') == std::string::npos || body.find(')') == std::string::npos) {
        return fail(messages, "MISSING SUB-ELEMENT INVOCATION IN RETURN!");
    }

    std::vector<Invocation> invocations;
    for (const std::string& text : split_invocations(body)) {
        Invocation invocation;
        if (!read_invocation(text, invocation)) {
            return fail(messages, "MALFORMED SUB-ELEMENT INVOCATIVE-REFERENCE IN RETURN!");
        }
        invocations.push_back(invocation);
    }

    std::string prefix_body;
    std::string suffix_body;
    if (!prefix_line.empty() && !block_line_body(prefix_line, prefix_body)) {
        return fail(messages, "MALFORMED GLOBAL-PREFIX!");
    }
    if (!suffix_line.empty() && !block_line_body(suffix_line, suffix_body)) {
        return fail(messages, "MALFORMED GLOBAL-SUFFIX!");
    }

    for (Invocation& invocation : invocations) {
        invocation.name = invocation_name(invocation.reference);
        std::string definition_body;
        for (const std::string& line : definitions) {
            std::string name;
            if (!definition_name(line, name) || name != invocation.name) continue;
            if (!block_line_body(line, definition_body)) {
                return fail(messages, concat3("MALFORMED SUB-ELEMENT SOURCE-DEFINITION : [", invocation.name, "]"));
            }
            break;
        }
        invocation.source = !definition_body.empty() ? definition_body : invocation.inline_body;
        if (invocation.source.empty()) {
            say(messages, concat4(kFatalPrefix, "UNABLE TO RESOLVE SUB-ELEMENT SOURCE-DEFINITION : [",
                                                   invocation.name, "]"));
        }
    }

    std::vector<SubElementSource> sources;
    sources.reserve(invocations.size());
    for (Invocation& invocation : invocations) {
        std::string source = invocation.source;
        if (!source.empty() && !prefix_body.empty()) source = concat3(prefix_body, "\n", source);
        if (!source.empty() && !suffix_body.empty()) source = concat3(source, "\n", suffix_body);
        sources.push_back({invocation.reference, source});
    }
    return sources;
}

std::string extract_global_prefix_body(const EntityParseRecord& record) {
    if (record.parallel != 1) return "";
    for (const std::string& line : keyword_lines(record)) {
        if (line.empty() || classify_keyword_line(line) != LINE_PREFIX) continue;
        std::string body;
        return block_line_body(line, body) ? body : std::string();
    }
    return "";
}

const std::string& subelement_reference(const SubElementSource& source) {
    static const std::string empty;
    return source.size() > 0 ? source[0] : empty;
}

const std::string& subelement_text(const SubElementSource& source) {
    static const std::string empty;
    return source.size() > 1 ? source[1] : empty;
}

std::vector<InvocationGroup> group_by_batch_key(const std::vector<int32_t>& keys, const std::vector<bool>& selection) {
    if (keys.empty() || selection.empty() || selection.size() != keys.size()) return {};
    // Keys are distinct per group, so ordering by key is the stable sort of
    // the groups in order of first appearance.
    std::map<int32_t, InvocationGroup> by_key;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!selection[i] || keys[i] == -1) continue;
        by_key[keys[i]].push_back(static_cast<int32_t>(i));
    }
    std::vector<InvocationGroup> groups;
    groups.reserve(by_key.size());
    for (auto& entry : by_key) groups.push_back(std::move(entry.second));
    return groups;
}
