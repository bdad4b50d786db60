#include "script/statements.h"

#include <cctype>

static const char* const kTypeKeywords[] = {"INT", "DBL", "LNG", "BLN", "CHR", "STR"};

int parameter_type_code(const std::string& word) {
    if (word.size() != 3) return -1;
    std::string upper;
    for (char c : word) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < 6; ++i)
        if (upper == kTypeKeywords[i]) return i;
    return -1;
}

static bool is_ident_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
static bool is_ident_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string report_safe(const std::string& text, size_t max_length) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (out.size() >= max_length) {
            out += "...";
            break;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            out += ' ';
        else if (c >= 0x80)
            out += '?';
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += static_cast<char>(c);
    }
    return out;
}

bool contains_report_tag(const std::string& text) {
    static const char* const names[] = {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS",
                                        "ERRORS",     "WARNINGS",   "NOTES",     "SOURCE"};
    if (text.find('<') == std::string::npos) return false;
    if (text.find("<BREAK>") != std::string::npos) return true;
    for (const char* n : names) {
        const std::string name(n);
        if (text.find("<" + name + ">") != std::string::npos || text.find("</" + name + ">") != std::string::npos)
            return true;
    }
    return false;
}

static StatementKind classify(const std::string& text) {
    if (!text.empty() && text[0] == '#') return STATEMENT_DIRECTIVE;
    size_t n = 0;
    while (n < text.size() && is_ident_char(text[n])) ++n;
    const std::string word = text.substr(0, n);
    if (n < text.size() && text[n] == ' ') {
        if (parameter_type_code(word) >= 0 && n + 1 < text.size() && is_ident_start(text[n + 1]))
            return STATEMENT_PARAMETER;
        if (word == "func") return STATEMENT_FUNCTION;
    }
    return STATEMENT_OPERATION;
}

// "STR name =" so far: the string that opens now is a pushed STR value, which
// is written unescaped and may itself hold double quotes.
static bool opens_str_value(const std::string& cur) {
    size_t i = 0;
    if (cur.size() < 5 || parameter_type_code(cur.substr(0, 3)) != 5 || cur[3] != ' ') return false;
    i = 4;
    if (i >= cur.size() || !is_ident_start(cur[i])) return false;
    while (i < cur.size() && is_ident_char(cur[i])) ++i;
    if (i < cur.size() && cur[i] == ' ') ++i;
    if (i >= cur.size() || cur[i] != '=') return false;
    ++i;
    if (i < cur.size() && cur[i] == ' ') ++i;
    return i == cur.size();
}

// "CHR name =" so far: a pushed character is written raw, so a quote or a
// backslash may stand between the quotes.
static bool opens_chr_value(const std::string& cur) {
    return cur.size() >= 5 && parameter_type_code(cur.substr(0, 3)) == 4 && cur[3] == ' ' &&
           opens_str_value("STR" + cur.substr(3));
}

// Inside such a value a quote closes it only when ';' follows or no other
// quote is left on the line.
static bool str_value_closes(const std::string& s, size_t quote) {
    size_t j = quote + 1;
    while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) ++j;
    if (j < s.size() && s[j] == ';') return true;
    for (size_t k = quote + 1; k < s.size() && s[k] != '\n'; ++k)
        if (s[k] == '"') return false;
    return true;
}

enum StatementLexState { IN_CODE, IN_STRING, IN_CHAR, IN_LINE_COMMENT, IN_BLOCK_COMMENT };

std::string line_position(int line) {
    return line >= 1 ? " AT LINE " + std::to_string(line) : " IN THE STAGED HEADER";
}

