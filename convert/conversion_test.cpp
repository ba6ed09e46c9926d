#include "convert/conversion.h"
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string result_text(double y)
{
    char out[result_size];
    format_result(y, out);
    return out;
}

std::string trimmed(const char* text)
{
    char buffer[20];
    std::strcpy(buffer, text);
    trim_trailing_zeros(buffer, sizeof buffer);
    return buffer;
}

UnitMember member(float a, float b)
{
    UnitMember m = {};
    m.a = a;
    m.b = b;
    return m;
}

}  // namespace

// Builds groups in the process-wide database and frees them afterwards.
class ConvertFromField : public ::testing::Test {
protected:
    void TearDown() override { free_database(); }

    UnitGroup* temperatures()
    {
        UnitGroup* group = append_group("温度");
        append_member(group, "摄氏度", 1.0f, 0.0f);
        append_member(group, "华氏度", 1.8f, 32.0f);
        append_member(group, "开尔文", 1.0f, 273.15f);
        return group;
    }

    // The texts of a conversion in the fields of the group's members; "-"
    // for a field not written. Fields past the members must stay untouched.
    std::string fields(UnitGroup* group, int source, const char* text)
    {
        FieldUpdate updates[field_count - 1];
        int count = convert_from_field(group, source, text, updates);
        int members = member_count(group);
        std::string shown;
        int next = 0;
        for (int j = 0; j < members && j < field_count; j++) {
            if (next < count && updates[next].index == j)
                shown += updates[next++].text;
            else
                shown += "-";
            shown += j + 1 < members ? "|" : "";
        }
        EXPECT_EQ(next, count) << "a field past the members, or out of order";
        return shown;
    }
};

TEST_F(ConvertFromField, TemperaturesShowTheFloatCoefficients)
{
    UnitGroup* group = temperatures();
    EXPECT_EQ(fields(group, 0, "100"), "-|212|373.15");
    EXPECT_EQ(fields(group, 1, "212"), "100|-|373.15");
    EXPECT_EQ(fields(group, 0, "."), "-|32|273.15");
    EXPECT_EQ(fields(group, 1, "0"), "-17.778|-|255.372");
    EXPECT_EQ(fields(group, 2, "273.1"), "-0.05|31.91|-");
}

TEST_F(ConvertFromField, LengthsWeightsAndHalfwayResults)
{
    UnitGroup* lengths = append_group("长度");
    append_member(lengths, "米", 1.0f, 0.0f);
    append_member(lengths, "英寸", 39.3700787f, 0.0f);
    append_member(lengths, "两米", 2.0f, 0.0f);
    EXPECT_EQ(fields(lengths, 0, "10000"), "-|393700.79|20000");
    EXPECT_EQ(fields(lengths, 0, "7"), "-|275.591|14");

    UnitGroup* weights = append_group("重量");
    append_member(weights, "磅", 1.0f, 0.0f);
    append_member(weights, "盎司", 16.0f, 0.0f);
    append_member(weights, "磅", 1.0f, 0.0f);
    EXPECT_EQ(fields(weights, 1, "1"), "0.063|-|0.063");
    EXPECT_EQ(fields(weights, 1, "5"), "0.313|-|0.313");
    EXPECT_EQ(fields(weights, 0, ".1235"), "-|1.976|0.124");
}

TEST_F(ConvertFromField, ZeroCoefficientShowsNull)
{
    UnitGroup* group = temperatures();
    append_member(group, "新建项目", 0.0f, 0.0f);
    append_member(group, "空", NAN, 0.0f);
    EXPECT_EQ(fields(group, 3, "5"), "null|null|null|-|null");
    EXPECT_EQ(fields(group, 4, "5"), "null|null|null|null|-");
    EXPECT_EQ(fields(group, 0, "5"), "-|41|278.15|null|null");
}

