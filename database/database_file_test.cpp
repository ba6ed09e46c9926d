#include "database/database_file.h"

#include "database/unit_database.h"
#include "testing/file_bytes.h"
#include "testing/files.h"

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

class DatabaseFileTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string dat = folder.file("dv.dat");

    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }

    // Loads over a database that a bad file must not leave behind.
    int groups_after_loading(const std::string& bytes)
    {
        append_member(append_group("旧"), "旧", 1, 0);
        EXPECT_TRUE(write_file(dat, bytes));
        load_database(dat.c_str());
        return group_count();
    }
};

TEST_F(DatabaseFileTest, WorkedExampleLoadsAndSavesBackTheSameBytes)
{
    std::string example = read_file(worked_example);
    ASSERT_EQ(example.size(), 72u);
    load_database(worked_example.c_str());
    ASSERT_EQ(group_count(), 1);
    UnitGroup* group = group_at(0);
    EXPECT_EQ(name_of(group->name), "温度");
    ASSERT_EQ(member_count(group), 2);
    EXPECT_EQ(name_of(member_at(group, 0)->name), "摄氏度");
    EXPECT_EQ(member_at(group, 0)->a, 1.0f);
    EXPECT_EQ(member_at(group, 0)->b, 0.0f);
    EXPECT_EQ(name_of(member_at(group, 1)->name), "华氏度");
    EXPECT_EQ(member_at(group, 1)->a, 1.8f);
    EXPECT_EQ(member_at(group, 1)->b, 32.0f);
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat), example);

    // The same database built from texts gives the same file.
    free_database();
    group = append_group("温度");
    append_member(group, "摄氏度", 1.0f, 0.0f);
    append_member(group, "华氏度", 1.8f, 32.0f);
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat), example);
}

TEST_F(DatabaseFileTest, DamagedFilesLoadAsAnEmptyDatabase)
{
    std::string example = read_file(worked_example);
    for (size_t size = 0; size <= 3; ++size)
        EXPECT_EQ(groups_after_loading(std::string(size, 1)), 0) << size << " bytes";
    EXPECT_EQ(groups_after_loading(std::string(4, 0)), 0);
    std::string negative(4, '\xFF');
    negative += example.substr(4);
    EXPECT_EQ(groups_after_loading(negative), 0);
    std::string two_counted = example;
    two_counted[0] = 2;
    EXPECT_EQ(groups_after_loading(two_counted), 0);
    // Cut inside the last b, inside a, inside a name, after a count.
    for (size_t size : {71u, 70u, 69u, 66u, 50u, 8u})
        EXPECT_EQ(groups_after_loading(example.substr(0, size)), 0) << size << " bytes";
    EXPECT_EQ(load_database(dat.c_str()), DatabaseFileState::damaged);  // the last cut-off file
    EXPECT_EQ(load_database(folder.file("absent.dat").c_str()), DatabaseFileState::missing);
    EXPECT_EQ(group_count(), 0);
    EXPECT_EQ(load_database(worked_example.c_str()), DatabaseFileState::loaded);
}

// A damaged file is copied away before a save replaces it, byte for byte.
TEST_F(DatabaseFileTest, ADamagedFileIsCopiedWholeOverAnOlderCopy)
{
    std::string damaged = read_file(worked_example).substr(0, 71);
    damaged += std::string(5000, '\x5A');  // more than one read of the copy
    ASSERT_TRUE(write_file(dat, damaged));
    std::string bak = folder.file("dv.dat.bak");
    ASSERT_TRUE(write_file(bak, "older copy"));
    EXPECT_TRUE(copy_file_bytes(dat.c_str(), bak.c_str()));
    EXPECT_EQ(read_file(bak), damaged);
    EXPECT_FALSE(copy_file_bytes(folder.file("absent.dat").c_str(), bak.c_str()));
    EXPECT_EQ(read_file(bak), damaged);
}

// The digest tells an edit from none, and an edit undone from a change.
TEST_F(DatabaseFileTest, TheDigestFollowsEveryStoredByte)
{
    load_database(worked_example.c_str());
    uint64_t loaded = database_digest();
    UnitMember* member = member_at(group_at(0), 1);
    member->a = 1.8000001f;
    EXPECT_NE(database_digest(), loaded);
    member->a = 1.8f;
    EXPECT_EQ(database_digest(), loaded);
    member->name[15] = 'x';  // a byte after the terminator is saved too
    EXPECT_NE(database_digest(), loaded);
}

TEST_F(DatabaseFileTest, MemberCountBelowOneGivesAnEmptyGroupAndExtraBytesAreIgnored)
{
    std::string bytes;
    put_int32(bytes, 3);
    put_int32(bytes, 0);
    put_name(bytes, "零");
    put_int32(bytes, uint32_t(-5));
    put_name(bytes, "负");
    std::string example = read_file(worked_example);
    bytes += example.substr(4);
    bytes += std::string("\x01\0\0\0\xAB", 5);
    ASSERT_EQ(groups_after_loading(bytes), 3);
    EXPECT_EQ(member_count(group_at(0)), 0);
    EXPECT_EQ(member_count(group_at(1)), 0);
    EXPECT_EQ(name_of(group_at(2)->name), "温度");
    EXPECT_EQ(member_at(group_at(2), 1)->b, 32.0f);
}

TEST_F(DatabaseFileTest, UnterminatedNamesSurviveLoadAndSave)
{
    std::string bytes = read_file(worked_example);
    std::memcpy(&bytes[8], "ABCDEFGHIJKLMNOP", 16);
    std::memcpy(&bytes[48], "\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA", 16);
    ASSERT_EQ(groups_after_loading(bytes), 1);
    EXPECT_EQ(name_of(group_at(0)->name), "ABCDEFGHIJKLMNOP");
    ASSERT_TRUE(save_database(folder.file("copy.dat").c_str()));
    EXPECT_EQ(read_file(folder.file("copy.dat")), bytes);
}

TEST_F(DatabaseFileTest, SaveCreatesOrWhollyReplacesTheFile)
{
    load_database(worked_example.c_str());
    ASSERT_TRUE(save_database(dat.c_str()));
    EXPECT_EQ(read_file(dat).size(), 72u);
    unlink_group(0);
    append_group("空");
    ASSERT_TRUE(save_database(dat.c_str()));
    std::string expected;
    put_int32(expected, 1);
    put_int32(expected, 0);
    put_name(expected, "空");
    EXPECT_EQ(read_file(dat), expected);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dv.dat"});
}

TEST_F(DatabaseFileTest, SaveThatCannotFinishLeavesEverythingAsItWas)
{
    load_database(worked_example.c_str());
    EXPECT_FALSE(save_database((folder.file("missing") + "/dv.dat").c_str()));
    EXPECT_TRUE(folder.entries().empty());

    std::filesystem::create_directory(dat);
    ASSERT_TRUE(write_file(dat + "/inside", std::string{1, 2, 3}));
    EXPECT_FALSE(save_database(dat.c_str()));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dv.dat"});
    EXPECT_EQ(read_file(dat + "/inside"), (std::string{1, 2, 3}));
}

#ifndef _WIN32
// A file size limit turns the writes into real write failures, as a full
// disk would.
TEST_F(DatabaseFileTest, FailingWriteKeepsTheOldFileByteForByte)
{
    std::string old_bytes = read_file(worked_example);
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
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"dv.dat"});
}
#endif

}  // namespace
