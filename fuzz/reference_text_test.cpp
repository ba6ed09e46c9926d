// The references the fuzzers judge by must themselves be right, or a fuzz
// run proves nothing: they are held to the worked examples of the system.
#include "fuzz/reference_text.h"
#include <gtest/gtest.h>
#include <cmath>
#include <string>

namespace {

std::string result(double y)
{
    std::string text;
    EXPECT_TRUE(reference_result(y, &text)) << y;
    return text;
}

std::string general(double value)
{
    std::string text;
    EXPECT_TRUE(reference_general(value, &text)) << value;
    return text;
}

} // namespace

TEST(ReferenceResult, RoundsHalfAwayFromZeroOnSeventeenDigits)
{
    EXPECT_EQ(result(0.0625), "0.063");
    EXPECT_EQ(result(-0.0625), "-0.063");
    EXPECT_EQ(result(0.1235), "0.124");      // 0.12349999… reads 0.12350000000000000
    EXPECT_EQ(result(0.3125), "0.313");
    EXPECT_EQ(result(0.0004999), "0");
    EXPECT_EQ(result(0.0005), "0.001");
    EXPECT_EQ(result(999.9995), "1000");
}

TEST(ReferenceResult, KeepsTheSignAndTrimsZeros)
{
    EXPECT_EQ(result(-0.0004), "-0");
    EXPECT_EQ(result(211.99999523162842), "212");
    EXPECT_EQ(result(373.1499938964844), "373.15");
    EXPECT_EQ(result(-17.77777777777778), "-17.778");
    EXPECT_EQ(result(393700.79040527344), "393700.79");
    EXPECT_EQ(result(1e20), "100000000000000000000");
    EXPECT_EQ(result(0.0), "0");
}

TEST(ReferenceResult, LeavesExactSeventeenDigitTiesOpen)
{
    std::string text;
    // 1e15 + 0.25 is exactly 1000000000000000.25: 17 digits leave .2 or .3.
    EXPECT_FALSE(reference_result(1e15 + 0.25, &text));
    // 273.15f + 100 is exactly 373.149993896484375, halfway at digit 17, but
    // both roundings give the same three decimals.
    EXPECT_TRUE(reference_result(373.149993896484375, &text));
    EXPECT_EQ(text, "373.15");
    EXPECT_FALSE(reference_result(NAN, &text));
    EXPECT_FALSE(reference_result(INFINITY, &text));
}

TEST(ReferenceGeneral, WritesTheExponentWithThreeDigits)
{
    EXPECT_EQ(general(1234567.0), "1.23457e+006");
    EXPECT_EQ(general(1e-7), "1e-007");
    EXPECT_EQ(general(1e300), "1e+300");
    EXPECT_EQ(general(1.8f), "1.8");
    EXPECT_EQ(general(32.0), "32");
    EXPECT_EQ(general(0.0001), "0.0001");
    EXPECT_EQ(general(-0.0), "-0");
}

TEST(ReferenceGeneral, LeavesTiesAndNonFiniteValuesOpen)
{
    std::string text;
    EXPECT_FALSE(reference_general(1234565.0, &text));   // exactly halfway at six digits
    EXPECT_TRUE(reference_general(0.125, &text));
    EXPECT_FALSE(reference_general(INFINITY, &text));
}

TEST(ReferenceDecimal, ReadsOnlyTheDecimalPrefix)
{
    EXPECT_EQ(reference_decimal("12.5kg"), 12.5);
    EXPECT_EQ(reference_decimal("  -3e2x"), -300.0);
    EXPECT_EQ(reference_decimal("1.23457e+"), 1.23457);
    EXPECT_EQ(reference_decimal("0x1A"), 0.0);
    EXPECT_EQ(reference_decimal("inf"), 0.0);
    EXPECT_EQ(reference_decimal("."), 0.0);
    EXPECT_EQ(reference_decimal(".5"), 0.5);
    EXPECT_EQ(reference_decimal("5."), 5.0);
    EXPECT_TRUE(std::isinf(reference_decimal("1e999")));
    EXPECT_TRUE(std::signbit(reference_decimal("-0")));
    EXPECT_EQ(decimal_prefix("\t\v 7e+2z"), 7u);
}

TEST(ReferenceTrim, FollowsTheTrailingZeroTable)
{
    EXPECT_EQ(reference_trim("12.500"), "12.5");
    EXPECT_EQ(reference_trim("3.000"), "3");
    EXPECT_EQ(reference_trim("100.000"), "100");
    EXPECT_EQ(reference_trim("0.000"), "0");
    EXPECT_EQ(reference_trim("-0.000"), "-0");
    EXPECT_EQ(reference_trim("10.050"), "10.05");
    EXPECT_EQ(reference_trim("12.345"), "12.345");
    EXPECT_EQ(reference_trim("100"), "100");
    EXPECT_EQ(reference_trim("1.0.0"), "1.0");
}
