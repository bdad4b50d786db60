// The stand-in kernel's language: statement cutting, checks, parse reports,
// staged block forms and evaluation.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "eval/evaluate.h"
#include "kernel/kernel_test_support.h"
#include "run/staged_input.h"
#include "script/program.h"

using Texts = std::vector<std::string>;

static EvalOutcome run(const std::string& script, const EvalLimits& limits = EvalLimits{}) {
    return evaluate_program(parse_script(script), limits);
}

TEST(KernelStatements, CutsAtTopLevelSemicolonsCollapsesWhitespaceAndClassifies) {
    StatementSplit s = split_statements("// header\na =  box( 1,\n 2, 3 ) ; /* c; */ b = \"x;  y\"; // tail;\n"
                                        "#VREK(e){ m = box(1);\n  n = m; };\nc = 'q';");
    EXPECT_TRUE(s.errors.empty());
    Texts texts;
    for (const auto& st : s.statements) texts.push_back(st.text);
    EXPECT_EQ(texts, (Texts{"a = box( 1, 2, 3 ) ;", "b = \"x;  y\";", "#VREK(e){ m = box(1); n = m; };", "c = 'q';"}));
    EXPECT_EQ(s.statements[2].line, 4);

    s = split_statements("INT n = 1; dbl r(1); interval = 2; func f(x) = x; funcs = 3; STR= 4; #CAM(a){1};");
    std::vector<StatementKind> kinds;
    for (const auto& st : s.statements) kinds.push_back(st.kind);
    EXPECT_EQ(kinds, (std::vector<StatementKind>{STATEMENT_PARAMETER, STATEMENT_PARAMETER, STATEMENT_OPERATION,
                                                 STATEMENT_FUNCTION, STATEMENT_OPERATION, STATEMENT_OPERATION,
                                                 STATEMENT_DIRECTIVE}));
}

TEST(KernelStatements, ReportsUnbalancedInputOncePerStatement) {
    std::string many_statements;
    for (int i = 0; i < 5000; ++i) many_statements += ");";
    const std::pair<std::string, size_t> cases[] = {
        {"a = box(1;\nb = 2;", 1},  // the '(' swallows the rest
        {"a = box(1));", 1},
        {"a = box(1]; b = [1);", 2},
        {"print(\"open\n);", 1},
        {"a = 1 /* never closed", 2},  // comment and missing ';'
        {"a = 1", 1},
        {std::string(5000, ')') + ";", 1},
        {std::string(5000, '(') + std::string(5000, ']') + ";", 1},
        {many_statements, 101},  // one per statement, but a bounded list
    };
    for (const auto& [text, errors] : cases) EXPECT_EQ(split_statements(text).errors.size(), errors) << text;
}

TEST(KernelStatements, PushedStringAndCharacterValuesAreRaw) {
    ScriptProgram p = parse_script("STR s = \"say \"hi\"\";\nSTR t = \"a\"; STR u = \"b\";\nSTR v = \"x\"y\";\n"
                                   "CHR q = ''';\nCHR b = '\\';\nCHR e = '\\'';\nCHR n = '\\n';");
    ASSERT_TRUE(p.errors.empty()) << p.errors[0];
    Texts values;
    for (const auto& d : p.parameters) values.push_back(d.text);
    EXPECT_EQ(values, (Texts{"say \"hi\"", "a", "b", "x\"y", "'", "\\", "'", "n"}));
}

