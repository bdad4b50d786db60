#include "eval/evaluate.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <thread>

uint64_t steady_now_ns() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

std::string format_profile_text(const EvalOutcome& o) {
    std::string out;
    auto line = [&](uint64_t v) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, r.ptr);
        out += '\n';
    };
    for (uint64_t v : o.function_ns) line(v);
    for (uint64_t v : o.operation_ns) line(v);
    line(o.total_ns);
    return out;
}

// A mesh value counted in the evaluation's live vertex total while it exists.
struct LiveMesh {
    KernelMesh mesh;
    size_t counted = 0;
    size_t* live = nullptr;
    LiveMesh(KernelMesh&& m, size_t* total) : mesh(std::move(m)), live(total) { recount(); }
    LiveMesh(const LiveMesh& other) : LiveMesh(KernelMesh(other.mesh), other.live) {}
    LiveMesh& operator=(const LiveMesh&) = delete;
    ~LiveMesh() { *live -= counted; }
    void recount() {
        *live = *live - counted + mesh.vertex_count();
        counted = mesh.vertex_count();
    }
};

struct EvalValue {
    ValueType type = VALUE_UNKNOWN;  // UNKNOWN here means "no value"
    double number = 0.0;
    std::string text;
    std::shared_ptr<LiveMesh> mesh;
};

// What nested evaluations (sub-elements of a parallel return) share with
// the one that started them.
struct EvalShared {
    size_t live_vertices = 0;
    int nesting = 0;
};

static EvalOutcome evaluate_shared(const ScriptProgram& program, const EvalLimits& limits, NanoClock clock,
                                   EvalShared& shared);

