#include "script/program.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <set>

const char* const kExecuteModeKeywords[3] = {"pure_union_mesh", "basic_csg_mesh", "optimal_csg_mesh"};

static const CallSignature kPrimitives[] = {
    {"box", {0, 1, 3, -1}},     {"cube", {0, 1, -1, -1}},     {"mcube", {0, 1, -1, -1}},
    {"bcube", {0, 1, 2, -1}},   {"rcube", {0, 5, -1, -1}},    {"sphere", {0, 1, 2, -1}},
    {"cylinder", {0, 3, -1, -1}}, {"cone", {0, 3, -1, -1}},   {"torus", {0, 4, -1, -1}},
    {"grid", {0, 1, -1, -1}},
};

static const CallSignature kMethods[] = {
    {"tx", {1, -1, -1, -1}},   {"ty", {1, -1, -1, -1}},   {"tz", {1, -1, -1, -1}},
    {"txy", {2, -1, -1, -1}},  {"txz", {2, -1, -1, -1}},  {"tyz", {2, -1, -1, -1}},
    {"txyz", {3, -1, -1, -1}}, {"t", {3, -1, -1, -1}},    {"s", {1, 3, -1, -1}},
    {"sx", {1, -1, -1, -1}},   {"sy", {1, -1, -1, -1}},   {"sz", {1, -1, -1, -1}},
    {"sxyz", {3, -1, -1, -1}}, {"rx", {1, -1, -1, -1}},   {"ry", {1, -1, -1, -1}},
    {"rz", {1, -1, -1, -1}},   {"rx90", {0, -1, -1, -1}}, {"ry90", {0, -1, -1, -1}},
    {"rz90", {0, -1, -1, -1}}, {"rxN90", {0, -1, -1, -1}}, {"ryN90", {0, -1, -1, -1}},
    {"rzN90", {0, -1, -1, -1}}, {"rx180", {0, -1, -1, -1}}, {"ry180", {0, -1, -1, -1}},
    {"rz180", {0, -1, -1, -1}}, {"rgb", {1, 3, -1, -1}},
};

// Calls with side effects, for testing the pipeline around the kernel.
static const CallSignature kKnobs[] = {
    {"fail", {0, -1, -1, -1}},  {"sleep", {1, -1, -1, -1}},        {"truncate", {0, -1, -1, -1}},
    {"print", {1, -1, -1, -1}}, {"syntax_error", {1, -1, -1, -1}},
};

template <size_t N>
static const CallSignature* find_in(const CallSignature (&table)[N], const std::string& name) {
    for (const auto& sig : table)
        if (name == sig.name) return &sig;
    return nullptr;
}

const CallSignature* find_primitive(const std::string& name) { return find_in(kPrimitives, name); }
const CallSignature* find_method(const std::string& name) { return find_in(kMethods, name); }
static const CallSignature* find_knob(const std::string& name) { return find_in(kKnobs, name); }

bool signature_allows(const CallSignature& sig, int count) {
    for (int c : sig.arg_counts) {
        if (c < 0) break;
        if (c == count) return true;
    }
    return false;
}

static std::string allowed_counts(const CallSignature& sig) {
    std::string out;
    for (int c : sig.arg_counts) {
        if (c < 0) break;
        if (!out.empty()) out += " OR ";
        out += std::to_string(c);
    }
    return out;
}

static bool is_ident_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
static bool is_ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

static std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}

// ---------------------------------------------------------------- tokens

enum ScriptTokenKind { TOKEN_NUMBER, TOKEN_IDENT, TOKEN_STRING, TOKEN_PUNCT, TOKEN_END };

struct ScriptToken {
    ScriptTokenKind kind = TOKEN_END;
    std::string text;
    double number = 0.0;
    size_t pos = 0;
};

static bool parse_double(const std::string& text, double& out) {
    if (text.empty()) return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (*begin == '+') ++begin;
    auto [p, ec] = std::from_chars(begin, end, out);
    return ec == std::errc() && p == end;
}

