// The default database as the program gets it: resources/units.txt built
// into a dv.dat, loaded back, and converted with the program's own code.
#include "convert/conversion.h"
#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/file_bytes.h"
#include "testing/files.h"
#include "tools/dvtool/units_text.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

class DefaultDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TestFolder folder;
        std::string error;
        ASSERT_TRUE(read_units_text(read_file(DUVARIN_SOURCE_DIR "/resources/units.txt"), false, "units.txt", error))
            << error;
        std::string dat = folder.file("dv.dat");
        ASSERT_TRUE(save_database(dat.c_str()));
        load_database(dat.c_str());
    }
    static void TearDownTestSuite() { free_database(); }

    // What the Convert page shows for `to` after `value` is typed for `from`.
    static std::string convert(const char* group_name, const char* from, const char* value, const char* to)
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
    const char* order[] = {"长度", "面积",     "体积", "质量", "温度", "速度", "压强", "能量", "功率",
                           "时间", "数据存储", "角度", "力",   "流量", "频率", "密度", "扭矩"};
    ASSERT_EQ(group_count(), 17);
    for (int i = 0; i < 17; ++i)
        ASSERT_EQ(name_of(group_at(i)->name), order[i]) << "position " << i;
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        std::string group_name = name_of(group->name);
        EXPECT_GE(member_count(group), 4) << group_name;
        EXPECT_LE(member_count(group), field_count) << group_name;
        std::set<std::string> names;
        for (UnitMember* member = group->header.next; member; member = member->next) {
            std::string name = name_of(member->name);
            EXPECT_TRUE(!name.empty() && name.size() <= 15) << name;
            EXPECT_TRUE(names.insert(name).second) << group_name << " twice: " << name;
            // A zero or infinite a would show "null" in a field.
            EXPECT_TRUE(std::isfinite(member->a) && member->a > 0) << name;
        }
    }
    // The group's base is chosen for accuracy; the list still starts with
    // the unit people look for first.
    EXPECT_EQ(name_of(find_group("温度")->header.next->name), "摄氏度");
}

TEST_F(DefaultDatabaseTest, WellKnownEquivalencesShowAtThreeDecimals)
{
    EXPECT_EQ(convert("长度", "英寸", "1", "厘米"), "2.54");
    EXPECT_EQ(convert("长度", "英里", "1", "千米"), "1.609");
    EXPECT_EQ(convert("长度", "纳米", "1000", "微米"), "1");
    EXPECT_EQ(convert("面积", "公亩", "1", "平方米"), "100");
    EXPECT_EQ(convert("体积", "美制加仑", "1", "美制杯"), "16");
    EXPECT_EQ(convert("体积", "美制杯", "1", "毫升"), "236.588");
    EXPECT_EQ(convert("体积", "美制汤匙", "1", "美制茶匙"), "3");
    EXPECT_EQ(convert("体积", "美制夸脱", "1", "美制品脱"), "2");
    EXPECT_EQ(convert("体积", "英制品脱", "1", "英制液量盎司"), "20");
    EXPECT_EQ(convert("质量", "磅", "1", "千克"), "0.454");
    EXPECT_EQ(convert("质量", "英石", "1", "磅"), "14");
    EXPECT_EQ(convert("质量", "微克", "1000", "毫克"), "1");
    EXPECT_EQ(convert("温度", "摄氏度", "100", "华氏度"), "212");
    EXPECT_EQ(convert("温度", "摄氏度", "100", "开尔文"), "373.15");
    EXPECT_EQ(convert("温度", "华氏度", "0", "摄氏度"), "-17.778");
    // The conventional millimetre of mercury, and the torr beside it.
    EXPECT_EQ(convert("压强", "毫米汞柱", "1", "帕"), "133.322");
    EXPECT_EQ(convert("压强", "毫米汞柱", "100", "托"), "100");
    EXPECT_EQ(convert("压强", "标准大气压", "1", "托"), "760");
    EXPECT_EQ(convert("压强", "英寸汞柱", "1", "帕"), "3386.389");
    EXPECT_EQ(convert("压强", "标准大气压", "1", "千帕"), "101.325");
    EXPECT_EQ(convert("压强", "米水柱", "1", "千帕"), "9.807");
    EXPECT_EQ(convert("能量", "千瓦时", "1", "兆焦"), "3.6");
    EXPECT_EQ(convert("能量", "千卡(热化学)", "1", "焦耳"), "4184");
    EXPECT_EQ(convert("能量", "千卡(国际)", "1", "焦耳"), "4186.8");
    EXPECT_EQ(convert("功率", "千卡/时(国际)", "1", "瓦"), "1.163");
    EXPECT_EQ(convert("功率", "马力", "1", "瓦"), "735.499");
    EXPECT_EQ(convert("时间", "小时", "1", "秒"), "3600");
    EXPECT_EQ(convert("时间", "年(365天)", "1", "天"), "365");
    EXPECT_EQ(convert("数据存储", "吉字节(二进制)", "1", "兆字节(二进制)"), "1024");
    EXPECT_EQ(convert("数据存储", "吉字节(十进制)", "1", "兆字节(十进制)"), "1000");
    EXPECT_EQ(convert("数据存储", "千字节(二进制)", "1", "千字节(十进制)"), "1.024");
    EXPECT_EQ(convert("角度", "度", "180", "弧度"), "3.142");
    EXPECT_EQ(convert("角度", "密位(1/6000圈)", "1000", "度"), "60");
    EXPECT_EQ(convert("频率", "转/分", "60", "赫兹"), "1");
    EXPECT_EQ(convert("频率", "赫兹", "1", "弧度/秒"), "6.283");
    EXPECT_EQ(convert("频率", "兆赫", "1", "千赫"), "1000");
    EXPECT_EQ(convert("密度", "克/立方厘米", "1", "千克/立方米"), "1000");
    EXPECT_EQ(convert("密度", "磅/立方英尺", "1", "千克/立方米"), "16.018");
    EXPECT_EQ(convert("扭矩", "千克力·米", "1", "牛·米"), "9.807");
    EXPECT_EQ(convert("扭矩", "磅力·英尺", "1", "磅力·英寸"), "12");
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
    EXPECT_EQ(convert("压强", "兆帕", "99999", "帕"), "99999000000");
    EXPECT_EQ(convert("能量", "千瓦时", "1", "焦耳"), "3600000");
    EXPECT_EQ(convert("时间", "天", "99999", "微秒"), "8639913600000000");
    EXPECT_EQ(convert("数据存储", "太字节(二进制)", "1", "字节"), "1099511627776");
    EXPECT_EQ(convert("数据存储", "吉字节(十进制)", "1", "比特"), "8000000000");
    EXPECT_EQ(convert("角度", "圈", "1", "角秒"), "1296000");
    EXPECT_EQ(convert("流量", "立方米/秒", "1", "升/时"), "3600000");
    EXPECT_EQ(convert("频率", "吉赫", "1", "赫兹"), "1000000000");
}

