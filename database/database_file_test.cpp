#include "database/database_file.h"

#include "database/unit_database.h"
#include "platform/test_folder.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const std::string worked_example = DUVARIN_SOURCE_DIR "/database/testdata/temperature.dat";

std::string name_of(const char* field)
{
    char text[name_text_size];
    return name_text(field, text);
}

uint32_t bits_of(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, 4);
    return bits;
}

float float_of(uint32_t bits)
{
    float value;
    memcpy(&value, &bits, 4);
    return value;
}

void put_int32(Bytes& bytes, int32_t value)
{
    uint32_t bits = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        bytes.push_back((bits >> (8 * i)) & 0xFF);
}

void put_name(Bytes& bytes, const char* text)
{
    char field[name_size];
    write_name(field, text);
    bytes.insert(bytes.end(), field, field + name_size);
}

void put_member(Bytes& bytes, const char* name, float a, float b)
{
    put_name(bytes, name);
    put_int32(bytes, int32_t(bits_of(a)));
    put_int32(bytes, int32_t(bits_of(b)));
}

class DatabaseFileTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string dat = folder.file("dv.dat");

    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }

    void load_bytes(const Bytes& bytes)
    {
        ASSERT_TRUE(write_file(dat, bytes));
        load_database(dat.c_str());
    }

    // A database that must vanish when a bad file is loaded over it.
    void fill_with_something()
    {
        append_member(append_group("旧"), "旧", 1, 0);
    }
};

TEST_F(DatabaseFileTest, WorkedExampleFixtureIsTheDocumentedFile)
{
    Bytes bytes = read_file(worked_example);
    ASSERT_EQ(bytes.size(), 72u);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[64], 0x66);
    EXPECT_EQ(bytes[71], 0x42);
}

TEST_F(DatabaseFileTest, WorkedExampleLoadsAsTemperatures)
{
    load_database(worked_example.c_str());
    ASSERT_EQ(group_count(), 1);
    UnitGroup* group = group_at(0);
    EXPECT_EQ(name_of(group->name), "温度");
    ASSERT_EQ(member_count(group), 2);
    UnitMember* celsius = member_at(group, 0);
    UnitMember* fahrenheit = member_at(group, 1);
    EXPECT_EQ(name_of(celsius->name), "摄氏度");
    EXPECT_EQ(celsius->a, 1.0f);
    EXPECT_EQ(bits_of(celsius->b), 0u);
    EXPECT_EQ(name_of(fahrenheit->name), "华氏度");
    EXPECT_EQ(fahrenheit->a, 1.8f);
    EXPECT_EQ(fahrenheit->b, 32.0f);
}

TEST_F(DatabaseFileTest, WorkedExampleSavesBackTheSameBytes)
{
    load_database(worked_example.c_str());
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat), read_file(worked_example));
}

TEST_F(DatabaseFileTest, SavedFromTextsMatchesTheDocumentedFile)
{
    UnitGroup* group = append_group("温度");
    append_member(group, "摄氏度", 1.0f, 0.0f);
    append_member(group, "华氏度", 1.8f, 32.0f);
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat), read_file(worked_example));
}

TEST_F(DatabaseFileTest, RoundTripKeepsOrderEmptyGroupsAndExactBits)
{
    const uint32_t patterns[] = {0x7FC00001u, 0x80000000u, 0x00000001u, 0xFF800000u,
                                 0x3F800001u, 0xC2F6E979u};
    UnitGroup* first = append_group("一");
    for (int i = 0; i < 3; ++i)
        append_member(first, ("m" + std::to_string(i)).c_str(),
                      float_of(patterns[2 * i]), float_of(patterns[2 * i + 1]));
    append_group("空");
    append_member(append_group("三"), "x", -1.5f, 2.25f);
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat).size(), 4u + (20 + 3 * 24) + 20 + (20 + 24));

    free_database();
    load_database(dat.c_str());
    ASSERT_EQ(group_count(), 3);
    EXPECT_EQ(name_of(group_at(0)->name), "一");
    EXPECT_EQ(name_of(group_at(1)->name), "空");
    EXPECT_EQ(member_count(group_at(1)), 0);
    EXPECT_EQ(name_of(group_at(2)->name), "三");
    for (int i = 0; i < 3; ++i) {
        UnitMember* member = member_at(group_at(0), i);
        EXPECT_EQ(name_of(member->name), "m" + std::to_string(i));
        EXPECT_EQ(bits_of(member->a), patterns[2 * i]);
        EXPECT_EQ(bits_of(member->b), patterns[2 * i + 1]);
    }
    EXPECT_EQ(member_at(group_at(2), 0)->b, 2.25f);
}

TEST_F(DatabaseFileTest, MissingOrTooShortFileGivesAnEmptyDatabase)
{
    fill_with_something();
    load_database(folder.file("absent.dat").c_str());
    EXPECT_EQ(group_count(), 0);

    for (size_t size = 0; size <= 3; ++size) {
        fill_with_something();
        load_bytes(Bytes(size, 0x01));
        EXPECT_EQ(group_count(), 0) << size << " bytes";
    }
}

TEST_F(DatabaseFileTest, GroupCountBelowOneGivesAnEmptyDatabase)
{
    Bytes zero;
    put_int32(zero, 0);
    load_bytes(zero);
    EXPECT_EQ(group_count(), 0);

    // FF FF FF FF is -1, followed here by what would be a valid group.
    Bytes negative;
    put_int32(negative, -1);
    put_int32(negative, 0);
    put_name(negative, "g");
    fill_with_something();
    load_bytes(negative);
    EXPECT_EQ(group_count(), 0);
}