static std::vector<ScriptToken> tokenise(const std::string& s, std::string& error) {
    std::vector<ScriptToken> out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        ScriptToken t;
        t.pos = i;
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j < s.size() && s[j] == '.') {
                ++j;
                while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            }
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
                    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
                    j = k;
                }
            }
            t.kind = TOKEN_NUMBER;
            t.text = s.substr(i, j - i);
            if (!parse_double(t.text, t.number)) {
                error = "INVALID-NUMBER : '" + report_safe(t.text) + "'";
                return {};
            }
            i = j;
        } else if (is_ident_start(c)) {
            size_t j = i;
            while (j < s.size() && is_ident_char(s[j])) ++j;
            t.kind = TOKEN_IDENT;
            t.text = s.substr(i, j - i);
            i = j;
        } else if (c == '"' || c == '\'') {
            size_t j = i + 1;
            std::string value;
            while (j < s.size() && s[j] != c) {
                if (s[j] == '\\' && j + 1 < s.size()) {
                    ++j;
                    value += s[j] == 'n' ? '\n' : s[j] == 't' ? '\t' : s[j];
                } else {
                    value += s[j];
                }
                ++j;
            }
            if (j >= s.size()) {
                error = "UNBALANCED-QUOTES";
                return {};
            }
            t.kind = TOKEN_STRING;
            t.text = value;
            i = j + 1;
        } else if (static_cast<unsigned char>(c) < 0x80 && std::ispunct(static_cast<unsigned char>(c))) {
            t.kind = TOKEN_PUNCT;
            t.text = std::string(1, c);
            ++i;
        } else {
            error = "UNEXPECTED-CHARACTER : byte " + std::to_string(static_cast<unsigned char>(c));
            return {};
        }
        out.push_back(t);
    }
    ScriptToken end;
    end.kind = TOKEN_END;
    end.pos = s.size();
    out.push_back(end);
    return out;
}

// ---------------------------------------------------------------- parser

struct ExprParser {
    const std::vector<ScriptToken>& tokens;
    size_t at = 0;
    ExprTree& tree;
    std::string error;
    int depth = 0;                 // recursion of this parser (parentheses, signs)
    std::vector<int> node_depth;   // height of each node's subtree

    const ScriptToken& peek() const { return tokens[at]; }
    bool is_punct(const char* p) const { return peek().kind == TOKEN_PUNCT && peek().text == p; }
    void fail(const std::string& message) {
        if (error.empty()) error = message;
    }
    // Long chains ("a + 1 + 1 ...", "b.tx(1).tx(1)...") are built by loops
    // but checked and evaluated recursively: their height is bounded here.
    int add(ExprNode n) {
        int height = 0;
        auto below = [&](int i) {
            if (i >= 0 && i < static_cast<int>(node_depth.size())) height = std::max(height, node_depth[i]);
        };
        below(n.base);
        below(n.right);
        for (int a : n.args) below(a);
        if (++height > kMaxExpressionDepth) {
            fail("EXPRESSION NESTED TOO DEEPLY");
            return -1;
        }
        tree.nodes.push_back(std::move(n));
        node_depth.push_back(height);
        return static_cast<int>(tree.nodes.size()) - 1;
    }

    bool args(std::vector<int>& out) {
        ++at;  // '('
        if (is_punct(")")) {
            ++at;
            return true;
        }
        while (error.empty()) {
            out.push_back(expr());
            if (!error.empty()) return false;
            if (is_punct(",")) {
                ++at;
                continue;
            }
            if (is_punct(")")) {
                ++at;
                return true;
            }
            fail("EXPECTED ',' OR ')' IN ARGUMENT LIST");
        }
        return false;
    }

