// The stand-in kernel's language: statement cutting, checks, parse reports,
// staged block forms and evaluation.
#include <gtest/gtest.h>

#include <cmath>

#include "eval/evaluate.h"
#include "run/staged_input.h"
#include "script/program.h"

static std::vector<std::string> texts(const StatementSplit& s) {
    std::vector<std::string> out;
    for (const auto& st : s.statements) out.push_back(st.text);
    return out;
}

static std::string section(const std::string& report, const std::string& name) {
    const std::string open = "<" + name + ">\n", close = "</" + name + ">";
    const size_t a = report.find(open), b = report.find(close);
    if (a == std::string::npos || b == std::string::npos || b < a + open.size()) return "<missing>";
    return report.substr(a + open.size(), b - a - open.size());
}

TEST(KernelStatements, CutsAtTopLevelSemicolonsAndCollapsesWhitespace) {
    StatementSplit s = split_statements(
        "// header\na =  box( 1,\n 2, 3 ) ; /* c; */ b = \"x;  y\"; // tail;\n"
        "#VREK(e){ m = box(1);\n  n = m; };\nc = 'q';");
    EXPECT_TRUE(s.errors.empty());
    EXPECT_EQ(texts(s), (std::vector<std::string>{"a = box( 1, 2, 3 ) ;", "b = \"x;  y\";",
                                                  "#VREK(e){ m = box(1); n = m; };", "c = 'q';"}));
    EXPECT_EQ(s.statements[2].line, 4);
    EXPECT_EQ(s.statements[2].kind, STATEMENT_DIRECTIVE);
}

TEST(KernelStatements, ClassifiesByLeadingWord) {
    StatementSplit s = split_statements(
        "INT n = 1; dbl r(1); interval = 2; func f(x) = x; funcs = 3; STR= 4; #CAM(a){1};");
    std::vector<StatementKind> kinds;
    for (const auto& st : s.statements) kinds.push_back(st.kind);
    EXPECT_EQ(kinds, (std::vector<StatementKind>{STATEMENT_PARAMETER, STATEMENT_PARAMETER, STATEMENT_OPERATION,
                                                 STATEMENT_FUNCTION, STATEMENT_OPERATION, STATEMENT_OPERATION,
                                                 STATEMENT_DIRECTIVE}));
}

TEST(KernelStatements, ReportsUnbalancedInputOncePerStatement) {
    auto errors_of = [](const std::string& text) { return split_statements(text).errors; };
    EXPECT_EQ(errors_of("a = box(1;\nb = 2;").size(), 1u);  // the '(' swallows the rest
    EXPECT_EQ(errors_of("a = box(1));").size(), 1u);
    EXPECT_EQ(errors_of("a = box(1]; b = [1);").size(), 2u);
    EXPECT_EQ(errors_of("print(\"open\n);").size(), 1u);
    EXPECT_EQ(errors_of("a = 1 /* never closed").size(), 2u);  // comment and missing ';'
    EXPECT_EQ(errors_of("a = 1").size(), 1u);
    // Garbage never produces more than a bounded list.
    EXPECT_LE(errors_of(std::string(5000, ')') + ";").size(), 101u);
    EXPECT_LE(errors_of(std::string(5000, '(') + std::string(5000, ']') + ";").size(), 101u);
}

TEST(KernelStatements, PushedStringValuesMayHoldQuotes) {
    StatementSplit s = split_statements("STR s = \"say \"hi\"\";\nSTR t = \"a\"; STR u = \"b\";\nSTR v = \"x\"y\";");
    EXPECT_TRUE(s.errors.empty());
    EXPECT_EQ(texts(s), (std::vector<std::string>{"STR s = \"say \"hi\"\";", "STR t = \"a\";", "STR u = \"b\";",
                                                  "STR v = \"x\"y\";"}));
    ScriptProgram p = parse_script("STR s = \"say \"hi\"\";\nSTR v = \"x\"y\";");
    ASSERT_EQ(p.parameters.size(), 2u);
    EXPECT_EQ(p.parameters[0].text, "say \"hi\"");
    EXPECT_EQ(p.parameters[1].text, "x\"y");
    // Pushed characters are raw too: a quote or a backslash between quotes.
    ScriptProgram c = parse_script("CHR q = ''';\nCHR b = '\\';\nCHR e = '\\'';\nCHR n = '\\n';");
    ASSERT_TRUE(c.errors.empty()) << c.errors[0];
    ASSERT_EQ(c.parameters.size(), 4u);
    EXPECT_EQ(c.parameters[0].text, "'");
    EXPECT_EQ(c.parameters[1].text, "\\");
    EXPECT_EQ(c.parameters[2].text, "'");
    EXPECT_EQ(c.parameters[3].text, "n");
}