TEST_F(DatabaseFileTest, FewerGroupsThanCountedLoadNothing)
{
    Bytes bytes;
    put_int32(bytes, 2);
    put_int32(bytes, 1);
    put_name(bytes, "g");
    put_member(bytes, "m", 1, 0);
    load_bytes(bytes);
    EXPECT_EQ(group_count(), 0);
}

TEST_F(DatabaseFileTest, MemberCountBelowOneGivesAnEmptyGroup)
{
    Bytes bytes;
    put_int32(bytes, 3);
    put_int32(bytes, 0);
    put_name(bytes, "零");
    put_int32(bytes, -5);
    put_name(bytes, "负");
    put_int32(bytes, 1);
    put_name(bytes, "正");
    put_member(bytes, "m", 2.5f, -1);
    load_bytes(bytes);
    ASSERT_EQ(group_count(), 3);
    EXPECT_EQ(member_count(group_at(0)), 0);
    EXPECT_EQ(member_count(group_at(1)), 0);
    EXPECT_EQ(name_of(group_at(2)->name), "正");
    ASSERT_EQ(member_count(group_at(2)), 1);
    EXPECT_EQ(member_at(group_at(2), 0)->a, 2.5f);
    EXPECT_EQ(member_at(group_at(2), 0)->b, -1.0f);
}

TEST_F(DatabaseFileTest, BytesAfterTheLastGroupAreIgnored)
{
    Bytes bytes = read_file(worked_example);
    bytes.insert(bytes.end(), {0x01, 0x00, 0x00, 0x00, 0xAB});
    load_bytes(bytes);
    ASSERT_EQ(group_count(), 1);
    EXPECT_EQ(member_count(group_at(0)), 2);
}

TEST_F(DatabaseFileTest, FileCutAnywhereInsideAGroupLoadsNothing)
{
    Bytes whole = read_file(worked_example);
    // Cuts inside the last b, inside a, inside a name and just after a count.
    for (size_t size : {71u, 70u, 69u, 66u, 68u, 50u, 24u, 8u, 6u}) {
        fill_with_something();
        load_bytes(Bytes(whole.begin(), whole.begin() + size));
        EXPECT_EQ(group_count(), 0) << size << " bytes";
    }
}

TEST_F(DatabaseFileTest, UnterminatedNameSurvivesLoadAndSave)
{
    Bytes bytes = read_file(worked_example);
    memcpy(&bytes[8], "ABCDEFGHIJKLMNOP", 16);  // group name
    memcpy(&bytes[48], "\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA", 16);
    load_bytes(bytes);
    ASSERT_EQ(group_count(), 1);
    EXPECT_EQ(name_of(group_at(0)->name), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(find_group("ABCDEFGHIJKLMNOP"), nullptr);

    std::string copy = folder.file("copy.dat");
    ASSERT_TRUE(save_database(copy.c_str()));
    EXPECT_EQ(read_file(copy), bytes);
}

TEST_F(DatabaseFileTest, SaveReplacesALongerOldFileWhole)
{
    load_database(worked_example.c_str());
    ASSERT_TRUE(save_database(dat.c_str()));
    unlink_group(0);
    append_group("空");
    ASSERT_TRUE(save_database(dat.c_str()));
    Bytes expected;
    put_int32(expected, 1);
    put_int32(expected, 0);
    put_name(expected, "空");
    EXPECT_EQ(read_file(dat), expected);
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST_F(DatabaseFileTest, SaveIntoAnEmptyFolderCreatesTheFile)
{
    load_database(worked_example.c_str());
    ASSERT_TRUE(folder.entries().empty());
    EXPECT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat).size(), 72u);
    ASSERT_EQ(folder.entries().size(), 1u);
    EXPECT_EQ(folder.entries()[0], "dv.dat");
}

TEST_F(DatabaseFileTest, SaveIntoAMissingFolderFailsAndCreatesNothing)
{
    load_database(worked_example.c_str());
    std::string target = folder.file("missing") + "/dv.dat";
    EXPECT_FALSE(save_database(target.c_str()));
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(DatabaseFileTest, SaveOverAFolderFailsAndLeavesNoTemporaryFile)
{
    load_database(worked_example.c_str());
    std::filesystem::create_directory(dat);
    ASSERT_TRUE(write_file(dat + "/inside", Bytes{1, 2, 3}));
    EXPECT_FALSE(save_database(dat.c_str()));
    ASSERT_EQ(folder.entries().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(dat));
    EXPECT_EQ(read_file(dat + "/inside"), (Bytes{1, 2, 3}));
}

#ifndef _WIN32
// The file size limit turns the writes into real write failures, the way a
// full disk would.
TEST_F(DatabaseFileTest, FailingWriteKeepsTheOldFileByteForByte)
{
    Bytes old_bytes = read_file(worked_example);
    ASSERT_TRUE(write_file(dat, old_bytes));
    UnitGroup* group = append_group("大");
    for (int i = 0; i < 40; ++i)
        append_member(group, "m", float(i), 0);

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved_ok = save_database(dat.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(read_file(dat), old_bytes);
    ASSERT_EQ(folder.entries().size(), 1u);
    EXPECT_EQ(folder.entries()[0], "dv.dat");
}
#endif

} // namespace
