// dvtool check: the walk must reach the verdict load_database reaches, and
// say where and why a file loads empty.
#include "tools/dvtool/file_check.h"

#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/file_bytes.h"
#include "testing/files.h"
#include "tools/dvtool/check_report.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

void put_member(std::string& bytes, const std::string& name, uint32_t a_bits)
{
    put_name(bytes, name);
    put_int32(bytes, a_bits);
    put_int32(bytes, 0);
}

const uint32_t one = 0x3F800000;

class FileCheckTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string dat = folder.file("dv.dat");
    FileCheck check;
    void TearDown() override { free_database(); }

    // The report, with the database loaded as dvtool check loads it.
    std::string checked(const std::string& bytes)
    {
        EXPECT_TRUE(write_file(dat, bytes));
        check_database_file(dat.c_str(), check);
        load_database(dat.c_str());
        return describe_check(check);
    }
};

TEST_F(FileCheckTest, EveryCutOfTheWorkedExampleGetsTheLoadersVerdict)
{
    std::string example = read_file(DUVARIN_SOURCE_DIR "/database/testdata/temperature.dat");
    ASSERT_EQ(example.size(), 72u);
    example.push_back(0x55);  // an extra byte, which the loader ignores
    for (size_t size = 0; size <= example.size(); ++size) {
        std::string report = checked(example.substr(0, size));
        EXPECT_EQ(check.outcome == CheckOutcome::loads, group_count() > 0) << size << " bytes";
        EXPECT_EQ(check.outcome, size < 4    ? CheckOutcome::too_short
                                 : size < 72 ? CheckOutcome::cut_off
                                             : CheckOutcome::loads)
            << size;
        if (check.outcome == CheckOutcome::cut_off) {
            EXPECT_EQ(report.find("cut off at byte " + std::to_string(size) + ", in the "), 0u) << report;
        }
    }
    // Where the walk stopped: a's first byte is there, the rest is not.
    checked(example.substr(0, 41));
    EXPECT_TRUE(check.stop_group == 1 && check.stop_member == 1 && check.field_offset == 40);
    EXPECT_STREQ(check.stop_field, "a");
}

TEST_F(FileCheckTest, EachReasonForAnEmptyDatabaseIsNamed)
{
    check_database_file(folder.file("absent.dat").c_str(), check);
    EXPECT_EQ(describe_check(check).find("missing; the program starts with an empty database."), 0u);
    EXPECT_EQ(checked(std::string("\x01\0\0", 3)).find("too short (3 bytes;"), 0u);
    EXPECT_EQ(checked(std::string(4, '\0')).find("group count 0 is below 1;"), 0u);
    EXPECT_EQ(checked(std::string(4, '\xFF')).find("group count -1 is below 1;"), 0u);

    // Two groups announced, one present: no partial database.
    std::string bytes;
    put_int32(bytes, 2);
    put_int32(bytes, 1);
    put_name(bytes, "g");
    put_member(bytes, "m", one);
    std::string report = checked(bytes);
    EXPECT_EQ(group_count(), 0);
    EXPECT_EQ(report.find("cut off at byte 48, in the member count of group 2 of 2"), 0u) << report;
}

TEST_F(FileCheckTest, ALoadingFileIsListedWithWhatTheUserShouldKnow)
{
    std::string bytes;
    put_int32(bytes, 3);
    put_int32(bytes, uint32_t(-2));  // a negative count gives no members
    put_name(bytes, "空");
    put_int32(bytes, 3);
    put_name(bytes, "sixteen bytes!!!");
    put_member(bytes, "zero", 0);
    put_member(bytes, "nan", 0x7FC00000);
    put_member(bytes, "bad\xFF", one);
    put_int32(bytes, 25);
    put_name(bytes, "many");
    for (int i = 0; i < 25; ++i)
        put_member(bytes, i < 24 ? "m" : std::string("last\0x", 6), one);
    bytes.push_back(0);
    bytes.push_back(0);

    std::string report = checked(bytes);
    EXPECT_EQ(check.outcome, CheckOutcome::loads);
    const char* expected[] = {
        "loads 3 groups with 28 members (" /* 736 of 738 bytes */ "736 bytes).\n"
        "  1. [空] 0:\n"
        "  2. [sixteen bytes!!!] 3: zero, nan, bad\\xFF\n",
        "  group 1: has no members.",
        "  group 2: the name fills all 16 bytes and has no terminator.",
        "  group 2 member 1: a is 0 or not a number",
        "  group 2 member 2: a is 0 or not a number",
        "  group 2 member 3: the name holds bytes that are not printable GBK text",
        "  group 3: has 25 members; the Convert page shows the first 24.",
        "  group 3 member 25: bytes after the name's terminator are not zero",
        "  2 bytes after the last group are not read.",
    };
    for (const char* line : expected)
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
}

}  // namespace