TEST(KernelProgram, ParameterGrammarAcceptsTheDeclaredFormsOnly) {
    const char* good[] = {"INT n = 5;", "INT n(5, 0, 10, \"Count\");", "int n = -3;", "DBL x = 0.123457;",
                          "DBL x = 1.23457e+06;", "DBL x = nan;", "DBL x(1.5, 0.5, 2, 'Size', 'e', 'f');",
                          "LNG big = 9000000000;", "BLN b = true;", "BLN b(false, \"Flag\", \"x\");",
                          "CHR c = 'q';", "CHR c('\\n', \"Char\");", "STR s = \"\";", "DBL x(1, 2);"};
    for (const char* text : good) {
        ScriptProgram p = parse_script(text);
        EXPECT_TRUE(p.errors.empty()) << text << " : " << (p.errors.empty() ? "" : p.errors[0]);
        EXPECT_EQ(p.parameters.size(), 1u) << text;
    }
    const char* bad[] = {"INT n = 1.5;", "INT n = 99999999999;", "DBL x = abc;", "BLN b = yes;",
                         "CHR c = 'ab';", "STR s = plain;", "INT n;", "INT n(5, 10, 0);", "DBL x(1, 2, z);",
                         "INT n(1, 2, 3, 4, 5, 6, 7);", "STR s(\"a\", \"b\", \"c\", \"d\");", "INT n(5) x;",
                         "INT n = 1; INT n = 2;"};
    for (const char* text : bad) {
        ScriptProgram p = parse_script(text);
        EXPECT_EQ(p.errors.size(), 1u) << text;
    }
    ScriptProgram p = parse_script("LNG big = 9000000000; BLN on = TRUE; CHR c = 'q';");
    ASSERT_EQ(p.parameters.size(), 3u);
    EXPECT_EQ(p.parameters[0].number, 9000000000.0);
    EXPECT_EQ(p.parameters[1].number, 1.0);
    EXPECT_EQ(p.parameters[2].text, "q");
}

TEST(KernelProgram, ChecksNamesCountsAndTypesBeforeAnyAssembly) {
    struct Case {
        const char* script;
        size_t errors, warnings, notes;
    } cases[] = {
        {"return box(1) + sphere(1, 8);", 0, 0, 0},
        {"return mcube.zy.rx90;", 0, 1, 0},                       // unknown method ignored
        {"return blob(1);", 1, 0, 0},                             // unknown primitive
        {"return sphere(1, 2, 3);", 1, 0, 0},                     // wrong count
        {"return box(1).tx(1, 2);", 1, 0, 0},
        {"return nothing;", 1, 0, 0},                             // undefined name
        {"a = box(1); return a - sphere(1) - a;", 0, 0, 1},       // one note per statement
        {"DBL r = 1; return sphere(r + 1 - 0.5);", 0, 0, 0},
        {"return box(1) + 2;", 1, 0, 0},
        {"STR s = \"x\"; return sphere(s);", 1, 0, 0},
        {"x = 2; return x.tx(1);", 1, 0, 0},
        {"syntax_error(\"my message\"); return box;", 1, 0, 0},
        {"func f(a) = box(a); return f(1, 2);", 1, 0, 0},
        {"return { VREK(a) };", 1, 0, 0},                         // parallel return without #PARALLEL
        {"#PARALLEL;\n#VREK(a){ m = box(1); };\nreturn { VREK(a), VREK(2|b){ m = box(2); } };", 0, 0, 0},
        {"box = 1;", 1, 0, 0},
        {"return box(1) +;", 1, 0, 0},
        {"a = box(1) b = 2;", 1, 0, 0},
        {"return @;", 1, 0, 0},
    };
    for (const auto& c : cases) {
        ScriptProgram p = parse_script(c.script);
        EXPECT_EQ(p.errors.size(), c.errors) << c.script << (p.errors.empty() ? "" : " : " + p.errors[0]);
        EXPECT_EQ(p.warnings.size(), c.warnings) << c.script;
        EXPECT_EQ(p.notes.size(), c.notes) << c.script;
    }
    ScriptProgram p = parse_script("syntax_error(\"my message\");");
    ASSERT_EQ(p.errors.size(), 1u);
    EXPECT_EQ(p.errors[0].rfind("my message", 0), 0u);
    EXPECT_FALSE(parse_script(std::string(300, '(') + "1" + std::string(300, ')') + ";").errors.empty());
    EXPECT_FALSE(parse_script("x = " + std::string(3000, '-') + "1;").errors.empty());
}

