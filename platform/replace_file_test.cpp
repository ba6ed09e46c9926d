#include "platform/replace_file.h"

#include "platform/test_folder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

#ifdef _WIN32
#include <process.h>
#define current_process_id _getpid
#else
#include <unistd.h>
#define current_process_id getpid
#endif

namespace {

std::string folder_of(const std::string& name)
{
    return std::filesystem::path(name).parent_path().string();
}

void write_text(FileReplacement& file, const char* text)
{
    write_bytes(file, text, strlen(text));
}

Bytes bytes_of(const char* text)
{
    return Bytes(text, text + strlen(text));
}

TEST(ReplaceFile, ReplacesTheTargetOnlyWhenFinished)
{
    TestFolder folder;
    std::string target = folder.file("dv.dat");
    ASSERT_TRUE(write_file(target, bytes_of("old contents")));

    FileReplacement file;
    ASSERT_TRUE(begin_replacement(file, target.c_str()));
    write_text(file, "new");
    EXPECT_EQ(read_file(target), bytes_of("old contents"));
    EXPECT_EQ(folder_of(file.temporary), folder_of(target));
    EXPECT_TRUE(finish_replacement(file));
    EXPECT_EQ(read_file(target), bytes_of("new"));
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(ReplaceFile, ConcurrentReplacementsNeverShareATemporaryFile)
{
    TestFolder folder;
    std::string target = folder.file("dv.dat");
    FileReplacement first, second;
    ASSERT_TRUE(begin_replacement(first, target.c_str()));
    ASSERT_TRUE(begin_replacement(second, target.c_str()));
    EXPECT_STRNE(first.temporary, second.temporary);
    write_text(first, "first");
    write_text(second, "second");
    EXPECT_TRUE(finish_replacement(first));
    EXPECT_EQ(read_file(target), bytes_of("first"));
    EXPECT_TRUE(finish_replacement(second));
    EXPECT_EQ(read_file(target), bytes_of("second"));
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(ReplaceFile, LeftoverWithTheSameNameIsNeverOverwritten)
{
    TestFolder folder;
    std::string target = folder.file("dv.dat");
    char tag[9];
    snprintf(tag, sizeof tag, "%08lx", static_cast<unsigned long>(current_process_id()));
    std::string leftover = target + ".tmp" + tag;
    ASSERT_TRUE(write_file(leftover, bytes_of("not ours")));

    FileReplacement file;
    ASSERT_TRUE(begin_replacement(file, target.c_str()));
    EXPECT_NE(std::string(file.temporary), leftover);
    write_text(file, "ours");
    EXPECT_TRUE(finish_replacement(file));
    EXPECT_EQ(read_file(leftover), bytes_of("not ours"));
    EXPECT_EQ(read_file(target), bytes_of("ours"));
}

TEST(ReplaceFile, UnusableTargetsFailWithoutLeavingFiles)
{
    TestFolder folder;
    FileReplacement file;
    EXPECT_FALSE(begin_replacement(file, ""));
    EXPECT_FALSE(finish_replacement(file));

    std::string too_long = folder.file(std::string(300, 'x'));
    EXPECT_FALSE(begin_replacement(file, too_long.c_str()));
    EXPECT_FALSE(finish_replacement(file));

    std::string in_missing_folder = folder.file("none") + "/dv.dat";
    EXPECT_FALSE(begin_replacement(file, in_missing_folder.c_str()));
    write_text(file, "lost");
    EXPECT_FALSE(finish_replacement(file));
    EXPECT_TRUE(folder.entries().empty());
}

TEST(ReplaceFile, EmptyReplacementLeavesAnEmptyFile)
{
    TestFolder folder;
    std::string target = folder.file("dv.dat");
    ASSERT_TRUE(write_file(target, bytes_of("old")));
    FileReplacement file;
    ASSERT_TRUE(begin_replacement(file, target.c_str()));
    EXPECT_TRUE(finish_replacement(file));
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_TRUE(read_file(target).empty());
}

} // namespace