// The temperature scales in terms of the Reaumur degree, the group's base:
// value = (num / 4) x reaumur + hundredths / 100, all exact.
struct TemperatureScale {
    const char* name;
    long long num;
    long long hundredths;
};

// The exact value of x in `from` shown in `to`, "%.3lf" rounded half away
// from zero and trimmed as the Convert page shows it.
std::string exact_temperature(long long x, const TemperatureScale& from, const TemperatureScale& to)
{
    // y = to.num (100 x - from.hundredths) / (100 from.num) + to.hundredths / 100
    long long numerator = to.num * (100 * x - from.hundredths) + from.num * to.hundredths;
    long long denominator = 100 * from.num;
    long long magnitude = numerator < 0 ? -numerator : numerator;
    long long thousandths = (2 * magnitude * 1000 + denominator) / (2 * denominator);
    char text[result_size];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", numerator < 0 ? "-" : "", thousandths / 1000, thousandths % 1000);
    trim_trailing_zeros(text, result_size);
    return text;
}

TEST_F(DefaultDatabaseTest, TemperaturesOfWholeNumbersShowExactly)
{
    const TemperatureScale scales[] = {
        {"摄氏度", 5, 0}, {"华氏度", 9, 3200}, {"开尔文", 5, 27315}, {"兰氏度", 9, 49167}, {"列氏度", 4, 0}};
    EXPECT_EQ(convert("温度", "摄氏度", "12345", "华氏度"), "22253");
    // The one exception: 273.15 and 491.67 round to floats in different
    // directions, so absolute zero comes out 1.4e-5 below zero.
    EXPECT_EQ(convert("温度", "兰氏度", "0", "开尔文"), "-0");
    std::vector<long long> values;
    for (long long x = 0; x <= 1000; ++x)
        values.push_back(x);
    for (long long x : {12345LL, 45678LL, 99999LL})
        values.push_back(x);
    for (const TemperatureScale& from : scales)
        for (const TemperatureScale& to : scales) {
            if (&from == &to)
                continue;
            for (long long x : values) {
                if (x == 0 && from.hundredths == 49167 && to.hundredths == 27315)
                    continue;
                std::string typed = std::to_string(x);
                ASSERT_EQ(convert("温度", from.name, typed.c_str(), to.name), exact_temperature(x, from, to))
                    << typed << " " << from.name << " -> " << to.name;
            }
        }
}

}  // namespace