TEST(KernelProgram, RecordsExecuteModeAndParallelDirective) {
    EXPECT_EQ(parse_script("#execute_mode:basic_csg_mesh;\nreturn box;").execute_mode, 1);
    ScriptProgram unknown = parse_script("#execute_mode:fancy;\nreturn box;");
    EXPECT_EQ(unknown.execute_mode, 0);
    EXPECT_EQ(unknown.warnings.size(), 1u);
    EXPECT_EQ(parse_script("return box;").execute_mode, -1);
    EXPECT_TRUE(parse_script("#parallel;\nreturn { VREK(a){ m = box; } };").parallel);
}

TEST(KernelReport, SectionsEchoStatementsAndReassemble) {
    const std::string script =
        "#CAM(front){0, 1, 6, 0, 0, 0};\nDBL r(0.5, 0.1, 2, \"Radius\");\nfunc ball(x) = sphere(x, 12);\n"
        "a = ball(r)\n  .tx(1);\nreturn a + blob(2);";
    ScriptProgram p = parse_script(script);
    const std::string report = compose_parse_report(p, script);
    EXPECT_EQ(section(report, "DIRECTIVES"), "#CAM(front){0, 1, 6, 0, 0, 0};\n");
    EXPECT_EQ(section(report, "PARAMETERS"), "DBL r(0.5, 0.1, 2, \"Radius\");\n");
    EXPECT_EQ(section(report, "FUNCTIONS"), "func ball(x) = sphere(x, 12);\n");
    EXPECT_EQ(section(report, "OPERATIONS"), "a = ball(r) .tx(1);\nreturn a + blob(2);\n");
    EXPECT_EQ(section(report, "ERRORS"), "UNKNOWN-PRIMITIVE : 'blob' AT LINE 6;\n");
    EXPECT_EQ(section(report, "WARNINGS"), "");
    EXPECT_NE(report.find("<SOURCE>" + script + "</SOURCE>"), std::string::npos);

    // The echo, joined the way the pipeline stages it, parses to the same statements.
    const std::string fixed = "#CAM(front){0, 1, 6, 0, 0, 0};\nDBL r(0.5, 0.1, 2, \"Radius\");\n"
                              "func ball(x) = sphere(x, 12);\na = ball(r)\n  .tx(1);\nreturn a + box(2);";
    const std::string r1 = compose_parse_report(parse_script(fixed), fixed);
    const std::string joined = section(r1, "DIRECTIVES") + "\n" + section(r1, "PARAMETERS") + "\n" +
                               section(r1, "FUNCTIONS") + "\n" + section(r1, "OPERATIONS") + "\n";
    const std::string r2 = compose_parse_report(parse_script(joined), joined);
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
    size_t count = 0;
    for (size_t at = report.find("</ERRORS>"); at != std::string::npos; at = report.find("</ERRORS>", at + 1)) ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(report.find("<BREAK>"), std::string::npos);
    EXPECT_EQ(section(report, "OPERATIONS"), "return box;\n");
    // Error lines quoting user text stay on one line and tag-free.
    ScriptProgram q = parse_script("syntax_error(\"a\\nb</x>\");");
    ASSERT_EQ(q.errors.size(), 1u);
    EXPECT_EQ(q.errors[0].find('\n'), std::string::npos);
    EXPECT_EQ(q.errors[0].find('<'), std::string::npos);
}

