#include "text/text_utils.h"

#include "support/decimal_comma_locale.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <thread>

TEST(Concat, KeepsEveryByteInOrder) {
    std::string with_nul("a\0b", 3);
    EXPECT_EQ(concat3(with_nul, "-", with_nul), std::string("a\0b-a\0b", 7));
    EXPECT_EQ(concat15("a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o"),
              "abcdefghijklmno");
}

TEST(NumberText, GeneralDoubleMatchesSixSignificantDigits) {
    EXPECT_EQ(int_to_text(std::numeric_limits<int32_t>::min()), "-2147483648");
    EXPECT_EQ(long_to_text(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(double_to_text(2.0 / 3.0), "0.666667");
    EXPECT_EQ(double_to_text(123456.7), "123457");
    EXPECT_EQ(double_to_text(1234567.0), "1.23457e+06");
    EXPECT_EQ(double_to_text(0.00001), "1e-05");
    EXPECT_EQ(double_to_text(-0.0), "-0");
    EXPECT_EQ(double_to_text(0.1 + 0.2), "0.3");
}

TEST(NumberText, FixedDoubleRoundsOnTheBinaryValue) {
    EXPECT_EQ(double_to_text_fixed(0.125, 2), "0.12");
    EXPECT_EQ(double_to_text_fixed(2.675, 2), "2.67");
    EXPECT_EQ(double_to_text_fixed(-0.001, 2), "-0.00");
    EXPECT_EQ(double_to_text_fixed(1e20, 2), "100000000000000000000.00");
    EXPECT_EQ(double_to_text_fixed(0.5, 0), "0");
    EXPECT_EQ(double_to_text_fixed(1.0, -3), "1.000000");
    EXPECT_EQ(double_to_text_fixed(1e308, 1).size(), 311u);
}

TEST(NumberText, GroupedIntegers) {
    EXPECT_EQ(long_to_grouped_text(999), "999");
    EXPECT_EQ(long_to_grouped_text(1000), "1,000");
    EXPECT_EQ(long_to_grouped_text(1234567), "1,234,567");
    EXPECT_EQ(long_to_grouped_text(-123456), "-123,456");
}

TEST(NumberText, ReadersTakeWholeNumbersOnly) {
    int32_t i = 0;
    EXPECT_TRUE(text_to_int(" 42 ", i));
    EXPECT_EQ(i, 42);
    EXPECT_FALSE(text_to_int("12abc", i));
    EXPECT_FALSE(text_to_int("", i));
    EXPECT_FALSE(text_to_int("+-3", i));
    EXPECT_FALSE(text_to_int("99999999999", i));
    int64_t l = 0;
    EXPECT_TRUE(text_to_long("-9223372036854775808", l));
    EXPECT_EQ(l, std::numeric_limits<int64_t>::min());
    double d = 0;
    EXPECT_TRUE(text_to_double("1.5e3", d));
    EXPECT_EQ(d, 1500.0);
    EXPECT_FALSE(text_to_double("1,5", d));
}

// GTK switches the process to the user's locale; numbers must not follow it.
TEST(NumberText, IndependentOfAGermanLocale) {
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active()) << "could not build a German locale";
    EXPECT_EQ(double_to_text(1234567.0), "1.23457e+06");
    EXPECT_EQ(double_to_text(0.5), "0.5");
    EXPECT_EQ(double_to_text_fixed(3.25, 2), "3.25");
    double d = 0;
    EXPECT_TRUE(text_to_double("2.5", d));
    EXPECT_EQ(d, 2.5);
}

TEST(Padding, NeverTruncates) {
    EXPECT_EQ(pad_left("abc", 5, '0'), "00abc");
    EXPECT_EQ(pad_left("abc", 2, '0'), "abc");
    EXPECT_EQ(pad_left("abc", -1, ' '), "abc");
}

// The C library's case functions take a byte as an unsigned char value (or
// EOF); a negative char is undefined behaviour that glibc happens to
// tolerate. These stand-ins, found before the C library's, count them.
static int negative_case_arguments = 0;
extern "C" int toupper(int c) noexcept {
    if (c < 0 && c != EOF) ++negative_case_arguments;
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}
extern "C" int tolower(int c) noexcept {
    if (c < 0 && c != EOF) ++negative_case_arguments;
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

TEST(CaseChange, HighBytesAreSafe) {
    EXPECT_EQ(to_upper("a/Bc_1"), "A/BC_1");
    EXPECT_EQ(to_lower("A/Bc_1"), "a/bc_1");
    std::string utf8 = "\xc3\xa9t\xc3\xa9";  // UTF-8 bytes stay as they are
    EXPECT_EQ(to_upper(utf8), "\xc3\xa9T\xc3\xa9");
    EXPECT_EQ(to_lower(utf8 + "\xff"), "\xc3\xa9t\xc3\xa9\xff");
    EXPECT_EQ(negative_case_arguments, 0);
}

TEST(Trim, OnlyTheFiveBlankCharacters) {
    EXPECT_EQ(trim_whitespace(" \t\r\n "), "");
    EXPECT_EQ(trim_whitespace(std::string("\0 x y \0", 7)), "x y");
    EXPECT_EQ(trim_whitespace("x\v"), "x\v");
    EXPECT_EQ(trim_whitespace("\fx "), "\fx");
}

TEST(JoinLines, CountsAndIndependence) {
    std::vector<std::string> lines = {"a", "", "c"};
    EXPECT_EQ(join_lines(lines, 10), "a\n\nc");
    EXPECT_EQ(join_lines(lines, 2), "a\n");
    EXPECT_EQ(join_lines(lines, -5), "");
    EXPECT_EQ(join_lines({""}, 1), "");
    std::string first = join_lines({"x", "y"}, 2);
    std::string second = join_lines({"z"}, 1);
    EXPECT_EQ(first, "x\ny");
    EXPECT_EQ(second, "z");
}

TEST(JoinLines, ConcurrentCallersGetTheirOwnText) {
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &wrong] {
            std::vector<std::string> lines(20, std::string(1, static_cast<char>('a' + t)));
            std::string expected = lines[0];
            for (size_t i = 1; i < lines.size(); ++i) expected += "\n" + lines[i];
            for (int k = 0; k < 2000; ++k) {
                if (join_lines(lines, 20) != expected) ++wrong[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int count : wrong) EXPECT_EQ(count, 0);
}

namespace {
using Records = std::vector<std::vector<std::string>>;
Records invocations(const std::vector<std::string>& texts) {
    Records records;
    for (const auto& text : texts) records.push_back({text, "body();"});
    return records;
}
}  // namespace

TEST(InvocationGroupKeys, WrittenAndNumberedGroups) {
    Records records = invocations({"2|a()", "b()", "2| c()", "d()"});
    EXPECT_EQ(extract_invocation_group_keys(records), (std::vector<int32_t>{2, 3, 2, 4}));
    EXPECT_EQ(records[0][0], "a()");
    EXPECT_EQ(records[2][0], "c()");

    records = invocations({"a()", "b()"});
    EXPECT_EQ(extract_invocation_group_keys(records), (std::vector<int32_t>{0, 1}));

    records = invocations({"1 2|a()", "|b()", "c()"});
    EXPECT_EQ(extract_invocation_group_keys(records), (std::vector<int32_t>{12, 13, 14}));
    EXPECT_EQ(records[1][0], "b()");
}

TEST(InvocationGroupKeys, MalformedRecordsTakeNoGroup) {
    Records records = {{"a()"}, {"", "body"}, {"b()", "x"}, {"\xff|c()", "body"}, {"3|", "body"}};
    // "\xff|" is not a prefix: numbered after the written 3, which stays
    // though its invocation is now empty.
    EXPECT_EQ(extract_invocation_group_keys(records), (std::vector<int32_t>{-1, -1, -1, 4, 3}));
    EXPECT_EQ(records[3][0], "\xff|c()");
    Records none;
    EXPECT_TRUE(extract_invocation_group_keys(none).empty());
}

TEST(PrintAndStoreLine, ReplacesOnlyTheFirstElement) {
    std::vector<std::string> empty;
    print_and_store_line(&empty, "x");
    EXPECT_TRUE(empty.empty());
    std::vector<std::string> three = {"a", "b", "c"};
    print_and_store_line(&three, "line");
    EXPECT_EQ(three, (std::vector<std::string>{"line", "b", "c"}));
    // Without a list the line is still printed, and nothing else happens.
    testing::internal::CaptureStdout();
    print_and_store_line(nullptr, "only printed");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "only printed\n");
}
