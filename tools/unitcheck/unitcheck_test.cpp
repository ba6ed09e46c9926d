// The checks against GNU units: the exact texts they compare with, and that
// they catch wrong coefficients without taking right ones for wrong.
#include "database/unit_database.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/unitcheck/accuracy.h"
#include "tools/unitcheck/coefficient_check.h"
#include "tools/unitcheck/reference_number.h"
#include "tools/unitcheck/units_program.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Source literals are GBK at run time; the units text is UTF-8.
std::string utf8(const std::string& gbk)
{
    std::string out;
    EXPECT_TRUE(gbk_to_utf8(gbk, out));
    return out;
}

TEST(ExactResultText, RoundsTheDecimalDigitsHalfAwayFromZeroAsTheProgramDoes)
{
    struct Case {
        const char* number;
        const char* text;
    } cases[] = {
        {"1.2345", "1.235"},
        {"-17.7775", "-17.778"},
        {"0.0625", "0.063"},
        {"1.2344999", "1.234"},
        {"999.9995", "1000"},
        {"-999.9995", "-1000"},
        {"0.0004", "0"},
        {"-0.0004", "-0"},
        {"0.0005", "0.001"},
        {"12.5", "12.5"},
        {"100", "100"},
        {"0", "0"},
        {"0.000277777777777778", "0"},
        {"5e-04", "0.001"},
        {"1e+26", "100000000000000000000000000"},
        {"1.12589990684262e+15", "1125899906842620"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exact_result_text(c.number), c.text) << c.number;
}

TEST(ExactResultText, BeyondFifteenDigitsAgreementWithTheKnownDigitsIsEnough)
{
    // 2^50 bytes: the page shows every digit; units knows fifteen of them.
    EXPECT_TRUE(shows_exactly("1125899906842624", "1.12589990684262e+15"));
    EXPECT_FALSE(shows_exactly("1125899906842634", "1.12589990684262e+15"));
    EXPECT_FALSE(shows_exactly("31535999162949.645", "31536000000000"));
    // Where the fourth decimal is known, only the exact text will do.
    EXPECT_FALSE(shows_exactly("1.234", "1.2345"));
    EXPECT_FALSE(shows_exactly("99999000000.001", "99999000000"));
    EXPECT_TRUE(shows_exactly("1.235", "1.2345"));
}

TEST(NearestFloats, AHalfwayPointWithinReachAllowsBothNeighbours)
{
    FloatRange range = nearest_floats(1.8L, 1e-12L);
    EXPECT_TRUE(in_range(1.8f, range));
    EXPECT_EQ(range.low, range.high);
    // 16777217 lies halfway between the floats 16777216 and 16777218.
    range = nearest_floats(16777217.0L, 1e-6L);
    EXPECT_EQ(range.low, 16777216.0f);
    EXPECT_EQ(range.high, 16777218.0f);
    EXPECT_FALSE(in_range(16777220.0f, range));
}

class GnuUnitsTest : public ::testing::Test {
protected:
    void TearDown() override { free_database(); }

    std::vector<UnitDefinition> definitions;
    std::string report;
    std::string error;

    void read(const char* gbk_text)
    {
        ASSERT_TRUE(read_units_text(utf8(gbk_text), false, "units.txt", error, &definitions)) << error;
    }

    // The report, or what kept the check from running.
    std::string check()
    {
        report.clear();
        if (!check_coefficients(definitions, "units.txt", report, error))
            return "cannot run: " + error;
        std::string out;
        EXPECT_TRUE(gbk_to_utf8(report, out));
        return out;
    }
};

TEST_F(GnuUnitsTest, AnswersLineUpWithTheirQueriesAfterAFailedOne)
{
    std::vector<UnitsQuery> queries = {{"mile(1)", "m"},
                                       {"2 (frobs)", "m"},
                                       {"tempC(100)", "tempF"},
                                       {"1 (kg)", "m"},
                                       {"7 (1|6000 circle)", "degree"}};
    std::vector<UnitsAnswer> answers;
    ASSERT_TRUE(ask_units(queries, answers, error)) << error;
    ASSERT_EQ(answers.size(), 5u);
    EXPECT_EQ(answers[0].text, "1609.344");
    EXPECT_FALSE(answers[1].ok);
    EXPECT_NE(answers[1].text.find("Unknown unit 'frobs'"), std::string::npos) << answers[1].text;
    EXPECT_EQ(answers[2].text, "212");
    EXPECT_FALSE(answers[3].ok);
    EXPECT_NE(answers[3].text.find("conformability error"), std::string::npos) << answers[3].text;
    EXPECT_EQ(answers[4].text, "0.42");
    EXPECT_TRUE(answers[0].ok && answers[2].ok && answers[4].ok);
}

TEST_F(GnuUnitsTest, AMissingUnitsProgramIsAFailureThatSaysWhatToInstall)
{
    std::string path = std::getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    std::vector<UnitsAnswer> answers;
    bool ran = ask_units({{"mile(1)", "m"}}, answers, error);
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(ran);
    EXPECT_NE(error.find("Debian package units"), std::string::npos) << error;
}

TEST_F(GnuUnitsTest, RightCoefficientsPassAffineUnitsThroughBothOfThem)
{
    read("[温度] = tempreaumur\n"
         "摄氏度  1.25  0       = tempC\n"
         "华氏度  2.25  32      = tempF\n"
         "开尔文  1.25  273.15  = K\n"
         "列氏度  1     0       = tempreaumur\n"
         "[压强] = MPa\n"
         "英寸汞柱  295.29984  0  = inHg\n"
         "托  7500.6167  0  = torr\n"
         "[tie] = m\n"
         "a  16777216  0  = 1|16777217 m\n"
         "b  16777218  0  = 1|16777217 m\n");
    EXPECT_EQ(check(), "");
}

TEST_F(GnuUnitsTest, EveryWrongOrMissingDefinitionOrCoefficientIsReported)
{
    read("[温度] = tempreaumur\n"
         "华氏度  2.25  32.5    = tempF\n"
         "兰氏度  2.2   491.67  = tempR\n"
         "[压强] = MPa\n"
         "英寸汞柱  295.2998016  0  = inHg\n"
         "毫米汞柱  7500.617  0\n"
         "水柱  1  0  = m wet\n"
         "质量  1  0  = kg\n"
         "[tie] = m\n"
         "c  16777220  0  = 1|16777217 m\n"
         "[无基准]\n"
         "x  1  0  = m\n");
    std::string expected =
        "units.txt:2: 华氏度: b is 32.5, but the float nearest to 32 is 32\n"
        "units.txt:3: 兰氏度: a is 2.2, but the float nearest to 2.25 is 2.25\n"
        "units.txt:5: 英寸汞柱: a is 295.2998, but the float nearest to 295.299833010101 is 295.29984\n"
        "units.txt: [压强] 毫米汞柱: no definition\n"
        "units.txt:7: 水柱: units cannot convert MPa(0) to m wet: Unknown unit 'wet'\n"
        "units.txt:8: 质量: units cannot convert MPa(0) to kg: conformability error";
    expected = utf8(expected);
    std::string got = check();
    EXPECT_EQ(got.substr(0, expected.size()), expected) << got;
    EXPECT_NE(got.find("units.txt:10: c: a is 16777220, but the float nearest to 16777217 is "
                       "16777216 or 16777218\n"),
              std::string::npos)
        << got;
    EXPECT_NE(got.find(utf8("units.txt: [无基准]: the group line gives no base")), std::string::npos) << got;
}

TEST_F(GnuUnitsTest, AccuracyComparesEveryShownResultWithTheExactOne)
{
    // 12345 分米 is 1.2345 千米 exactly, a tie the double lands just below.
    read("[长度] = km\n千米  1  0  = km\n分米  10000  0  = dm\n");
    std::vector<GroupAccuracy> groups;
    std::string mismatches;
    ASSERT_TRUE(measure_accuracy(definitions, default_typed_values, groups, &mismatches, error)) << error;
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].members, 2);
    EXPECT_EQ(groups[0].texts, 14);
    EXPECT_EQ(groups[0].exact, 13);
    EXPECT_EQ(utf8(mismatches), utf8("[长度] 12345 分米 -> 千米: shows 1.234, exact 1.235 "
                                     "(units: 1.2345)\n"));
}

}  // namespace