    int primary() {
        const ScriptToken& t = peek();
        if (t.kind == TOKEN_NUMBER) {
            ++at;
            ExprNode n;
            n.kind = EXPR_NUMBER;
            n.number = t.number;
            return add(n);
        }
        if (t.kind == TOKEN_STRING) {
            ++at;
            ExprNode n;
            n.kind = EXPR_STRING;
            n.text = t.text;
            return add(n);
        }
        if (t.kind == TOKEN_IDENT) {
            ++at;
            ExprNode n;
            n.text = t.text;
            if (t.text == "true" || t.text == "false") {
                n.kind = EXPR_NUMBER;
                n.number = t.text == "true" ? 1.0 : 0.0;
                return add(n);
            }
            if (is_punct("(")) {
                n.kind = EXPR_CALL;
                n.has_parens = true;
                if (!args(n.args)) return -1;
            } else {
                n.kind = EXPR_NAME;
            }
            return add(n);
        }
        if (t.kind == TOKEN_PUNCT && t.text == "(") {
            ++at;
            int inner = expr();
            if (!error.empty()) return -1;
            if (!is_punct(")")) {
                fail("EXPECTED ')'");
                return -1;
            }
            ++at;
            return inner;
        }
        fail(t.kind == TOKEN_END ? "UNEXPECTED END OF STATEMENT" : "UNEXPECTED '" + report_safe(t.text) + "'");
        return -1;
    }

    int postfix() {
        int p = primary();
        while (error.empty() && is_punct(".")) {
            ++at;
            if (peek().kind != TOKEN_IDENT) {
                fail("EXPECTED METHOD NAME AFTER '.'");
                return -1;
            }
            ExprNode n;
            n.kind = EXPR_METHOD;
            n.text = peek().text;
            n.base = p;
            ++at;
            if (is_punct("(")) {
                n.has_parens = true;
                if (!args(n.args)) return -1;
            }
            p = add(n);
        }
        return p;
    }

    int term() {
        if (is_punct("-")) {
            ++at;
            if (++depth > 200) {
                fail("EXPRESSION NESTED TOO DEEPLY");
                return -1;
            }
            int inner = term();
            --depth;
            ExprNode n;
            n.kind = EXPR_NEG;
            n.base = inner;
            return add(n);
        }
        return postfix();
    }

    int expr() {
        if (++depth > 200) {
            fail("EXPRESSION NESTED TOO DEEPLY");
            return -1;
        }
        int left = term();
        while (error.empty() && (is_punct("+") || is_punct("-"))) {
            ExprNode n;
            n.kind = peek().text == "+" ? EXPR_ADD : EXPR_SUB;
            ++at;
            n.base = left;
            n.right = term();
            left = add(n);
        }
        --depth;
        return error.empty() ? left : -1;
    }
};

// Parses "expr ;" (or "expr" when the statement text was cut before ';').
static bool parse_expression_text(const std::string& text, ExprTree& tree, std::string& error) {
    std::string lex_error;
    std::vector<ScriptToken> tokens = tokenise(text, lex_error);
    if (!lex_error.empty()) {
        error = lex_error;
        return false;
    }
    ExprParser p{tokens, 0, tree, "", 0, {}};
    tree.root = p.expr();
    if (p.error.empty()) {
        if (p.is_punct(";")) ++p.at;
        if (p.peek().kind != TOKEN_END) p.fail("UNEXPECTED '" + report_safe(p.peek().text) + "' AFTER EXPRESSION");
    }
    error = p.error;
    return error.empty();
}

