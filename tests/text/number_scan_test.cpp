#include "text/number_scan.h"

#include "support/decimal_comma_locale.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(NumberScan, AnyBaseIntegersReadLikeFormattedInput) {
    const struct { const char* text; bool ok; int32_t value; } cases[] = {
                             {"0x20", true, 32},  {"0X1f", true, 31},       {"010", true, 8},
                             {"08", true, 0},     {"0x", true, 0},          {"  -12abc", true, -12},
                             {"+7", true, 7},     {"-0x10", true, -16},     {"2147483647", true, 2147483647},
                             {"-2147483648", true, -2147483647 - 1},        {"2147483648", false, 0},
                             {"99999999999", false, 0}, {"", false, 0},     {"abc", false, 0},
                             {"-", false, 0},     {"+-1", false, 0},        {"0xffffffff", false, 0}};
    for (const auto& c : cases) {
        int32_t v = 12345;
        EXPECT_EQ(scan_leading_int_any_base(c.text, v), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(v, c.value) << c.text;
        else EXPECT_EQ(v, 12345) << c.text;
    }
    int32_t decimal = 0;
    ASSERT_TRUE(scan_leading_int("010", decimal));
    EXPECT_EQ(decimal, 10);
}

TEST(NumberScan, DoublesIgnoreTheDecimalCommaLocale) {
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active());
    double v = -1.0;
    ASSERT_TRUE(scan_leading_double("0.25", v));
    EXPECT_EQ(v, 0.25);
    ASSERT_TRUE(scan_leading_double("0,25", v));
    EXPECT_EQ(v, 0.0);
    ASSERT_TRUE(scan_leading_double(" 1e3x", v));
    EXPECT_EQ(v, 1000.0);
    EXPECT_FALSE(scan_leading_double("1e999", v));
    EXPECT_FALSE(scan_leading_double("abc", v));
    ASSERT_TRUE(scan_leading_double("nan", v));
    EXPECT_TRUE(std::isnan(v));
}
