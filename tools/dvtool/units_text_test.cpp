// The units text both ways: what dvtool build refuses, and that whatever a
// dv.dat can hold comes back from dvtool dump unchanged.
#include "tools/dvtool/units_text.h"

#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/file_bytes.h"
#include "testing/files.h"
#include "tools/dvtool/coefficient_form.h"
#include "tools/dvtool/text_encoding.h"

#include <cstdint>
#include <cstring>
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

uint32_t bits_of(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// Every group and member, names as all 16 bytes, coefficients as bits.
std::string snapshot()
{
    std::string out;
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        out += "[" + std::string(group->name, name_size) + "]";
        for (UnitMember* member = group->header.next; member; member = member->next)
            out += std::string(member->name, name_size) + std::to_string(bits_of(member->a)) + "," +
                   std::to_string(bits_of(member->b)) + ";";
    }
    return out;
}

class UnitsTextTest : public ::testing::Test {
protected:
    void TearDown() override { free_database(); }

    std::string error;
    bool read(const std::string& text, bool gbk = false) { return read_units_text(text, gbk, "units.txt", error); }

    void expect_round_trip(bool gbk)
    {
        std::string before = snapshot();
        std::string text = write_units_text();
        ASSERT_TRUE(read(gbk ? text : utf8(text), gbk)) << error;
        EXPECT_EQ(snapshot(), before);
    }
};

TEST_F(UnitsTextTest, TheWorkedExampleBuildsItsSeventyTwoBytes)
{
    // A byte-order mark, CR LF, tabs, comments and blank lines change nothing.
    ASSERT_TRUE(read("\xEF\xBB\xBF" + utf8("# 温度\r\n\r\n [温度]  # 组\r\n摄氏度\t1\t0\r\n"
                                           "华氏度  1.8  32")))
        << error;
    TestFolder folder;
    std::string dat = folder.file("dv.dat");
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat), read_file(DUVARIN_SOURCE_DIR "/database/testdata/temperature.dat"));
}

TEST_F(UnitsTextTest, EveryWrongLineIsReportedWithItsNumberAndNothingIsKept)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"[温度]\n八个汉字八个汉字  1  0\n", "units.txt:2: the name 八个汉字八个汉字 is 16 bytes"},
        {"[温度]\n# 注释\n摄氏度  1.8x  0\n", "units.txt:3: a 1.8x: not a number"},
        {"[温度]\n摄氏度  1\n", "units.txt:2: a unit line needs a name, a and b"},
        {"摄氏度  1  0\n", "units.txt:1: a unit comes before the first [group] line"},
        {"[温度\n", "units.txt:1: a group line must end with ]"},
        {"[温度]\n摄\\q度  1  0\n", "units.txt:2: a backslash in a name"},
        {"[温度]\n摄\\x00度  1  0\n", "units.txt:2: a name cannot hold a zero byte"},
        {"[温度]\n摄氏度  1  1e39\n", "units.txt:2: b 1e39: too large for a 32-bit float"},
        {"[温度]\n摄氏度  1e-50  0\n", "units.txt:2: a 1e-50: too small for a 32-bit float"},
        {"[温度]\n摄氏度  1  0  =\n", "units.txt:2: nothing follows the ="},
        {"[温度]\n= tempC\n", "units.txt:2: a definition needs a [group] or unit line"},
        {"[温度]\n摄氏度  1  0  = 摄氏\n", "units.txt:2: a definition is printable ASCII"},
        {"[温度]\na=b  1  0\n", "units.txt:2: a unit line needs a name, a and b"},
        {"# 只有注释\n", "units.txt: holds no group"},
    };
    for (const Case& c : cases) {
        append_group("旧");
        EXPECT_FALSE(read(utf8(c.text))) << c.text;
        std::string message = utf8(c.message);
        EXPECT_EQ(error.compare(0, message.size(), message), 0) << error;
        EXPECT_EQ(group_count(), 0) << c.text;
    }
    // No GBK form (an emoji), no UTF-8 at all, a lone GBK lead byte.
    EXPECT_FALSE(read("[x]\n\xF0\x9F\x98\x80  1  0\n"));
    EXPECT_FALSE(read("[x\x80]\n"));
    EXPECT_FALSE(read("[x]\nab\xB0  1  0\n", true));
}

