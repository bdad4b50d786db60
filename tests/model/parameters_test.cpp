#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "model/parameters.h"
#include "model_test_support.h"

// Each text read as the type and written back as text ("null": no value).
TEST(TypedValue, ConversionsFollowFormattedInputRules) {
    struct Case {
        int32_t type;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {PARAMETER_INT, " 7", "7"},        {PARAMETER_INT, "12abc", "12"},     {PARAMETER_INT, "+5", "5"},
        {PARAMETER_INT, "-3.9", "-3"},     {PARAMETER_INT, "abc", "null"},     {PARAMETER_INT, "", "null"},
        {PARAMETER_INT, "+-5", "null"},    {PARAMETER_INT, "99999999999", "null"},
        {PARAMETER_LNG, "\t-9000000000x", "-9000000000"},
        {PARAMETER_DBL, "  2.5e2;", "250"}, {PARAMETER_DBL, ".5", "0.5"},      {PARAMETER_DBL, "0x1p3", "8"},
        {PARAMETER_DBL, "3.14159265", "3.14159"}, {PARAMETER_DBL, "x1", "null"},
        {PARAMETER_BLN, "true", "true"},   {PARAMETER_BLN, "T", "true"},       {PARAMETER_BLN, "tx", "true"},
        {PARAMETER_BLN, "false", "false"}, {PARAMETER_BLN, "yes", "false"},    {PARAMETER_BLN, "1", "false"},
        {PARAMETER_BLN, "", "null"},       {PARAMETER_CHR, "'a'", "a"},        {PARAMETER_CHR, "'ab'", "b"},
        {PARAMETER_CHR, "a", "null"},      {PARAMETER_STR, "\"hello\"", "hello"}, {PARAMETER_STR, "\"\"", ""},
        {PARAMETER_STR, "x", "null"},      {PARAMETER_MSH, "anything", "null"},
    };
    for (const Case& c : cases) {
        const ParameterValue v = parse_typed_value(c.type, c.text);
        EXPECT_EQ(typed_value_to_text(v), c.expected) << c.type << " '" << c.text << "'";
        EXPECT_EQ(v.type, std::string(c.expected) == "null" ? PARAMETER_UNDEFINED : c.type) << c.text;
    }
    ParameterValue odd;
    odd.type = 7;
    EXPECT_EQ(typed_value_to_text(odd), "???");
}

TEST(TypedValue, NumbersIgnoreTheProcessLocale) {
    // A locale with a decimal comma must not change how "2.5" reads or prints.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    ParameterValue v = parse_typed_value(PARAMETER_DBL, "2.5");
    std::string text = typed_value_to_text(v);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_DOUBLE_EQ(v.double_value, 2.5);
    EXPECT_EQ(text, "2.5");
}

TEST(ParameterDefinition, Forms) {
    EXPECT_EQ(classify_parameter_form("INT a = 1"), PARAMETER_FORM_ASSIGN);
    EXPECT_EQ(classify_parameter_form("INT a(1) = 2"), PARAMETER_FORM_CALL);
    EXPECT_EQ(classify_parameter_form("INT a{1}"), PARAMETER_FORM_BRACE);
    EXPECT_EQ(classify_parameter_form("INT a{1} = 2"), PARAMETER_FORM_NONE);
    EXPECT_EQ(classify_parameter_form("INT a"), PARAMETER_FORM_NONE);
    EXPECT_EQ(classify_parameter_form(""), PARAMETER_FORM_NONE);
}

TEST(ParameterDefinition, AssignFormHasValueAndNoBounds) {
    EntityParameter p;
    ASSERT_TRUE(parse_parameter_definition(p, "DBL   radius = 2.5"));
    EXPECT_EQ(p.type, PARAMETER_DBL);
    EXPECT_EQ(p.name, "radius");
    EXPECT_DOUBLE_EQ(p.current.double_value, 2.5);
    EXPECT_DOUBLE_EQ(p.default_value.double_value, 2.5);
    EXPECT_EQ(p.lower.type, PARAMETER_UNDEFINED);
    EXPECT_EQ(p.upper.type, PARAMETER_UNDEFINED);
    EXPECT_EQ(p.label, "radius");
    EXPECT_EQ(p.value_text, "2.5");
    EXPECT_EQ(p.type_name, "DBL");
    EXPECT_EQ(p.last_pushed.double_value, 2.5);
    EXPECT_EQ(p.valid, 1);
    EXPECT_EQ(p.is_null, 0);
}