static std::string number_text(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

struct ScriptEvaluator {
    const ScriptProgram& program;
    const EvalLimits& limits;
    EvalOutcome& out;
    EvalShared& shared;
    uint64_t steps = 0;
    int depth = 0;
    int parallel_depth = 0;
    std::map<std::string, const FunctionDef*> functions;

    bool failed() const { return !out.error.empty() || out.fail_requested; }
    void error(const std::string& m) {
        if (out.error.empty()) out.error = m;
    }

    // False (and the error set) when `extra` more live vertices would pass
    // the budget: the per-value budget alone lets copies add up unbounded.
    bool admit(size_t extra) {
        if (shared.live_vertices + extra <= limits.live_vertex_budget) return true;
        error("MESH-TOO-LARGE : LIVE MESHES EXCEED THE VERTEX BUDGET");
        return false;
    }

    // Meshes are shared between values and copied only when a shared one is
    // about to change. Null when the copy would pass the budget.
    KernelMesh* writable(EvalValue& v) {
        if (v.mesh.use_count() > 1) {
            if (!admit(v.mesh->counted)) return nullptr;
            v.mesh = std::make_shared<LiveMesh>(*v.mesh);
        }
        return &v.mesh->mesh;
    }

    EvalValue mesh_value(KernelMesh&& m) {
        if (!admit(m.vertex_count())) return {};
        EvalValue v;
        v.type = VALUE_MESH;
        v.mesh = std::make_shared<LiveMesh>(std::move(m), &shared.live_vertices);
        return v;
    }

    bool numbers(const ExprTree& t, const std::vector<int>& args, std::map<std::string, EvalValue>& scope,
                 std::vector<double>& out_numbers, const std::string& what) {
        for (int a : args) {
            EvalValue v = eval(t, a, scope);
            if (failed()) return false;
            if (v.type != VALUE_NUMBER) {
                error("TYPE-MISMATCH : '" + what + "' EXPECTS NUMBERS");
                return false;
            }
            out_numbers.push_back(v.number);
        }
        return true;
    }

    EvalValue call_function(const FunctionDef& f, const ExprTree& t, const std::vector<int>& args,
                        std::map<std::string, EvalValue>& scope) {
        if (args.size() != f.params.size()) {
            error("WRONG-ARGUMENT-COUNT : FUNCTION '" + f.name + "'");
            return {};
        }
        if (depth >= limits.max_call_depth) {
            error("CALL-DEPTH-EXCEEDED : '" + f.name + "'");
            return {};
        }
        std::map<std::string, EvalValue> local;
        for (const auto& p : program.parameters) local[p.name] = scope.count(p.name) ? scope[p.name] : EvalValue{};
        for (size_t i = 0; i < args.size(); ++i) {
            local[f.params[i]] = eval(t, args[i], scope);
            if (failed()) return {};
        }
        ++depth;
        EvalValue result = run_operations(f.body, local, nullptr);
        --depth;
        return result;
    }

    // Counts the expression levels open on the stack, across function calls.
    struct Nesting {
        int& level;
        explicit Nesting(int& l) : level(++l) {}
        ~Nesting() { --level; }
    };

    EvalValue eval(const ExprTree& t, int index, std::map<std::string, EvalValue>& scope) {
        if (failed()) return {};
        Nesting nesting(shared.nesting);
        if (shared.nesting > limits.max_nesting) {
            error("NESTING-DEPTH-EXCEEDED");
            return {};
        }
        if (++steps > limits.step_budget) {
            error("EVALUATION-BUDGET-EXCEEDED");
            return {};
        }
        if (index < 0 || index >= static_cast<int>(t.nodes.size())) {
            error("MALFORMED-EXPRESSION");
            return {};
        }
        const ExprNode& n = t.nodes[index];
        switch (n.kind) {
            case EXPR_NUMBER: {
                EvalValue v;
                v.type = VALUE_NUMBER;
                v.number = n.number;
                return v;
            }
            case EXPR_STRING: {
                EvalValue v;
                v.type = VALUE_TEXT;
                v.text = n.text;
                return v;
            }
            case EXPR_NAME: {
                auto it = scope.find(n.text);
                if (it != scope.end() && it->second.type != VALUE_UNKNOWN) return it->second;
                if (find_primitive(n.text)) return primitive(n.text, {});
                error("UNDEFINED-NAME : '" + n.text + "'");
                return {};
            }
            case EXPR_CALL: {
                if (find_primitive(n.text)) {
                    std::vector<double> a;
                    if (!numbers(t, n.args, scope, a, n.text)) return {};
                    return primitive(n.text, a);
                }
                auto f = functions.find(n.text);
                if (f != functions.end()) return call_function(*f->second, t, n.args, scope);
                return knob(n, t, scope);
            }
            case EXPR_METHOD: {
                EvalValue base = eval(t, n.base, scope);
                if (failed()) return {};
                if (base.type != VALUE_MESH) {
                    error("TYPE-MISMATCH : METHOD '" + n.text + "' NEEDS A MESH");
                    return {};
                }
                std::vector<double> a;
                if (!numbers(t, n.args, scope, a, n.text)) return {};
                const CallSignature* sig = find_method(n.text);
                if (!sig) return base;  // unknown methods are ignored (reported at parse)
                if (!signature_allows(*sig, static_cast<int>(a.size()))) {
                    error("WRONG-ARGUMENT-COUNT : '" + n.text + "'");
                    return {};
                }
                KernelMesh* mesh = writable(base);
                if (!mesh) return {};
                apply_mesh_method(*mesh, n.text, a);
                return base;
            }
            case EXPR_ADD:
            case EXPR_SUB: {
                EvalValue a = eval(t, n.base, scope);
                EvalValue b = eval(t, n.right, scope);
                if (failed()) return {};
                if (a.type == VALUE_NUMBER && b.type == VALUE_NUMBER) {
                    a.number = n.kind == EXPR_ADD ? a.number + b.number : a.number - b.number;
                    return a;
                }
                if (a.type == VALUE_MESH && b.type == VALUE_MESH) {
                    if (n.kind == EXPR_SUB) return a;  // differences are not evaluated: the left operand stays
                    if (a.mesh->counted + b.mesh->counted > limits.vertex_budget) {
                        error("MESH-TOO-LARGE : UNION EXCEEDS THE VERTEX BUDGET");
                        return {};
                    }
                    KernelMesh* sum = writable(a);
                    if (!sum || !admit(b.mesh->counted)) return {};
                    mesh_union(*sum, b.mesh->mesh);
                    a.mesh->recount();
                    return a;
                }
                error("TYPE-MISMATCH : OPERANDS OF '" + std::string(n.kind == EXPR_ADD ? "+" : "-") + "'");
                return {};
            }
            case EXPR_NEG: {
                EvalValue a = eval(t, n.base, scope);
                if (failed()) return {};
                if (a.type != VALUE_NUMBER) {
                    error("TYPE-MISMATCH : NEGATED NON-NUMBER");
                    return {};
                }
                a.number = -a.number;
                return a;
            }
        }
        return {};
    }

    EvalValue primitive(const std::string& name, const std::vector<double>& a) {
        KernelMesh m;
        std::string err;
        if (!make_primitive(name, a, limits.vertex_budget, m, &err)) {
            error(err);
            return {};
        }
        return mesh_value(std::move(m));
    }

    EvalValue knob(const ExprNode& n, const ExprTree& t, std::map<std::string, EvalValue>& scope) {
        std::vector<EvalValue> args;
        for (int a : n.args) {
            args.push_back(eval(t, a, scope));
            if (failed()) return {};
        }
        if (n.text == "fail") {
            out.fail_requested = true;
        } else if (n.text == "truncate") {
            out.truncate_requested = true;
        } else if (n.text == "sleep" && args.size() == 1 && args[0].type == VALUE_NUMBER) {
            const double ms = args[0].number;
            if (limits.side_effects && std::isfinite(ms) && ms > 0)
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(static_cast<int>(std::min<double>(ms, limits.max_sleep_ms))));
        } else if (n.text == "print" && args.size() == 1) {
            const EvalValue& v = args[0];
            std::string text = v.type == VALUE_NUMBER ? number_text(v.number)
                               : v.type == VALUE_TEXT ? v.text
                               : v.type == VALUE_MESH ? "mesh(" + std::to_string(v.mesh->counted) + " vertices)"
                                                      : "null";
            if (limits.side_effects) out.printed += text + "\n";
        } else if (n.text == "syntax_error") {
            error("SYNTAX-ERROR : " + (args.size() == 1 && args[0].type == VALUE_TEXT ? args[0].text : ""));
        } else {
            error("UNKNOWN-PRIMITIVE : '" + n.text + "'");
        }
        return {};
    }

    // Runs operations in order; returns the returned value or, without a
    // return, the last mesh a statement produced. Timings go to `times`.
    EvalValue run_operations(const std::vector<Operation>& ops, std::map<std::string, EvalValue>& scope,
                         std::vector<uint64_t>* times, NanoClock clock = nullptr) {
        EvalValue last_mesh;
        for (size_t i = 0; i < ops.size(); ++i) {
            const uint64_t t0 = clock ? clock() : 0;
            const Operation& op = ops[i];
            EvalValue v;
            if (op.kind == OPERATION_PARALLEL_RETURN) {
                v = parallel_return(op);
            } else {
                v = eval(op.expr, op.expr.root, scope);
            }
            if (times && clock) (*times)[i] = clock() - t0;
            if (failed()) return {};
            if (op.kind == OPERATION_ASSIGN) scope[op.target] = v;
            if (op.kind == OPERATION_EXPRESSION && !op.target.empty() && v.type == VALUE_MESH) scope[op.target] = v;
            if (op.kind == OPERATION_RETURN || op.kind == OPERATION_PARALLEL_RETURN) {
                if (v.type != VALUE_MESH) {
                    error("RETURN-NOT-A-MESH");
                    return {};
                }
                return v;
            }
            if (v.type == VALUE_MESH) last_mesh = v;
        }
        return last_mesh;
    }

    EvalValue parallel_return(const Operation& op);
};