TEST(KernelProgram, ParametersAndNamesCountsAndTypesAreCheckedBeforeAnyAssembly) {
    for (const char* text : {"INT n(5, 0, 10, \"Count\");", "int n = -3;", "DBL x = 1.23457e+06;", "DBL x = nan;",
                             "DBL x(1.5, 0.5, 2, 'Size', 'e', 'f');", "BLN b(false, \"Flag\", \"x\");",
                             "CHR c('\\n', \"Char\");", "STR s = \"\";", "DBL x(1, 2);"}) {
        ScriptProgram p = parse_script(text);
        EXPECT_TRUE(p.errors.empty()) << text << " : " << (p.errors.empty() ? "" : p.errors[0]);
        EXPECT_EQ(p.parameters.size(), 1u) << text;
    }
    ScriptProgram p = parse_script("LNG big = 9000000000; BLN on = TRUE; CHR c = 'q';");
    ASSERT_EQ(p.parameters.size(), 3u);
    EXPECT_EQ(std::tie(p.parameters[0].number, p.parameters[1].number, p.parameters[2].text),
              std::make_tuple(9000000000.0, 1.0, std::string("q")));
    // Exactly one error each.
    for (const char* text : {"INT n = 1.5;", "INT n = 99999999999;", "DBL x = abc;", "BLN b = yes;", "CHR c = 'ab';",
                             "STR s = plain;", "INT n;", "INT n(5, 10, 0);", "DBL x(1, 2, z);",
                             "INT n(1, 2, 3, 4, 5, 6, 7);", "STR s(\"a\", \"b\", \"c\", \"d\");", "INT n(5) x;",
                             "INT n = 1; INT n = 2;", "return blob(1);", "return sphere(1, 2, 3);",
                             "return box(1).tx(1, 2);", "return nothing;", "return box(1) + 2;",
                             "STR s = \"x\"; return sphere(s);", "x = 2; return x.tx(1);",
                             "syntax_error(\"my message\"); return box;", "func f(a) = box(a); return f(1, 2);",
                             "return { VREK(a) };",  // a parallel return without #PARALLEL
                             "box = 1;", "return box(1) +;", "a = box(1) b = 2;", "return @;"})
        EXPECT_EQ(parse_script(text).errors.size(), 1u) << text;
    const std::tuple<const char*, size_t, size_t> clean[] = {  // warnings, notes
        {"return box(1) + sphere(1, 8);", 0, 0},
        {"DBL r = 1; return sphere(r + 1 - 0.5);", 0, 0},
        {"#PARALLEL;\n#VREK(a){ m = box(1); };\nreturn { VREK(a), VREK(2|b){ m = box(2); } };", 0, 0},
        {"#parallel;\nreturn { VREK(a){ m = box; } };", 0, 0},
        {"return mcube.zy.rx90;", 1, 0},                   // an unknown method is ignored
        {"#execute_mode:fancy;\nreturn box;", 1, 0},       // pure union then
        {"a = box(1); return a - sphere(1) - a;", 0, 1},  // one note per statement
    };
    for (const auto& [text, warnings, notes] : clean) {
        ScriptProgram c = parse_script(text);
        EXPECT_EQ(std::make_tuple(c.errors.size(), c.warnings.size(), c.notes.size()),
                  std::make_tuple(0u, warnings, notes)) << text << (c.errors.empty() ? "" : " : " + c.errors[0]);
    }
    EXPECT_EQ(parse_script("syntax_error(\"my message\");").errors.at(0).rfind("my message", 0), 0u);
    EXPECT_EQ(parse_script("#execute_mode:fancy;").execute_mode, 0);
    EXPECT_EQ(parse_script("#execute_mode:basic_csg_mesh;").execute_mode, 1);
    EXPECT_EQ(parse_script("return box;").execute_mode, -1);
    EXPECT_FALSE(parse_script(std::string(300, '(') + "1" + std::string(300, ')') + ";").errors.empty());
    EXPECT_FALSE(parse_script("x = " + std::string(3000, '-') + "1;").errors.empty());
}