TEST(ParameterDefinition, CallFormOfNumbersCarriesBoundsAndTexts) {
    EntityParameter p;
    ASSERT_TRUE(parse_parameter_definition(p, "int count(4, 1, 10, \"Count\", extra, 'last')"));
    EXPECT_EQ(p.type, PARAMETER_INT);
    EXPECT_EQ(p.name, "count");
    EXPECT_EQ(p.current.int_value, 4);
    EXPECT_EQ(p.lower.int_value, 1);
    EXPECT_EQ(p.upper.int_value, 10);
    EXPECT_EQ(p.label, "Count");
    EXPECT_EQ(p.extra_text, "extra");
    EXPECT_EQ(p.final_text, "last");

    EntityParameter q;
    ASSERT_TRUE(parse_parameter_definition(q, "LNG big(7, 1)"));
    EXPECT_EQ(q.lower.type, PARAMETER_UNDEFINED);
    EXPECT_EQ(q.upper.type, PARAMETER_UNDEFINED);
    EXPECT_EQ(q.label, "big");
}

TEST(ParameterDefinition, CallFormOfOtherTypesTakesLabelAndFinalText) {
    EntityParameter b;
    ASSERT_TRUE(parse_parameter_definition(b, "BLN flag(true, 'Flag', \"tail\")"));
    EXPECT_EQ(b.current.bool_value, 1);
    EXPECT_EQ(b.label, "Flag");
    EXPECT_EQ(b.final_text, "tail");
    EXPECT_EQ(b.extra_text, "");

    EntityParameter c;
    ASSERT_TRUE(parse_parameter_definition(c, "CHR letter('q', '')"));
    EXPECT_EQ(c.current.char_value, 'q');
    EXPECT_EQ(c.label, "letter");  // an empty quoted label falls back to the name

    EntityParameter s;
    ASSERT_TRUE(parse_parameter_definition(s, "STR title(\"abc\", 'Ti\")"));
    EXPECT_EQ(s.current.string_value, "abc");
    EXPECT_EQ(s.label, "Ti");  // a pair of different quote characters is stripped ...
    EntityParameter t;
    ASSERT_TRUE(parse_parameter_definition(t, "STR title(\"abc\", ')"));
    EXPECT_EQ(t.label, "'");  // ... a single quote character is kept
}

TEST(ParameterDefinition, RejectedDefinitionsPrintAndStayInvalid) {
    const char* bad[] = {"MSH body = 1", "XYZ a = 1", "= 3", "INT a = x", "INT a{3}", "INT a()", "INT a ="};
    for (const char* text : bad) {
        EntityParameter p;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(parse_parameter_definition(p, text)) << text;
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, std::string("!!! INVALID-PARAMETER-DEFINITION : '") + text + "'\n");
        EXPECT_EQ(p.valid, 0);
        EXPECT_EQ(p.is_null, 1);
    }
    EntityParameter m;
    testing::internal::CaptureStdout();
    parse_parameter_definition(m, "MSH body = 1");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(m.type, PARAMETER_MSH);
}

TEST(ParameterTable, CountsSummaryAndValidity) {
    reset_model_counters();
    ParseResult r;
    EXPECT_EQ(build_parameter_table("INT a(1, 0, 5, 'A');\nDBL b = 2.0;\n\nSTR c(\"x\");\n", r), 1);
    EXPECT_EQ(r.valid, 1);
    EXPECT_EQ(r.parameter_count, 3);
    EXPECT_EQ(r.statement_count, 3 + 2 + 2);
    EXPECT_EQ(r.summary, "1 INT, 1 DBL, 0 LNG, 0 BLN, 0 CHR, 1 STR");
    EXPECT_EQ(r.error_text, "");
    EXPECT_EQ(r.parameters[0].serial, 0);
    EXPECT_EQ(r.parameters[2].serial, 2);
    EXPECT_EQ(r.parameters[0].owner, &r);
}