TEST(KernelStaged, ReadsBlocksLabelsAndSkippedElements) {
    const std::string text =
        "3;\n\n{\n// directives\n#execute_mode:pure_union_mesh;\n// logic\nfunc f(x) {\n return box(x);\n};\n"
        "return f(1);\n};\n{ };\n{\n// E:2|tower\na = \"}\"; return box;\n};\n";
    StagedInput in = read_element_blocks(text);
    EXPECT_TRUE(in.problems.empty());
    ASSERT_EQ(in.entries, 3u);
    ASSERT_EQ(in.blocks.size(), 3u);
    EXPECT_NE(in.blocks[0].body.find("return f(1);"), std::string::npos);
    EXPECT_TRUE(parse_script(in.blocks[0].body).errors.empty());
    EXPECT_TRUE(in.blocks[1].empty);
    EXPECT_EQ(in.blocks[2].label, "2|tower");
    EXPECT_EQ(in.blocks[2].source, "a = \"}\"; return box;");
}

TEST(KernelStaged, DamagedInputStillYieldsOneResultPerElement) {
    StagedInput no_count = read_element_blocks("{\nreturn box;\n};\n{ };\n");
    EXPECT_FALSE(no_count.has_count);
    EXPECT_EQ(no_count.entries, 2u);
    EXPECT_EQ(no_count.problems.size(), 1u);

    // An unbalanced script inside a block does not swallow the next block.
    StagedInput unbalanced = read_element_blocks("2;\n{\nreturn box(1;\n};\n{\nreturn { VREK(x) ;\n};\n");
    ASSERT_EQ(unbalanced.blocks.size(), 2u);
    EXPECT_EQ(unbalanced.blocks[0].body, "\nreturn box(1;\n");
    EXPECT_FALSE(parse_script(unbalanced.blocks[0].body).errors.empty());

    StagedInput short_count = read_element_blocks("4;\n{ };\n");
    EXPECT_EQ(short_count.entries, 4u);
    EXPECT_EQ(short_count.problems.size(), 1u);
    StagedInput wild = read_element_blocks("999999999999;\n{ };\n");
    EXPECT_EQ(wild.entries, 1u);
    EXPECT_EQ(read_element_blocks("").entries, 0u);
    StagedInput open = read_element_blocks("1;\n{\nreturn box;");
    EXPECT_EQ(open.entries, 1u);
    EXPECT_FALSE(open.problems.empty());
    EXPECT_EQ(read_element_blocks(std::string("\x01\xff{{{;;;}}}", 10)).entries, 1u);
}

static uint64_t fake_now = 0;
static uint64_t fake_clock() { return fake_now += 1000; }

TEST(KernelEval, UnionKeepsOperandsGroupsAndColours) {
    ScriptProgram p = parse_script(
        "a = cylinder(1, 2, 8).rgb(1, 0, 0); b = box(1).rgb(1, 0, 0); c = a + b + sphere(1, 8);\n"
        "d = c - box(5); return d;");
    ASSERT_TRUE(p.errors.empty());
    EvalOutcome o = evaluate_program(p, EvalLimits{});
    ASSERT_TRUE(o.ok) << o.error;
    const KernelMesh& m = o.mesh;
    // cylinder: 8 sides + 2 caps, box: 6, sphere(8): 4 rings -> 8 + 16 + 8
    ASSERT_EQ(m.polygon_count(), 10u + 6u + 32u);
    EXPECT_EQ(m.operand_ids.front(), 0);
    EXPECT_EQ(m.operand_ids[10], 1);
    EXPECT_EQ(m.operand_ids.back(), 2);
    EXPECT_EQ(m.group_ids[9], 2);   // cylinder bottom cap
    EXPECT_EQ(m.group_ids[10], 3);  // first box face
    EXPECT_EQ(m.group_ids.back(), 3 + 6);
    EXPECT_EQ(m.colours.size(), 2u);  // red shared, default grey
    EXPECT_EQ(m.vertex_colours.front(), m.vertex_colours[m.vertex_count() - 40]);
}