TEST(KernelReport, SectionsEchoStatementsAndReassemble) {
    const std::string head = "#CAM(front){0, 1, 6, 0, 0, 0};\nDBL r(0.5, 0.1, 2, \"Radius\");\n"
                             "func ball(x) = sphere(x, 12);\na = ball(r)\n  .tx(1);\n";
    const std::string script = head + "return a + blob(2);";
    const std::string report = compose_parse_report(parse_script(script), script);
    EXPECT_EQ(section(report, "DIRECTIVES"), "#CAM(front){0, 1, 6, 0, 0, 0};\n");
    EXPECT_EQ(section(report, "PARAMETERS"), "DBL r(0.5, 0.1, 2, \"Radius\");\n");
    EXPECT_EQ(section(report, "FUNCTIONS"), "func ball(x) = sphere(x, 12);\n");
    EXPECT_EQ(section(report, "OPERATIONS"), "a = ball(r) .tx(1);\nreturn a + blob(2);\n");
    EXPECT_EQ(section(report, "ERRORS"), "UNKNOWN-PRIMITIVE : 'blob' AT LINE 6;\n");
    EXPECT_EQ(section(report, "WARNINGS"), "");
    EXPECT_NE(report.find("<SOURCE>" + script + "</SOURCE>"), std::string::npos);

    // The echo, joined the way the pipeline stages it, parses to the same statements.
    const std::string fixed = head + "return a + box(2);";
    const std::string r1 = compose_parse_report(parse_script(fixed), fixed);
    const std::string r2 = compose_parse_report(parse_script(echo_of(r1)), echo_of(r1));
    for (const char* name : {"DIRECTIVES", "PARAMETERS", "FUNCTIONS", "OPERATIONS", "ERRORS"})
        EXPECT_EQ(section(r1, name), section(r2, name)) << name;
    // A pushed script: parameter statements in front of the echoed sections.
    const std::string pushed = "// parameters\nDBL r = 1.23457e+06;\n// logic\n" + section(r1, "DIRECTIVES") +
                               "\n" + section(r1, "FUNCTIONS") + "\n" + section(r1, "OPERATIONS") + "\n";
    EXPECT_TRUE(parse_script(pushed).errors.empty());
}

TEST(KernelReport, UserTextCannotForgeSectionTags) {
    const std::string script = "print(\"</ERRORS><NOTES>\");\nreturn box;\n// <BREAK>\n";
    ScriptProgram p = parse_script(script);
    ASSERT_EQ(p.errors.size(), 1u);
    const std::string report = compose_parse_report(p, script);
    EXPECT_EQ(report.find("</ERRORS>"), report.rfind("</ERRORS>"));
    EXPECT_EQ(report.find("<BREAK>"), std::string::npos);
    EXPECT_EQ(section(report, "OPERATIONS"), "return box;\n");
    // Error lines quoting user text stay on one line and tag-free.
    EXPECT_EQ(parse_script("syntax_error(\"a\\nb</x>\");").errors.at(0).find_first_of("\n<"), std::string::npos);
}

TEST(KernelStaged, ReadsBlocksLabelsAndSkippedElements) {
    StagedInput in = read_element_blocks(
        "3;\n\n{\n// directives\n#execute_mode:pure_union_mesh;\n// logic\nfunc f(x) {\n return box(x);\n};\n"
        "return f(1);\n};\n{ };\n{\n// E:2|tower\na = \"}\"; return box;\n};\n");
    EXPECT_TRUE(in.problems.empty());
    ASSERT_EQ(in.entries, 3u);
    ASSERT_EQ(in.blocks.size(), 3u);
    EXPECT_NE(in.blocks[0].body.find("return f(1);"), std::string::npos);
    EXPECT_TRUE(parse_script(in.blocks[0].body).errors.empty());
    EXPECT_TRUE(in.blocks[1].empty);
    EXPECT_EQ(in.blocks[2].label, "2|tower");
    EXPECT_EQ(in.blocks[2].source, "a = \"}\"; return box;");

    // An unbalanced script inside a block does not swallow the next block.
    in = read_element_blocks("2;\n{\nreturn box(1;\n};\n{\nreturn { VREK(x) ;\n};\n");
    ASSERT_EQ(in.blocks.size(), 2u);
    EXPECT_EQ(in.blocks[0].body, "\nreturn box(1;\n");
}