// Splits an argument or invocation list at commas of depth 0 outside quotes.
static std::vector<std::string> split_top_level(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    int depth = 0;
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            cur += c;
            if (c == '\\' && i + 1 < s.size()) {
                cur += s[++i];
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        if (c == '(' || c == '[' || c == '{' || c == '<') ++depth;
        if (c == ')' || c == ']' || c == '}' || c == '>') --depth;
        if (c == ',' && depth == 0) {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(trim(cur));
    return out;
}

// ---------------------------------------------------------------- checks

struct ScriptChecker {
    ScriptProgram& program;
    std::map<std::string, ValueType> scope;
    std::map<std::string, size_t> function_arity;
    std::string where;  // line_position of the statement
    bool difference_noted = false;

    void error(const std::string& m) { program.errors.push_back(m + where + ";"); }
    void warning(const std::string& m) { program.warnings.push_back(m + where + ";"); }

    ValueType check(const ExprTree& t, int index) {
        if (index < 0 || index >= static_cast<int>(t.nodes.size())) return VALUE_UNKNOWN;
        const ExprNode& n = t.nodes[index];
        switch (n.kind) {
            case EXPR_NUMBER:
                return VALUE_NUMBER;
            case EXPR_STRING:
                return VALUE_TEXT;
            case EXPR_NAME: {
                auto it = scope.find(n.text);
                if (it != scope.end()) return it->second;
                const CallSignature* prim = find_primitive(n.text);
                if (prim) {
                    if (!signature_allows(*prim, 0))
                        error("WRONG-ARGUMENT-COUNT : '" + n.text + "' TAKES " + allowed_counts(*prim) + ", GIVEN 0");
                    return VALUE_MESH;
                }
                error("UNDEFINED-NAME : '" + report_safe(n.text) + "'");
                return VALUE_UNKNOWN;
            }
            case EXPR_CALL: {
                std::vector<ValueType> arg_types;
                for (int a : n.args) arg_types.push_back(check(t, a));
                const int count = static_cast<int>(n.args.size());
                if (const CallSignature* prim = find_primitive(n.text)) {
                    if (!signature_allows(*prim, count))
                        error("WRONG-ARGUMENT-COUNT : '" + n.text + "' TAKES " + allowed_counts(*prim) + ", GIVEN " +
                              std::to_string(count));
                    for (ValueType v : arg_types)
                        if (v == VALUE_MESH || v == VALUE_TEXT)
                            error("TYPE-MISMATCH : '" + n.text + "' EXPECTS NUMBERS");
                    return VALUE_MESH;
                }
                auto f = function_arity.find(n.text);
                if (f != function_arity.end()) {
                    if (f->second != n.args.size())
                        error("WRONG-ARGUMENT-COUNT : FUNCTION '" + report_safe(n.text) + "' TAKES " +
                              std::to_string(f->second) + ", GIVEN " + std::to_string(count));
                    return VALUE_UNKNOWN;
                }
                if (const CallSignature* knob = find_knob(n.text)) {
                    if (!signature_allows(*knob, count)) {
                        error("WRONG-ARGUMENT-COUNT : '" + n.text + "' TAKES " + allowed_counts(*knob) + ", GIVEN " +
                              std::to_string(count));
                    } else if (n.text == "syntax_error") {
                        const ExprNode& a = t.nodes[n.args[0]];
                        program.errors.push_back(report_safe(a.kind == EXPR_STRING ? a.text : "syntax_error()") +
                                                 where + ";");
                    } else if (n.text == "sleep" && arg_types[0] != VALUE_NUMBER && arg_types[0] != VALUE_UNKNOWN) {
                        error("TYPE-MISMATCH : 'sleep' EXPECTS MILLISECONDS");
                    }
                    return VALUE_UNKNOWN;
                }
                error("UNKNOWN-PRIMITIVE : '" + report_safe(n.text) + "'");
                return VALUE_UNKNOWN;
            }
            case EXPR_METHOD: {
                ValueType base = check(t, n.base);
                std::vector<ValueType> arg_types;
                for (int a : n.args) arg_types.push_back(check(t, a));
                if (base == VALUE_NUMBER || base == VALUE_TEXT)
                    error("TYPE-MISMATCH : METHOD '" + report_safe(n.text) + "' NEEDS A MESH");
                const CallSignature* m = find_method(n.text);
                if (!m) {
                    warning("UNKNOWN-METHOD : '" + report_safe(n.text) + "' IGNORED");
                } else {
                    if (!signature_allows(*m, static_cast<int>(n.args.size())))
                        error("WRONG-ARGUMENT-COUNT : '" + n.text + "' TAKES " + allowed_counts(*m) + ", GIVEN " +
                              std::to_string(n.args.size()));
                    for (ValueType v : arg_types)
                        if (v == VALUE_MESH || v == VALUE_TEXT)
                            error("TYPE-MISMATCH : '" + n.text + "' EXPECTS NUMBERS");
                }
                return VALUE_MESH;
            }
            case EXPR_ADD:
            case EXPR_SUB: {
                ValueType a = check(t, n.base);
                ValueType b = check(t, n.right);
                if (a == VALUE_TEXT || b == VALUE_TEXT) {
                    error("TYPE-MISMATCH : TEXT IN ARITHMETIC");
                    return VALUE_UNKNOWN;
                }
                if ((a == VALUE_NUMBER && b == VALUE_MESH) || (a == VALUE_MESH && b == VALUE_NUMBER)) {
                    error("TYPE-MISMATCH : MESH AND NUMBER COMBINED");
                    return VALUE_UNKNOWN;
                }
                if (a == VALUE_MESH || b == VALUE_MESH) {
                    if (n.kind == EXPR_SUB && !difference_noted) {
                        program.notes.push_back("DIFFERENCE-NOT-EVALUATED : LEFT OPERAND KEPT" + where + ";");
                        difference_noted = true;
                    }
                    return VALUE_MESH;
                }
                if (a == VALUE_NUMBER && b == VALUE_NUMBER) return VALUE_NUMBER;
                return VALUE_UNKNOWN;
            }
            case EXPR_NEG: {
                ValueType a = check(t, n.base);
                if (a == VALUE_MESH || a == VALUE_TEXT) error("TYPE-MISMATCH : NEGATED MESH OR TEXT");
                return a == VALUE_NUMBER ? VALUE_NUMBER : VALUE_UNKNOWN;
            }
        }
        return VALUE_UNKNOWN;
    }
};

// The variable a bare chain "v.m1.m2;" updates: its innermost receiver.
static std::string chain_variable(const ExprTree& t, const std::map<std::string, ValueType>& scope) {
    int i = t.root;
    if (i < 0 || t.nodes[i].kind != EXPR_METHOD) return "";
    while (i >= 0 && t.nodes[i].kind == EXPR_METHOD) i = t.nodes[i].base;
    if (i < 0 || t.nodes[i].kind != EXPR_NAME) return "";
    auto it = scope.find(t.nodes[i].text);
    return it != scope.end() && it->second != VALUE_NUMBER && it->second != VALUE_TEXT ? t.nodes[i].text : "";
}

static bool starts_with_word(const std::string& text, const char* word) {
    const size_t n = std::strlen(word);
    return text.compare(0, n, word) == 0 && (text.size() == n || !is_ident_char(text[n]));
}

// "return { VREK(a), VREK(2|b){ ... } };"
static bool parse_parallel_return(const std::string& text, Operation& op, std::string& error) {
    const size_t open = text.find('{');
    const size_t close = text.rfind('}');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        error = "MALFORMED-PARALLEL-RETURN";
        return false;
    }
    if (trim(text.substr(close + 1)) != ";") {
        error = "UNEXPECTED TEXT AFTER PARALLEL RETURN";
        return false;
    }
    for (const std::string& invocation : split_top_level(text.substr(open + 1, close - open - 1))) {
        if (invocation.empty()) continue;
        const size_t a = invocation.find('(');
        const size_t b = invocation.find(')');
        if (a == std::string::npos || b == std::string::npos || b < a) {
            error = "MALFORMED-SUB-ELEMENT-INVOCATION : '" + report_safe(invocation) + "'";
            return false;
        }
        ParallelInvocation inv;
        inv.reference = trim(invocation.substr(a + 1, b - a - 1));
        size_t bar = inv.reference.find('|');
        bool prefix = bar != std::string::npos && bar <= 8;
        for (size_t k = 0; prefix && k < bar; ++k)
            if (!std::isdigit(static_cast<unsigned char>(inv.reference[k])) && inv.reference[k] != ' ') prefix = false;
        inv.name = prefix ? trim(inv.reference.substr(bar + 1)) : inv.reference;
        const size_t body_open = invocation.find('{', b);
        const size_t body_close = invocation.rfind('}');
        if (body_open != std::string::npos && body_close != std::string::npos && body_close > body_open)
            inv.inline_body = trim(invocation.substr(body_open + 1, body_close - body_open - 1));
        op.invocations.push_back(inv);
    }
    if (op.invocations.empty()) {
        error = "EMPTY-PARALLEL-RETURN";
        return false;
    }
    return true;
}

static bool parse_operation_text(const std::string& text, Operation& op, std::string& error) {
    if (starts_with_word(text, "return")) {
        std::string rest = trim(text.substr(6));
        if (!rest.empty() && rest[0] == '{') {
            op.kind = OPERATION_PARALLEL_RETURN;
            return parse_parallel_return(text, op, error);
        }
        op.kind = OPERATION_RETURN;
        if (rest.empty() || rest == ";") {
            error = "MISSING EXPRESSION AFTER 'return'";
            return false;
        }
        return parse_expression_text(rest, op.expr, error);
    }
    size_t n = 0;
    while (n < text.size() && is_ident_char(text[n])) ++n;
    if (n > 0 && is_ident_start(text[0])) {
        size_t k = n;
        while (k < text.size() && text[k] == ' ') ++k;
        if (k < text.size() && text[k] == '=' && (k + 1 >= text.size() || text[k + 1] != '=')) {
            op.kind = OPERATION_ASSIGN;
            op.target = text.substr(0, n);
            if (find_primitive(op.target) || op.target == "func" || op.target == "return") {
                error = "RESERVED-NAME : '" + op.target + "' CANNOT BE ASSIGNED";
                return false;
            }
            return parse_expression_text(text.substr(k + 1), op.expr, error);
        }
    }
    op.kind = OPERATION_EXPRESSION;
    return parse_expression_text(text, op.expr, error);
}

// ---------------------------------------------------------------- parameters

static bool parse_int(const std::string& text, int64_t lo, int64_t hi, double& out) {
    std::string t = text;
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    int64_t v = 0;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e || v < lo || v > hi) return false;
    out = static_cast<double>(v);
    return true;
}