static std::string normalised_keyword(const std::string& line) {
    std::string out;
    for (char c : line)
        if (c != '#' && c != '_') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Body of "#KEY(...){ body };" or "#KEY{ body };".
static std::string block_body(const std::string& line) {
    const size_t open = line.find('{');
    if (open == std::string::npos || line.size() < open + 3) return "";
    std::string body = line.substr(open + 1, line.size() - 2 - (open + 1));
    size_t a = 0, b = body.size();
    while (a < b && body[a] == ' ') ++a;
    while (b > a && body[b - 1] == ' ') --b;
    return body.substr(a, b - a);
}

EvalValue ScriptEvaluator::parallel_return(const Operation& op) {
    if (parallel_depth > 0) {
        error("NESTED-PARALLEL-RETURN");
        return {};
    }
    std::string prefix, suffix;
    std::vector<std::pair<std::string, std::string>> definitions;
    for (const auto& st : program.statements) {
        if (st.kind != STATEMENT_DIRECTIVE) continue;
        const std::string key = normalised_keyword(st.text);
        auto starts = [&](const char* k) { return key.rfind(k, 0) == 0 && key.size() > std::string(k).size(); };
        if (starts("GLOBALPOST") || starts("GLOBALSUFFIX")) {
            if (suffix.empty()) suffix = block_body(st.text);
        } else if (starts("GLOBALPRE")) {
            if (prefix.empty()) prefix = block_body(st.text);
        } else if (starts("VREK")) {
            const size_t a = st.text.find('('), b = st.text.find(')');
            if (a != std::string::npos && b != std::string::npos && a < b) {
                std::string name = st.text.substr(a + 1, b - a - 1);
                while (!name.empty() && name.back() == ' ') name.pop_back();
                while (!name.empty() && name.front() == ' ') name.erase(0, 1);
                definitions.emplace_back(name, block_body(st.text));
            }
        }
    }
    EvalValue result;
    ++parallel_depth;
    for (const auto& inv : op.invocations) {
        std::string body;
        for (const auto& d : definitions)
            if (d.first == inv.name) {
                body = d.second;
                break;
            }
        if (body.empty()) body = inv.inline_body;
        if (body.empty()) {
            error("UNRESOLVED-SUB-ELEMENT : '" + inv.name + "'");
            break;
        }
        std::string source = body;
        if (!prefix.empty()) source = prefix + "\n" + source;
        if (!suffix.empty()) source = source + "\n" + suffix;
        ScriptProgram sub = parse_script(source);
        if (!sub.errors.empty()) {
            error("SUB-ELEMENT '" + inv.name + "' : " + sub.errors[0]);
            break;
        }
        EvalLimits sub_limits = limits;
        sub_limits.step_budget = limits.step_budget > steps ? limits.step_budget - steps : 0;
        EvalOutcome sub_out = evaluate_shared(sub, sub_limits, nullptr, shared);
        out.printed += sub_out.printed;
        out.fail_requested = out.fail_requested || sub_out.fail_requested;
        out.truncate_requested = out.truncate_requested || sub_out.truncate_requested;
        if (!sub_out.ok) {
            error("SUB-ELEMENT '" + inv.name + "' : " + sub_out.error);
            break;
        }
        if (!result.mesh) {
            result = mesh_value(std::move(sub_out.mesh));
        } else if (result.mesh->counted + sub_out.mesh.vertex_count() > limits.vertex_budget) {
            error("MESH-TOO-LARGE : UNION EXCEEDS THE VERTEX BUDGET");
            break;
        } else if (admit(sub_out.mesh.vertex_count())) {
            mesh_union(result.mesh->mesh, sub_out.mesh);
            result.mesh->recount();
        }
        if (failed()) break;
    }
    --parallel_depth;
    return failed() ? EvalValue{} : result;
}

static uint64_t zero_clock() { return 0; }

EvalOutcome evaluate_program(const ScriptProgram& program, const EvalLimits& limits, NanoClock clock) {
    EvalShared shared;
    return evaluate_shared(program, limits, clock, shared);
}

static EvalOutcome evaluate_shared(const ScriptProgram& program, const EvalLimits& limits, NanoClock clock,
                                   EvalShared& shared) {
    EvalOutcome out;
    if (!clock) clock = zero_clock;
    const uint64_t start = clock();
    if (!program.errors.empty()) {
        out.error = program.errors[0];
        return out;
    }
    ScriptEvaluator ev{program, limits, out, shared, 0, 0, 0, {}};
    std::map<std::string, EvalValue> scope;
    for (const auto& p : program.parameters) {
        EvalValue v;
        v.type = p.type >= 4 ? VALUE_TEXT : VALUE_NUMBER;
        v.number = p.number;
        v.text = p.text;
        scope[p.name] = v;
    }
    size_t function_statements = 0;
    for (const auto& st : program.statements)
        if (st.kind == STATEMENT_FUNCTION) ++function_statements;
    out.function_ns.assign(function_statements, 0);
    out.operation_ns.assign(program.operations.size(), 0);
    for (size_t i = 0; i < program.functions.size(); ++i) {
        const uint64_t t0 = clock();
        ev.functions[program.functions[i].name] = &program.functions[i];
        if (i < out.function_ns.size()) out.function_ns[i] = clock() - t0;
    }
    EvalValue result = ev.run_operations(program.operations, scope, &out.operation_ns, clock);
    out.total_ns = clock() - start;
    if (ev.failed()) return out;
    if (result.mesh) out.mesh = std::move(result.mesh->mesh);
    out.ok = true;
    return out;
}