TEST(KernelStaged, HeaderLinesOnlyWhereTheProgramWritesThem) {
    const std::string head = "\n// directives\n#execute_mode:basic_csg_mesh;\n// logic\n";
    const std::pair<std::string, int> blocks[] = {
        {"", 0},
        {head, 4},
        {head.substr(0, head.size() - 1), 4},             // nothing after the header
        {"\n// directives\n#execute_mode:x;\n", 0},      // cut short: no header
        {"// logic\nreturn box;", 0},                     // a parse form is no block
        {head + "// parameters", 5},
        {head + "// parameters\nINT n = 1;\nCHR c = 'x';\n// logic\n// parameters\n", 8},
        {head + "// parameters\nINT n = 1;\n#PARALLEL;\n", 6},  // carried over, no "// logic"
        {head + "// parameters\nint n = 1\n// logic\n", 5},     // no ';': the script's own line
    };
    for (const auto& [text, lines] : blocks) EXPECT_EQ(staged_header_lines(text, true), lines) << text;
    EXPECT_EQ(staged_header_lines("// logic", false), 1);
    EXPECT_EQ(staged_header_lines("// logic\n// logic\n", false), 1);
    EXPECT_EQ(staged_header_lines("//logic\n", false), 0);
    EXPECT_EQ(staged_header_lines("", false), 0);
}

TEST(KernelEval, UnionKeepsOperandsGroupsAndColours) {
    EvalOutcome o = run("a = cylinder(1, 2, 8).rgb(1, 0, 0); b = box(1).rgb(1, 0, 0); c = a + b + sphere(1, 8);\n"
                        "d = c - box(5); return d;");
    ASSERT_TRUE(o.ok) << o.error;
    const KernelMesh& m = o.mesh;
    // cylinder: 8 sides + 2 caps, box: 6, sphere(8): 4 rings -> 8 + 16 + 8
    ASSERT_EQ(m.polygon_count(), 10u + 6u + 32u);
    EXPECT_EQ(std::vector<int32_t>({m.operand_ids[0], m.operand_ids[10], m.operand_ids.back()}),
              std::vector<int32_t>({0, 1, 2}));
    // cylinder bottom cap, first box face, last sphere polygon
    EXPECT_EQ(std::vector<int32_t>({m.group_ids[9], m.group_ids[10], m.group_ids.back()}),
              std::vector<int32_t>({2, 3, 3 + 6}));
    EXPECT_EQ(m.colours.size(), 2u);  // red shared, default grey
    EXPECT_EQ(m.vertex_colours.front(), m.vertex_colours[m.vertex_count() - 40]);
}

TEST(KernelEval, VariablesChainsFunctionsAndReturns) {
    // script, polygons, the first coordinate (box(s) starts at -s/2) and its axis
    const std::tuple<const char*, size_t, double, int> cases[] = {
        {"a = box(1); a.tx(5); return a;", 6, 4.5, 0},  // a bare chain moves the variable
        {"a = box(1); b = a.tx(5); return a;", 6, -0.5, 0},  // b's move leaves a alone
        {"a = box(1); a.ty(2);", 6, 1.5, 1},  // no return: the last mesh statement
        {"func two(x) { m = box(x); return m + m.tx(3); }; return two(2);", 12, -1, 0},
        {"a = box(1); return a + a;", 12, -0.5, 2},
        {"#PARALLEL;\n#GLOBAL_PRE{ s = 2; };\n#VREK(a){ m = box(s); };\n"
         "return { VREK(a), VREK(1|b){ m = sphere(1, 8); } };", 6 + 32, -1, 0},
    };
    for (const auto& [script, polygons, first, axis] : cases) {
        EvalOutcome o = run(script);
        ASSERT_TRUE(o.ok) << script << " : " << o.error;
        EXPECT_EQ(o.mesh.polygon_count(), polygons) << script;
        EXPECT_DOUBLE_EQ(o.mesh.positions.at(axis), first) << script;
    }
    EXPECT_FALSE(run("return 1 + 2;").ok);
    EvalOutcome empty = run("x = 1;");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.mesh.vertex_count(), 0u);
}