TEST_F(ConvertFromField, WhichFieldsAreWritten)
{
    UnitGroup* group = temperatures();
    FieldUpdate updates[field_count - 1];
    ASSERT_EQ(convert_from_field(group, 1, "", updates), field_count - 1);
    for (int k = 0; k < field_count - 1; k++) {
        EXPECT_EQ(updates[k].index, k < 1 ? k : k + 1);
        EXPECT_STREQ(updates[k].text, "");
    }
    EXPECT_EQ(convert_from_field(group, 1, "5", updates), 2);
    EXPECT_EQ(fields(group, 1, "5"), "-15|-|258.15");

    UnitGroup* large = append_group("大");
    for (int k = 0; k < 30; k++)
        append_member(large, "项", 1.0f, static_cast<float>(k));
    ASSERT_EQ(convert_from_field(large, 23, "30", updates), field_count - 1);
    EXPECT_EQ(updates[22].index, 22);
    EXPECT_STREQ(updates[22].text, "29");
}

TEST_F(ConvertFromField, NothingToConvertFrom)
{
    UnitGroup* group = temperatures();
    FieldUpdate updates[field_count - 1];
    EXPECT_EQ(convert_from_field(0, 0, "5", updates), 0);
    EXPECT_EQ(convert_from_field(group, 3, "", updates), 0);  // past the members
    EXPECT_EQ(convert_from_field(group, -1, "5", updates), 0);
}

TEST_F(ConvertFromField, LongAndUnboundedResultsAreWhole)
{
    UnitGroup* group = append_group("巨");
    append_member(group, "一", 1.0f, 0.0f);
    append_member(group, "大", 1e30f, 0.0f);
    append_member(group, "无穷", INFINITY, 0.0f);
    append_member(group, "偏", 1.0f, INFINITY);
    EXPECT_EQ(fields(group, 0, "1e10"), "-|10000000150474662000000000000000000000000|null|null");
    EXPECT_EQ(fields(group, 2, "1"), "0|0|-|null");
}

TEST(ConvertValue, DividesBeforeItMultiplies)
{
    double y = 0;
    ASSERT_TRUE(convert_value(487.5, member(2.57142854f, 0), member(332, 0), &y));
    EXPECT_EQ(y, 0x1.ebbb55c29b686p+15);  // multiplying first ends in ...687
    EXPECT_FALSE(convert_value(1, member(-0.0f, 0), member(1, 0), &y));
}

TEST(FormatResult, RoundsSeventeenDigitsHalfAwayFromZero)
{
    struct Case {
        double y;
        const char* text;
    };
    const Case cases[] = {
        {0.0625, "0.063"},
        {-0.0625, "-0.063"},
        {0.1235, "0.124"},
        {0.9995, "1"},
        {999.9996, "1000"},
        {9.9995, "9.999"},  // the double is 9.99949999999999939
        {0.0005, "0.001"},
        {12345678901234.5625, "12345678901234.563"},
        {2.5, "2.5"},
        {12345678901234.0625, "12345678901234.063"},  // exact ties at the 17th digit
        {1e15 + 0.25, "1000000000000000.3"},
        {0.0004999, "0"},
        {12345678901234.021484375, "12345678901234.021"},  // 4 then 8: cut, not rounded
        {-0.0004, "-0"},
        {-0.0, "-0"},
        {1e-300, "0"},
        {1e20, "100000000000000000000"},
        {-1e15, "-1000000000000000"},
        {123456789012345678.0, "123456789012345680"},
        {INFINITY, "null"},
        {-INFINITY, "null"},
        {NAN, "null"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(result_text(c.y), c.text) << c.text;
    EXPECT_EQ(result_text(-DBL_MAX), "-17976931348623157" + std::string(292, '0'));
}

TEST(TrimTrailingZeros, DropsZerosAfterTheLastPoint)
{
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"12.500", "12.5"}, {"3.000", "3"},      {"100.000", "100"},  {"0.000", "0"},
        {"-0.000", "-0"},   {"10.050", "10.05"}, {"-3.250", "-3.25"}, {"12.345", "12.345"},
        {"100", "100"},     {"1.0.50", "1.0.5"}, {"100.", "100"},     {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trimmed(c.before), c.after) << c.before;
}

TEST(TrimTrailingZeros, StaysInsideItsBuffer)
{
    char buffer[8] = {'1', '2', '.', '5', '0', '0', '0', '0'};  // no terminator
    trim_trailing_zeros(buffer, sizeof buffer);
    EXPECT_EQ(std::memcmp(buffer, "12.50000", 8), 0);
}
