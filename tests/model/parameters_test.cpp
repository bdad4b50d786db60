#include <gtest/gtest.h>

#include "support/decimal_comma_locale.h"

#include <limits>
#include <tuple>

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
        {PARAMETER_INT, " 7", "7"},        {PARAMETER_INT, "12abc", "12"},     {PARAMETER_INT, "-3.9", "-3"},
        {PARAMETER_INT, "abc", "null"},    {PARAMETER_INT, "+-5", "null"},     {PARAMETER_INT, "99999999999", "null"},
        {PARAMETER_LNG, "\t-9000000000x", "-9000000000"},
        {PARAMETER_DBL, "  2.5e2;", "250"}, {PARAMETER_DBL, ".5", "0.5"},      {PARAMETER_DBL, "0x1p3", "8"},
        {PARAMETER_DBL, "3.14159265", "3.14159265"}, {PARAMETER_DBL, "x1", "null"},
        // A double's text reads back as the same double: seven to seventeen
        // significant digits, tiny and huge values.
        {PARAMETER_DBL, "1234567", "1234567"}, {PARAMETER_DBL, "0.123456789", "0.123456789"},
        {PARAMETER_DBL, "0.9999999", "0.9999999"}, {PARAMETER_DBL, "1.2345678901234567", "1.2345678901234567"},
        {PARAMETER_DBL, "123456789012.5", "123456789012.5"}, {PARAMETER_DBL, "1e-300", "1e-300"},
        {PARAMETER_DBL, "-4.9e-324", "-5e-324"}, {PARAMETER_DBL, "1.7976931348623157e308", "1.7976931348623157e+308"},
        // A flag written as a number reads as the kernel reads it.
        {PARAMETER_BLN, "tx", "true"},     {PARAMETER_BLN, "1", "true"},       {PARAMETER_BLN, "", "null"},
        {PARAMETER_BLN, "0", "false"},     {PARAMETER_BLN, "-1", "true"},      {PARAMETER_BLN, "false", "false"},
        {PARAMETER_BLN, "true", "true"},   {PARAMETER_BLN, "yes", "false"},
        {PARAMETER_CHR, "'a'", "a"},       {PARAMETER_CHR, "'ab'", "b"},
        {PARAMETER_CHR, "a", "null"},      {PARAMETER_STR, "\"hello\"", "hello"}, {PARAMETER_STR, "\"\"", ""},
        {PARAMETER_STR, "x", "null"},      {PARAMETER_MSH, "anything", "null"},
    };
    for (const Case& c : cases) {
        const ParameterValue v = parse_typed_value(c.type, c.text);
        EXPECT_EQ(typed_value_to_text(v), c.expected) << c.type << " '" << c.text << "'";
        EXPECT_EQ(v.type, std::string(c.expected) == "null" ? PARAMETER_UNDEFINED : c.type) << c.text;
        if (c.type == PARAMETER_DBL && v.type == PARAMETER_DBL) {
            EXPECT_EQ(parse_typed_value(c.type, typed_value_to_text(v)).double_value, v.double_value) << c.text;
        }
    }
}

TEST(TypedValue, NumbersIgnoreTheProcessLocale) {
    DecimalCommaLocale comma;  // a decimal comma must not change how "2.5" reads or prints
    ASSERT_TRUE(comma.active()) << "could not build a locale with a decimal comma";
    const ParameterValue v = parse_typed_value(PARAMETER_DBL, "2.5");
    EXPECT_DOUBLE_EQ(v.double_value, 2.5);
    EXPECT_EQ(typed_value_to_text(v), "2.5");
}