TEST(ParameterTable, CardinalityErrors) {
    testing::internal::CaptureStdout();
    ParseResult one_bad;
    EXPECT_EQ(build_parameter_table("INT a = 1;\nMSH m = 2;\nINT b = 3;\n", one_bad), 0);
    EXPECT_EQ(one_bad.parameter_count, 2);
    EXPECT_EQ(one_bad.valid, 0);
    EXPECT_EQ(one_bad.error_text,
              "ERROR-INSTANTIATING-PARAMETERS : CARDINALITY-INCONSISTENCY-BETWEEN-DEFINITION-AND-RESULT\n");

    // Blanks and one more character: a line, but no parameter.
    ParseResult blank_line;
    EXPECT_EQ(build_parameter_table("INT a = 1;\n   ;\n", blank_line), 0);
    EXPECT_EQ(blank_line.parameter_count, 1);
    EXPECT_FALSE(blank_line.error_text.empty());

    ParseResult all_bad;
    EXPECT_EQ(build_parameter_table("MSH m = 2;\nfoo;\n", all_bad), 0);
    EXPECT_EQ(all_bad.parameter_count, 0);
    EXPECT_EQ(all_bad.error_text, "");
    EXPECT_EQ(all_bad.summary, "0 INT, 0 DBL, 0 LNG, 0 BLN, 0 CHR, 0 STR");
    testing::internal::GetCapturedStdout();

    ParseResult empty;
    EXPECT_EQ(build_parameter_table("", empty), 0);
    EXPECT_EQ(empty.is_null, 1);
}

TEST(ParameterTable, LookupAndRange) {
    ParseResult r;
    ASSERT_EQ(build_parameter_table("INT n(5, 1, 9);\nDBL d(0.5, 0, 1);\nSTR s = \"x\";\n", r), 1);
    EntityParameter* n = find_parameter_by_name(r, "n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->current.int_value, 5);
    EXPECT_EQ(find_parameter_by_name(r, "N"), nullptr);
    EXPECT_EQ(find_parameter_by_name(r, ""), nullptr);
    r.parameter_count = 1;  // only the first parameter_count entries are searched
    EXPECT_EQ(find_parameter_by_name(r, "d"), nullptr);
    r.parameter_count = 3;

    ParameterValue v = parse_typed_value(PARAMETER_INT, "9");
    EXPECT_TRUE(is_parameter_in_range(*n, v));
    v.int_value = 10;
    EXPECT_FALSE(is_parameter_in_range(*n, v));
    const EntityParameter* d = find_parameter_by_name(r, "d");
    ParameterValue x = parse_typed_value(PARAMETER_DBL, "0");
    EXPECT_TRUE(is_parameter_in_range(*d, x));
    x.double_value = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(is_parameter_in_range(*d, x));
    EXPECT_TRUE(is_parameter_in_range(*find_parameter_by_name(r, "s"), x));
}

TEST(ParameterTable, MergedResults) {
    ParseResult a, b;
    ASSERT_EQ(build_parameter_table("INT a(1, 0, 2);\nINT b = 1;\n", a), 1);  // 3 + 2 statements
    ASSERT_EQ(build_parameter_table("DBL c(1, 0, 2);\nDBL d = 1;\nBLN e = true;\n", b), 1);
    b.statement_count = 4;
    a.statement_count = 5;
    b.error_text = "";
    ParseResult merged;
    construct_merged_parse_result(merged, {"first", "second"}, {&a, &b}, 5);
    EXPECT_EQ(merged.merged, 1);
    EXPECT_EQ(merged.valid, 1);
    EXPECT_EQ(merged.statement_count, 11);
    EXPECT_EQ(merged.summary, "2 INT, 2 DBL, 0 LNG, 1 BLN, 0 CHR, 0 STR");
    ASSERT_EQ(merged.merged_parameters.size(), 5u);
    EXPECT_EQ(merged.merged_parameters[0], &a.parameters[0]);
    EXPECT_EQ(merged.merged_parameters[4], &b.parameters[2]);
    EXPECT_EQ(find_parameter_by_name(merged, "a"), nullptr);

    // A total beyond what the sub-results hold leaves no null entries.
    ParseResult over;
    construct_merged_parse_result(over, {"first"}, {&a}, 4);
    EXPECT_EQ(over.parameter_count, 2);
    EXPECT_EQ(over.merged_parameters.size(), 2u);

    ParseResult none;
    construct_merged_parse_result(none, {}, {}, 0);
    EXPECT_EQ(none.valid, 0);
    EXPECT_EQ(none.statement_count, 0);

    a.error_text = "E1\n";
    b.error_text = "E2\n";
    ParseResult failed;
    construct_merged_parse_result(failed, {"first", "second"}, {&a, &b}, 5);
    EXPECT_EQ(failed.error_text, "E1\nE2\n");
    EXPECT_EQ(failed.valid, 0);
}