// Converts one value text of a declaration; false when the type rejects it.
static bool convert_value(int type, const std::string& raw, double& number, std::string& text) {
    const std::string v = trim(raw);
    switch (type) {
        case 0:
            return parse_int(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), number);
        case 2:
            return parse_int(v, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), number);
        case 1:
            return parse_double(v, number);
        case 3: {
            std::string l;
            for (char c : v) l += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            // A whole number is a flag too: non-zero is true.
            if (l == "true") number = 1.0;
            else if (l == "false") number = 0.0;
            else if (parse_int(v, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), number))
                number = number != 0.0 ? 1.0 : 0.0;
            else return false;
            return true;
        }
        case 4:
            if (v.size() == 3 && v[0] == '\'' && v[2] == '\'') {
                text = v.substr(1, 1);
            } else if (v.size() == 4 && v[0] == '\'' && v[1] == '\\' && v[3] == '\'') {
                text = v.substr(2, 1);
            } else {
                return false;
            }
            number = static_cast<unsigned char>(text[0]);
            return true;
        case 5:
            if (v.size() < 2 || v.front() != '"' || v.back() != '"') return false;
            text = v.substr(1, v.size() - 2);
            return true;
    }
    return false;
}

static bool parse_parameter(const std::string& statement, ParameterDecl& p, std::string& error) {
    p.type = parameter_type_code(statement.substr(0, 3));
    size_t i = 4;
    size_t n = i;
    while (n < statement.size() && is_ident_char(statement[n])) ++n;
    p.name = statement.substr(i, n - i);
    std::string body = statement;
    if (!body.empty() && body.back() == ';') body.pop_back();
    size_t k = n;
    while (k < body.size() && body[k] == ' ') ++k;
    std::string value;
    std::vector<std::string> args;
    if (k < body.size() && body[k] == '=') {
        value = body.substr(k + 1);
    } else if (k < body.size() && body[k] == '(') {
        const size_t close = body.rfind(')');
        if (close == std::string::npos || close < k || !trim(body.substr(close + 1)).empty()) {
            error = "MALFORMED-ARGUMENT-LIST";
            return false;
        }
        args = split_top_level(body.substr(k + 1, close - k - 1));
        const size_t max_args = p.type <= 2 ? 6 : 3;
        if (args.size() > max_args) {
            error = "TOO-MANY-ARGUMENTS";
            return false;
        }
        value = args[0];
    } else {
        error = "EXPECTED '=' OR '(' AFTER THE NAME";
        return false;
    }
    if (!convert_value(p.type, value, p.number, p.text)) {
        error = "VALUE '" + report_safe(trim(value)) + "' DOES NOT FIT THE TYPE";
        return false;
    }
    if (p.type <= 2 && args.size() >= 3) {
        double lo = 0, hi = 0;
        std::string unused;
        if (!convert_value(p.type, args[1], lo, unused) || !convert_value(p.type, args[2], hi, unused)) {
            error = "BOUNDS DO NOT FIT THE TYPE";
            return false;
        }
        if (lo > hi) {
            error = "LOWER BOUND ABOVE UPPER BOUND";
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- program

ScriptProgram parse_script(const std::string& script, int header_lines) {
    ScriptProgram program;
    StatementSplit split = split_statements(script, header_lines);
    program.errors = split.errors;
    ScriptChecker checker{program, {}, {}, "", false};

    // Reserved tags would make the report ambiguous: such statements are
    // reported and left out of every section.
    for (auto& st : split.statements) {
        if (contains_report_tag(st.text)) {
            program.errors.push_back("RESERVED-TAG-IN-STATEMENT" + line_position(st.line) + ";");
            continue;
        }
        program.statements.push_back(st);
    }

    // Functions may be called from anywhere, so their names come first.
    for (const auto& st : program.statements) {
        if (st.kind != STATEMENT_FUNCTION) continue;
        size_t i = 5, n = 5;
        while (n < st.text.size() && is_ident_char(st.text[n])) ++n;
        const std::string name = st.text.substr(i, n - i);
        const size_t open = st.text.find('(');
        const size_t close = st.text.find(')');
        if (!name.empty() && open != std::string::npos && close != std::string::npos && close > open) {
            size_t params = 0;
            for (const std::string& a : split_top_level(st.text.substr(open + 1, close - open - 1)))
                if (!a.empty()) ++params;
            checker.function_arity.emplace(name, params);
        }
    }

    std::set<std::string> parameter_names;
    for (size_t s = 0; s < program.statements.size(); ++s) {
        const ScriptStatement& st = program.statements[s];
        checker.where = line_position(st.line);
        checker.difference_noted = false;
        if (st.broken) continue;  // already reported; its parts would only repeat it
        switch (st.kind) {
            case STATEMENT_DIRECTIVE: {
                std::string upper;
                for (char c : st.text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                if (upper.find("#PARALLEL;") != std::string::npos) program.parallel = true;
                if (upper.compare(0, 14, "#EXECUTE_MODE:") == 0) {
                    std::string kw = trim(st.text.substr(14));
                    if (!kw.empty() && kw.back() == ';') kw.pop_back();
                    kw = trim(kw);
                    int mode = -1;
                    for (int m = 0; m < 3; ++m)
                        if (kw == kExecuteModeKeywords[m]) mode = m;
                    if (mode < 0)
                        checker.warning("UNKNOWN-EXECUTE-MODE : '" + report_safe(kw) + "', PURE UNION USED");
                    program.execute_mode = mode < 0 ? 0 : mode;
                }
                break;
            }
            case STATEMENT_PARAMETER: {
                ParameterDecl p;
                std::string error;
                if (!parse_parameter(st.text, p, error)) {
                    checker.error("INVALID-PARAMETER-DEFINITION : " + error);
                    break;
                }
                if (!parameter_names.insert(p.name).second) {
                    checker.error("DUPLICATE-PARAMETER : '" + p.name + "'");
                    break;
                }
                p.statement = static_cast<int>(s);
                checker.scope[p.name] = p.type >= 4 ? VALUE_TEXT : VALUE_NUMBER;
                program.parameters.push_back(p);
                break;
            }
            case STATEMENT_FUNCTION: {
                FunctionDef f;
                f.statement = static_cast<int>(s);
                const std::string& t = st.text;
                size_t n = 5;
                while (n < t.size() && is_ident_char(t[n])) ++n;
                f.name = t.substr(5, n - 5);
                const size_t open = t.find('(');
                const size_t close = t.find(')');
                if (f.name.empty() || !is_ident_start(f.name[0]) || open == std::string::npos ||
                    close == std::string::npos || close < open || trim(t.substr(n, open - n)) != "") {
                    checker.error("MALFORMED-FUNCTION : EXPECTED 'func name(a, b) = expression;'");
                    break;
                }
                bool ok = true;
                for (const std::string& a : split_top_level(t.substr(open + 1, close - open - 1))) {
                    if (a.empty()) continue;
                    bool ident = is_ident_start(a[0]);
                    for (char c : a) ident = ident && is_ident_char(c);
                    if (!ident) ok = false;
                    f.params.push_back(a);
                }
                if (!ok) {
                    checker.error("MALFORMED-FUNCTION : PARAMETER NAMES MUST BE IDENTIFIERS");
                    break;
                }
                const std::string rest = trim(t.substr(close + 1));
                std::vector<std::string> body_texts;
                if (!rest.empty() && rest[0] == '=') {
                    body_texts.push_back("return " + trim(rest.substr(1)));
                } else if (!rest.empty() && rest[0] == '{' && rest.size() >= 3 &&
                           rest.compare(rest.size() - 2, 2, "};") == 0) {
                    StatementSplit inner = split_statements(rest.substr(1, rest.size() - 3));
                    for (const auto& e : inner.errors) checker.error("IN FUNCTION '" + f.name + "' : " + e);
                    for (const auto& is : inner.statements) body_texts.push_back(is.text);
                } else {
                    checker.error("MALFORMED-FUNCTION : EXPECTED '= expression;' OR '{ ... };'");
                    break;
                }
                auto saved = checker.scope;
                for (const auto& a : f.params) checker.scope[a] = VALUE_UNKNOWN;
                for (const std::string& bt : body_texts) {
                    Operation op;
                    std::string error;
                    if (!parse_operation_text(bt, op, error)) {
                        checker.error("SYNTAX-ERROR IN FUNCTION '" + f.name + "' : " + error);
                        ok = false;
                        continue;
                    }
                    if (op.kind == OPERATION_PARALLEL_RETURN) {
                        checker.error("SYNTAX-ERROR IN FUNCTION '" + f.name + "' : PARALLEL RETURN");
                        ok = false;
                        continue;
                    }
                    ValueType v = checker.check(op.expr, op.expr.root);
                    if (op.kind == OPERATION_ASSIGN) checker.scope[op.target] = v;
                    if (op.kind == OPERATION_EXPRESSION) op.target = chain_variable(op.expr, checker.scope);
                    f.body.push_back(std::move(op));
                }
                checker.scope = saved;
                if (ok) program.functions.push_back(std::move(f));
                break;
            }
            case STATEMENT_OPERATION: {
                Operation op;
                op.statement = static_cast<int>(s);
                std::string error;
                if (!parse_operation_text(st.text, op, error)) {
                    checker.error("SYNTAX-ERROR : " + error);
                    break;
                }
                if (op.kind != OPERATION_PARALLEL_RETURN) {
                    ValueType v = checker.check(op.expr, op.expr.root);
                    if (op.kind == OPERATION_ASSIGN) checker.scope[op.target] = v;
                    if (op.kind == OPERATION_EXPRESSION) op.target = chain_variable(op.expr, checker.scope);
                }
                program.operations.push_back(std::move(op));
                break;
            }
        }
    }
    for (const auto& op : program.operations) {
        if (op.kind == OPERATION_PARALLEL_RETURN && !program.parallel) {
            program.errors.push_back("PARALLEL-RETURN-WITHOUT-#PARALLEL;");
            break;
        }
    }
    return program;
}