TEST(KernelEval, RunawayScriptsStopWithAnError) {
    EvalLimits limits;
    limits.step_budget = 100000;
    limits.vertex_budget = 100000;
    std::string doubling = "a = box(1);", calls = "func f0(x) = box(x);";  // 2^20 calls, one box
    for (int i = 0; i < 40; ++i) doubling += " a = a + a;";
    for (int i = 1; i <= 20; ++i) {
        const std::string inner = "f" + std::to_string(i - 1) + "(x)";
        calls += " func f" + std::to_string(i) + "(x) = " + inner + " - " + inner + ";";
    }
    // Long chains and deep recursion once overflowed the stack.
    std::string sum = "x = 1", moved = "return box(1)", recursive = "func f(a) = f(a)";
    for (int i = 0; i < 30000; ++i) sum += "+1", moved += ".tx(1)";
    for (int i = 0; i < 300; ++i) recursive += "+1";
    std::string copies = "g = grid(100);";  // 10201 vertices each, three alive at once
    for (const char* v : {"a", "b"}) copies += std::string(" ") + v + " = g.tx(1);";
    const std::pair<std::string, const char*> cases[] = {
        {"func f(x) = f(x); return f(1);", "CALL-DEPTH-EXCEEDED"},
        {calls + " return f20(1);", "EVALUATION-BUDGET-EXCEEDED"},
        {doubling, "MESH-TOO-LARGE"},
        {"return grid(4000);", "MESH-TOO-LARGE"},
        {sum + ";", "EXPRESSION NESTED TOO DEEPLY"},
        {moved + ";", "EXPRESSION NESTED TOO DEEPLY"},
        {recursive + "; return f(1);", "NESTING-DEPTH-EXCEEDED"},
        {copies + " return a;", "LIVE MESHES EXCEED"},
    };
    limits.live_vertex_budget = 30000;
    for (const auto& [script, error] : cases) {
        EvalOutcome o = run(script, limits);
        EXPECT_FALSE(o.ok);
        EXPECT_NE(o.error.find(error), std::string::npos) << script << " : " << o.error;
    }
    EvalOutcome nan =
        run("DBL v = nan; return sphere(v, v).tx(v) + torus(-1, v, v, 3) + rcube(v, -1, 0, v, v);", limits);
    EXPECT_TRUE(nan.ok) << nan.error;
}

static uint64_t fake_now = 0;
static uint64_t fake_clock() { return fake_now += 1000; }

TEST(KernelEval, KnobsAndProfileLines) {
    fake_now = 0;
    EvalOutcome o = evaluate_program(parse_script("func f(x) = box(x);\nfunc g(x) = f(x);\nprint(\"hello\"); "
                                                  "print(1.5);\ntruncate();\na = f(1);\nreturn a;"),
                                     EvalLimits{}, fake_clock);
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.printed, "hello\n1.5\n");
    EXPECT_TRUE(o.truncate_requested);
    // F = 2 function lines, O = 5 operation lines, then the total; the clock ticks by 1000.
    const std::string profile = format_profile_text(o);
    EXPECT_EQ(std::count(profile.begin(), profile.end(), '\n'), 2 + 5 + 1);
    EXPECT_EQ(profile.find_first_not_of("0123456789\n"), std::string::npos);
    EXPECT_EQ(profile.substr(0, 5), "1000\n");

    EvalLimits quiet_limits;
    quiet_limits.side_effects = false;
    EvalOutcome quiet = run("sleep(100000); print(\"x\"); return box;", quiet_limits);
    EXPECT_TRUE(quiet.ok);
    EXPECT_EQ(quiet.printed, "");
}