TEST_F(UnitsTextTest, DefinitionsAreKeptBesideTheDatabaseWithTheirLines)
{
    std::vector<UnitDefinition> definitions;
    ASSERT_TRUE(read_units_text(utf8("[温度] = tempreaumur  # 基准\n"
                                     "摄氏度  1.25  0  = tempC\n"
                                     "列氏度  1  0\n"
                                     "\n[压强]=Pa\n"
                                     "英寸汞柱  3386.3887  0=3386.388640341 Pa # 常规值\n"),
                                false, "units.txt", error, &definitions))
        << error;
    ASSERT_EQ(definitions.size(), 4u);
    struct Expected {
        int line, group, member;
        const char* text;
    } expected[] = {{1, 0, -1, "tempreaumur"}, {2, 0, 0, "tempC"}, {5, 1, -1, "Pa"}, {6, 1, 0, "3386.388640341 Pa"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(definitions[i].line, expected[i].line) << i;
        EXPECT_EQ(definitions[i].group, expected[i].group) << i;
        EXPECT_EQ(definitions[i].member, expected[i].member) << i;
        EXPECT_EQ(definitions[i].text, expected[i].text) << i;
    }
    // The definitions change nothing in what dv.dat holds.
    EXPECT_EQ(member_at(group_at(1), 0)->a, 3386.3887f);
    EXPECT_EQ(name_of(member_at(group_at(0), 1)->name), "列氏度");
    // A failed read leaves no definitions behind.
    EXPECT_FALSE(read_units_text("[x] = m\ny  1\n", false, "units.txt", error, &definitions));
    EXPECT_TRUE(definitions.empty());
}

TEST_F(UnitsTextTest, NamesTheSyntaxWouldSwallowComeBackUnchanged)
{
    // \xB0\x5C and \xB0\x5D hold a backslash and a ']' as trail bytes.
    const char* names[] = {"",         "\"\"",        " lead",    "trail ",   "a#b",      "a=b",
                           "in side",  "back\\slash", "[open",    "\\x41",    "tab\t",    "\x01\x7F",
                           "\x80\xFF", "end\x81",     "\x81\x30", "\xB0\x5C", "\xB0\x5D", "温度]"};
    UnitGroup* group = append_group("[组]");
    for (const char* name : names) {
        append_member(group, name, 1, 0);
        append_group(name);
    }
    expect_round_trip(false);
    expect_round_trip(true);
    EXPECT_EQ(name_of(member_at(group_at(0), 15)->name), "\xB0\x5C");
}

TEST_F(UnitsTextTest, EveryDoubleByteCodeComesBackUnchanged)
{
    // Seven pairs to a name; codes the converter does not know go as escapes.
    UnitGroup* group = nullptr;
    std::string name;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            name += char(lead);
            name += char(trail);
            if (name.size() < 14)
                continue;
            if (!group || member_count(group) == 200)
                group = append_group("g");
            append_member(group, name.c_str(), 1, 0);
            name.clear();
        }
    expect_round_trip(false);
    expect_round_trip(true);
}

TEST_F(UnitsTextTest, CoefficientsComeBackBitForBit)
{
    std::vector<uint32_t> patterns = {0x00000000, 0x80000000, 0x3FE66666, 0x00000001, 0x807FFFFF,
                                      0x7F7FFFFF, 0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00001};
    uint32_t state = 12345;
    for (int i = 0; i < 5000; ++i)
        patterns.push_back(state = state * 1103515245u + 12345u);
    for (uint32_t bits : patterns) {
        float value;
        std::memcpy(&value, &bits, 4);
        char text[coefficient_text_size];
        format_coefficient(value, text);
        float back = 0;
        ASSERT_EQ(read_coefficient(text, back), nullptr) << text;
        ASSERT_EQ(bits_of(back), bits) << text;
    }
    // The shortest form that does it, as the program would show it.
    char text[coefficient_text_size];
    format_coefficient(39.3700787f, text);
    EXPECT_STREQ(text, "39.37008");
}

TEST_F(UnitsTextTest, AnUnterminatedNameIsExplainedAndRefused)
{
    UnitMember* member = append_member(append_group("g"), "x", 1, 0);
    std::memcpy(member->name, "sixteen bytes!!!", name_size);
    std::string text = write_units_text();
    EXPECT_NE(text.find("# 注意：下一行的名称占满 16 字节，没有结束符。"), std::string::npos);
    EXPECT_NE(text.find("\nsixteen bytes!!!  "), std::string::npos) << text;
    EXPECT_FALSE(read(utf8(text)));
    EXPECT_NE(error.find("is 16 bytes in GBK; at most 15 fit"), std::string::npos) << error;
}

}  // namespace