// Every field a definition fills, joined by '|': keyword, name, value, lower
// and upper bounds ("null": none), label, extra text, final text.
TEST(ParameterDefinition, FieldsOfEachForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"DBL   radius = 2.5", "DBL|radius|2.5|null|null|radius||"},
        {"DBL e(0.9999999, 0, 0.9999999, \"Edge\")", "DBL|e|0.9999999|0|0.9999999|Edge||"},
        {"BLN on = 1", "BLN|on|true|null|null|on||"}, {"BLN off(0, \"Off\")", "BLN|off|false|null|null|Off||"},
        {"int count(4, 1, 10, \"Count\", extra, 'last')", "INT|count|4|1|10|Count|extra|last"},
        {"LNG big(7, 1)", "LNG|big|7|null|null|big||"},
        {"BLN flag(true, 'Flag', \"tail\")", "BLN|flag|true|null|null|Flag||tail"},
        {"CHR letter('q', '')", "CHR|letter|q|null|null|letter||"},  // an empty label falls back to the name
        {"STR title(\"abc\", 'Ti\")", "STR|title|abc|null|null|Ti||"},  // different quote characters go ...
        {"STR title(\"abc\", ')", "STR|title|abc|null|null|'||"},       // ... a single one stays
        // A quoted ',', '=', '(' or ')' stays in its text, in both forms, as the
        // kernel reads the statement; an escaped quote does not end it.
        {"STR s = \"a=b(,)\"", "STR|s|a=b(,)|null|null|s||"}, {"CHR c = '='", "CHR|c|=|null|null|c||"},
        {"CHR a(',', \"x=y\")", "CHR|a|,|null|null|x=y||"}, {"CHR b('(')", "CHR|b|(|null|null|b||"},
        {"STR t(\"x,y=)(\", \"(L, M)\", \"e,f\")", "STR|t|x,y=)(|null|null|(L, M)||e,f"},
        {"STR e(\"a\\\", b\", 'L')", "STR|e|a\\\", b|null|null|L||"}, {"CHR q('\\'', \"Q\")", "CHR|q|'|null|null|Q||"},
        {"CHR d(')', ')')", "CHR|d|)|null|null|)||"},
        {"INT n(24, 3, 64, \"Segs, n\", \"x=(1)\", 'a,b')", "INT|n|24|3|64|Segs, n|x=(1)|a,b"},
    };
    for (const auto& c : cases) {
        EntityParameter p;
        ASSERT_TRUE(parse_parameter_definition(p, c.first)) << c.first;
        const std::string fields = p.type_name + "|" + p.name + "|" + p.value_text + "|" +
                                   typed_value_to_text(p.lower) + "|" + typed_value_to_text(p.upper) + "|" + p.label +
                                   "|" + p.extra_text + "|" + p.final_text;
        EXPECT_EQ(fields, c.second);
        EXPECT_EQ(p.type_name, parameter_type_keywords[p.type]) << c.first;
        for (const ParameterValue* v : {&p.current, &p.default_value, &p.last_pushed})
            EXPECT_EQ(typed_value_to_text(*v), p.value_text) << c.first;
        EXPECT_TRUE(p.valid == 1 && p.is_null == 0) << c.first;
    }
}

TEST(ParameterDefinition, RejectedDefinitionsPrintAndStayInvalid) {
    for (const char* text : {"MSH body = 1", "XYZ a = 1", "= 3", "INT a = x", "INT a{3}", "INT a()", "INT a ="}) {
        EntityParameter p;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(parse_parameter_definition(p, text)) << text;
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "!!! INVALID-PARAMETER-DEFINITION : '" + std::string(text) + "'\n");
        EXPECT_TRUE(p.valid == 0 && p.is_null == 1) << text;
        EXPECT_TRUE(text[0] != 'M' || p.type == PARAMETER_MSH);  // the type is still recorded
    }
}