StatementSplit split_statements(const std::string& s, int header_lines) {
    StatementSplit out;
    const size_t kMaxErrors = 100;
    bool broken = false;
    auto error = [&](const std::string& message) {
        broken = true;
        if (out.errors.size() < kMaxErrors)
            out.errors.push_back(message);
        else if (out.errors.size() == kMaxErrors)
            out.errors.push_back("TOO-MANY-ERRORS : FURTHER ERRORS NOT LISTED;");
    };
    StatementLexState state = IN_CODE;
    std::string cur;
    std::string brackets;
    bool pending_space = false;
    bool str_value = false;
    bool bracket_error = false;
    int line = 1 - header_lines;
    int start_line = line;
    int quote_line = line;

    auto finish = [&]() {
        ScriptStatement st;
        st.text = cur;
        st.line = start_line;
        st.kind = classify(cur);
        st.broken = broken;
        broken = false;
        out.statements.push_back(st);
        cur.clear();
        brackets.clear();
        bracket_error = false;
        pending_space = false;
    };

    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const unsigned char u = static_cast<unsigned char>(c);
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        switch (state) {
            case IN_LINE_COMMENT:
                if (c == '\n') {
                    ++line;
                    state = IN_CODE;
                    pending_space = true;
                }
                break;
            case IN_BLOCK_COMMENT:
                if (c == '\n') ++line;
                if (c == '*' && next == '/') {
                    ++i;
                    state = IN_CODE;
                    pending_space = true;
                }
                break;
            case IN_STRING:
            case IN_CHAR: {
                const char quote = state == IN_STRING ? '"' : '\'';
                if (c == '\n') {
                    error("UNBALANCED-QUOTES : UNTERMINATED LITERAL" + line_position(quote_line) + ";");
                    cur += quote;
                    ++line;
                    state = IN_CODE;
                    pending_space = true;
                } else if (c == '\\' && i + 1 < s.size() && next != '\n' && !str_value) {
                    cur += c;
                    cur += (static_cast<unsigned char>(next) < 0x20 ? ' ' : next);
                    ++i;
                } else if (c == quote && (!str_value || str_value_closes(s, i))) {
                    cur += c;
                    state = IN_CODE;
                } else {
                    cur += (u < 0x20 && c != '\t') || u == 0x7F ? ' ' : c;
                }
                break;
            }
            case IN_CODE:
                if (u <= 0x20 || u == 0x7F) {
                    if (c == '\n') ++line;
                    pending_space = true;
                    break;
                }
                if (c == '/' && next == '/') {
                    state = IN_LINE_COMMENT;
                    ++i;
                    break;
                }
                if (c == '/' && next == '*') {
                    state = IN_BLOCK_COMMENT;
                    ++i;
                    break;
                }
                if (cur.empty()) {
                    start_line = line;
                } else if (pending_space) {
                    cur += ' ';
                }
                pending_space = false;
                if (c == '\'' && opens_chr_value(cur) && i + 2 < s.size() &&
                    !(next == '\\' && i + 3 < s.size() && s[i + 3] == '\'') && s[i + 2] == '\'') {
                    cur.append(s, i, 3);
                    i += 2;
                    break;
                }
                if (c == '"' || c == '\'') {
                    str_value = c == '"' && opens_str_value(cur);
                    state = c == '"' ? IN_STRING : IN_CHAR;
                    quote_line = line;
                } else if (c == '(' || c == '[' || c == '{') {
                    brackets += c;
                } else if (c == ')' || c == ']' || c == '}') {
                    const char open = c == ')' ? '(' : c == ']' ? '[' : '{';
                    if (brackets.empty() || brackets.back() != open) {
                        if (!bracket_error)
                            error("UNBALANCED-BRACKETS : UNEXPECTED '" + std::string(1, c) + "'" +
                                  line_position(line) + ";");
                        bracket_error = true;
                    }
                    if (!brackets.empty()) brackets.pop_back();
                }
                cur += c;
                if (c == ';' && brackets.empty()) finish();
                break;
        }
    }
    if (state == IN_STRING || state == IN_CHAR)
        error("UNBALANCED-QUOTES : UNTERMINATED LITERAL" + line_position(quote_line) + ";");
    if (state == IN_BLOCK_COMMENT) error("UNTERMINATED-COMMENT : '/*' WITHOUT '*/';");
    if (!cur.empty()) {
        if (!brackets.empty())
            error("UNBALANCED-BRACKETS : '" + std::string(1, brackets.back()) + "' NOT CLOSED IN STATEMENT" +
                  line_position(start_line) + ";");
        else if (state != IN_STRING && state != IN_CHAR)
            error("MISSING-SEMICOLON : STATEMENT" + line_position(start_line) + " HAS NO ';';");
        finish();
    }
    return out;
}