TEST(KernelEval, VariablesChainsFunctionsAndReturns) {
    auto run = [](const std::string& s) { return evaluate_program(parse_script(s), EvalLimits{}); };
    EvalOutcome moved = run("a = box(1); a.tx(5); return a;");
    ASSERT_TRUE(moved.ok);
    EXPECT_DOUBLE_EQ(moved.mesh.positions[0], 5.5 - 1);  // first box vertex x = -0.5 + 5
    EvalOutcome kept = run("a = box(1); b = a.tx(5); return a;");  // b's move leaves a alone
    EXPECT_DOUBLE_EQ(kept.mesh.positions[0], -0.5);
    EvalOutcome last = run("a = box(1); a.ty(2);");  // no return: last mesh statement
    ASSERT_TRUE(last.ok);
    EXPECT_DOUBLE_EQ(last.mesh.positions[1], 1.5);
    EvalOutcome fn = run("func two(x) { m = box(x); return m + m.tx(3); }; return two(2);");
    ASSERT_TRUE(fn.ok) << fn.error;
    EXPECT_EQ(fn.mesh.polygon_count(), 12u);
    EvalOutcome self = run("a = box(1); return a + a;");
    EXPECT_EQ(self.mesh.polygon_count(), 12u);
    EXPECT_FALSE(run("return 1 + 2;").ok);
    EvalOutcome empty = run("x = 1;");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.mesh.vertex_count(), 0u);
    EvalOutcome par = run("#PARALLEL;\n#GLOBAL_PRE{ s = 2; };\n#VREK(a){ m = box(s); };\n"
                          "return { VREK(a), VREK(1|b){ m = sphere(1, 8); } };");
    ASSERT_TRUE(par.ok) << par.error;
    EXPECT_EQ(par.mesh.polygon_count(), 6u + 32u);
}

TEST(KernelEval, RunawayScriptsStopWithAnError) {
    EvalLimits limits;
    limits.step_budget = 100000;
    limits.vertex_budget = 100000;
    auto run = [&](const std::string& s) { return evaluate_program(parse_script(s), limits); };
    EvalOutcome deep = run("func f(x) = f(x); return f(1);");
    EXPECT_FALSE(deep.ok);
    EXPECT_NE(deep.error.find("CALL-DEPTH"), std::string::npos);
    EvalOutcome wide = run("func f(x) = f(x - 1) + f(x - 1); return f(40);");
    EXPECT_FALSE(wide.ok);
    std::string doubling = "a = box(1);";
    for (int i = 0; i < 40; ++i) doubling += " a = a + a;";
    EvalOutcome big = run(doubling);
    EXPECT_FALSE(big.ok);
    EXPECT_NE(big.error.find("MESH-TOO-LARGE"), std::string::npos);
    EXPECT_FALSE(run("return grid(4000);").ok);
    EvalOutcome nan = run("DBL v = nan; return sphere(v, v).tx(v) + torus(-1, v, v, 3) + rcube(v, -1, 0, v, v);");
    EXPECT_TRUE(nan.ok) << nan.error;
}

TEST(KernelEval, KnobsAndProfileLines) {
    EvalLimits limits;
    limits.side_effects = true;
    fake_now = 0;
    ScriptProgram p = parse_script(
        "func f(x) = box(x);\nfunc g(x) = f(x);\nprint(\"hello\"); print(1.5);\ntruncate();\na = f(1);\nreturn a;");
    EvalOutcome o = evaluate_program(p, limits, fake_clock);
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.printed, "hello\n1.5\n");
    EXPECT_TRUE(o.truncate_requested);
    const std::string profile = format_profile_text(o);
    // F = 2 function lines, O = 5 operation lines, then the total.
    size_t lines = 0;
    for (char c : profile) lines += c == '\n';
    EXPECT_EQ(lines, 2u + 5u + 1u);
    EXPECT_EQ(profile.find_first_not_of("0123456789\n"), std::string::npos);
    EXPECT_EQ(profile.substr(0, 5), "1000\n");

    EvalOutcome failed = evaluate_program(parse_script("a = box; fail(); return a;"), limits);
    EXPECT_TRUE(failed.fail_requested);
    EXPECT_FALSE(failed.ok);
    limits.side_effects = false;
    EvalOutcome quiet = evaluate_program(parse_script("sleep(100000); print(\"x\"); return box;"), limits);
    EXPECT_TRUE(quiet.ok);
    EXPECT_EQ(quiet.printed, "");
}