TEST(ParameterTable, CountsSummaryAndCardinality) {
    const std::string zero = "0 INT, 0 DBL, 0 LNG, 0 BLN, 0 CHR, 0 STR";
    const std::string mismatch =
        "ERROR-INSTANTIATING-PARAMETERS : CARDINALITY-INCONSISTENCY-BETWEEN-DEFINITION-AND-RESULT\n";
    struct Case {
        const char* text;
        int ok, count, statements;
        std::string summary, error;
    };
    const Case cases[] = {
        {"INT a(1, 0, 5, 'A');\nDBL b = 2.0;\n\nSTR c(\"x\");\n", 1, 3, 3 + 2 + 2,
         "1 INT, 1 DBL, 0 LNG, 0 BLN, 0 CHR, 1 STR", ""},
        {"INT a = 1;\nMSH m = 2;\nINT b = 3;\n", 0, 2, 4, "2 INT, 0 DBL, 0 LNG, 0 BLN, 0 CHR, 0 STR", mismatch},
        // Blanks and one more character: a line, but no parameter.
        {"INT a = 1;\n   ;\n", 0, 1, 2, "1 INT, 0 DBL, 0 LNG, 0 BLN, 0 CHR, 0 STR", mismatch},
        {"MSH m = 2;\nfoo;\n", 0, 0, 0, zero, ""},
        {"", 0, 0, 0, zero, ""},
    };
    testing::internal::CaptureStdout();
    for (const Case& c : cases) {
        reset_model_counters();
        ParseResult r;
        EXPECT_EQ(build_parameter_table(c.text, r), c.ok) << c.text;
        EXPECT_EQ(std::make_tuple(int(r.valid), int(r.is_null), r.parameter_count, r.statement_count, r.summary,
                                  r.error_text),
                  std::make_tuple(c.ok, 1 - c.ok, c.count, c.statements, c.summary, c.error))
            << c.text;
        if (!c.ok) continue;
        EXPECT_TRUE(r.parameters[0].serial == 0 && r.parameters[2].serial == 2 && r.parameters[0].owner == &r);
    }
    testing::internal::GetCapturedStdout();
}

TEST(ParameterTable, LookupAndRange) {
    ParseResult r;
    ASSERT_EQ(build_parameter_table("INT n(5, 1, 9);\nDBL d(0.5, 0, 1);\nSTR s = \"x\";\n", r), 1);
    EntityParameter* n = find_parameter_by_name(r, "n");
    const EntityParameter* d = find_parameter_by_name(r, "d");
    ASSERT_TRUE(n && d);
    EXPECT_TRUE(find_parameter_by_name(r, "N") == nullptr && find_parameter_by_name(r, "") == nullptr);
    r.parameter_count = 1;  // only the first parameter_count entries are searched
    EXPECT_EQ(find_parameter_by_name(r, "d"), nullptr);
    r.parameter_count = 3;

    ParameterValue v = parse_typed_value(PARAMETER_INT, "9"), x = parse_typed_value(PARAMETER_DBL, "0");
    EXPECT_TRUE(is_parameter_in_range(*n, v) && is_parameter_in_range(*d, x));
    v.int_value = 10;
    x.double_value = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(is_parameter_in_range(*n, v));
    EXPECT_FALSE(is_parameter_in_range(*d, x));
    EXPECT_TRUE(is_parameter_in_range(*find_parameter_by_name(r, "s"), x));
}

TEST(ParameterTable, MergedResults) {
    ParseResult a, b;
    ASSERT_EQ(build_parameter_table("INT a(1, 0, 2);\nINT b = 1;\n", a), 1);
    ASSERT_EQ(build_parameter_table("DBL c(1, 0, 2);\nDBL d = 1;\nBLN e = true;\n", b), 1);
    a.statement_count = 5;
    b.statement_count = 4;
    ParseResult merged, over, none, failed;
    construct_merged_parse_result(merged, {"first", "second"}, {&a, &b}, 5);
    EXPECT_TRUE(merged.merged == 1 && merged.valid == 1);
    EXPECT_EQ(merged.statement_count, 11);  // one more per sub-result
    EXPECT_EQ(merged.summary, "2 INT, 2 DBL, 0 LNG, 1 BLN, 0 CHR, 0 STR");
    ASSERT_EQ(merged.merged_parameters.size(), 5u);
    EXPECT_TRUE(merged.merged_parameters[0] == &a.parameters[0] && merged.merged_parameters[4] == &b.parameters[2]);
    EXPECT_EQ(find_parameter_by_name(merged, "a"), nullptr);

    // A total beyond what the sub-results hold leaves no null entries.
    construct_merged_parse_result(over, {"first"}, {&a}, 4);
    EXPECT_TRUE(over.parameter_count == 2 && over.merged_parameters.size() == 2u);
    construct_merged_parse_result(none, {}, {}, 0);
    EXPECT_TRUE(none.valid == 0 && none.statement_count == 0);
    a.error_text = "E1\n";
    b.error_text = "E2\n";
    construct_merged_parse_result(failed, {"first", "second"}, {&a, &b}, 5);
    EXPECT_EQ(failed.error_text, "E1\nE2\n");
    EXPECT_EQ(failed.valid, 0);
}
