// The default database as the program gets it: resources/units.txt built
// into a dv.dat, loaded back, and converted with the program's own code.
#include "convert/conversion.h"
#include "database/database_file.h"
#include "database/unit_database.h"
#include "platform/test_folder.h"
#include "tools/dvtool/units_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

std::string name_of(const char* field)
{
    char text[name_text_size];
    return name_text(field, text);
}

class DefaultDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TestFolder folder;
        Bytes bytes = read_file(DUVARIN_SOURCE_DIR "/resources/units.txt");
        std::string error;
        ASSERT_TRUE(read_units_text(std::string(bytes.begin(), bytes.end()), false, "units.txt",
                                    error))
            << error;
        std::string dat = folder.file("dv.dat");
        ASSERT_TRUE(save_database(dat.c_str()));
        load_database(dat.c_str());
    }
    static void TearDownTestSuite() { free_database(); }

    // What the Convert page shows for `to` after `value` is typed for `from`.
    static std::string convert(const char* group_name, const char* from, const char* value,
                               const char* to)
    {
        UnitGroup* group = find_group(group_name);
        if (!group)
            return "no group";
        int source = 0;
        while (member_at(group, source) && name_of(member_at(group, source)->name) != from)
            ++source;
        if (!member_at(group, source))
            return "no such unit";
        FieldUpdate updates[field_count - 1];
        int count = convert_from_field(group, source, value, updates);
        for (int i = 0; i < count; ++i)
            if (name_of(member_at(group, updates[i].index)->name) == to)
                return updates[i].text;
        return "no such unit";
    }
};

TEST_F(DefaultDatabaseTest, GroupsAndNamesFitTheProgram)
{
    const char* order[] = {"长度", "面积", "体积", "质量", "温度", "速度", "压强",
                           "能量", "功率", "时间", "数据存储", "角度", "力", "流量"};
    for (int i = 0; i < 14; ++i)
        ASSERT_EQ(name_of(group_at(i)->name), order[i]) << "position " << i;
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        std::string group_name = name_of(group->name);
        EXPECT_GE(member_count(group), 4) << group_name;
        EXPECT_LE(member_count(group), field_count) << group_name;
        // The first member is the base of its group.
        EXPECT_EQ(group->header.next->a, 1.0f) << group_name;
        EXPECT_EQ(group->header.next->b, 0.0f) << group_name;
        std::set<std::string> names;
        for (UnitMember* member = group->header.next; member; member = member->next) {
            std::string name = name_of(member->name);
            EXPECT_TRUE(!name.empty() && name.size() <= 15) << name;
            EXPECT_TRUE(names.insert(name).second) << group_name << " twice: " << name;
            // A zero or infinite a would show "null" in a field.
            EXPECT_TRUE(std::isfinite(member->a) && member->a > 0) << name;
        }
    }
}

TEST_F(DefaultDatabaseTest, WellKnownEquivalencesShowAtThreeDecimals)
{
    EXPECT_EQ(convert("长度", "英寸", "1", "厘米"), "2.54");
    EXPECT_EQ(convert("长度", "英里", "1", "千米"), "1.609");
    EXPECT_EQ(convert("温度", "摄氏度", "100", "华氏度"), "212");
    EXPECT_EQ(convert("温度", "摄氏度", "100", "开尔文"), "373.15");
    EXPECT_EQ(convert("温度", "华氏度", "0", "摄氏度"), "-17.778");
    EXPECT_EQ(convert("质量", "磅", "1", "千克"), "0.454");
    EXPECT_EQ(convert("能量", "千瓦时", "1", "兆焦"), "3.6");
    EXPECT_EQ(convert("能量", "千卡", "1", "焦耳"), "4184");
    EXPECT_EQ(convert("压强", "标准大气压", "1", "千帕"), "101.325");
    EXPECT_EQ(convert("压强", "标准大气压", "1", "毫米汞柱"), "760");
    EXPECT_EQ(convert("时间", "小时", "1", "秒"), "3600");
    // Data storage counts in binary: 1 吉字节 is 1024 兆字节.
    EXPECT_EQ(convert("数据存储", "吉字节", "1", "兆字节"), "1024");
    EXPECT_EQ(convert("角度", "度", "180", "弧度"), "3.142");
    EXPECT_EQ(convert("功率", "马力", "1", "瓦"), "735.499");
    // The market system as defined today.
    EXPECT_EQ(convert("长度", "里", "1", "米"), "500");
    EXPECT_EQ(convert("长度", "尺", "3", "米"), "1");
    EXPECT_EQ(convert("质量", "斤", "1", "克"), "500");
    EXPECT_EQ(convert("质量", "两", "1", "克"), "50");
    EXPECT_EQ(convert("面积", "亩", "1", "平方米"), "666.667");
    EXPECT_EQ(convert("体积", "斗", "1", "升"), "10");
}

// Each group's base makes these coefficients exact floats: with the metre as
// the base, 1 千米 would show as 999999.953 毫米.
TEST_F(DefaultDatabaseTest, LargeMetricResultsCarryNoFloatError)
{
    EXPECT_EQ(convert("长度", "千米", "1", "毫米"), "1000000");
    EXPECT_EQ(convert("面积", "平方千米", "1", "平方厘米"), "10000000000");
    EXPECT_EQ(convert("质量", "吨", "1", "毫克"), "1000000000");
    EXPECT_EQ(convert("能量", "千瓦时", "1", "焦耳"), "3600000");
    EXPECT_EQ(convert("时间", "年", "1", "秒"), "31536000");
    EXPECT_EQ(convert("角度", "圈", "1", "角秒"), "1296000");
}

} // namespace
