#include "platform/replace_file.h"

#include "testing/files.h"

#include <cstdio>
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

TEST(ReplaceFile, TemporaryFilesNeverCollide)
{
    TestFolder folder;
    std::string target = folder.file("dv.dat");
    // A leftover of a crashed run that had our process id must stay untouched.
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08lx", static_cast<unsigned long>(current_process_id()));
    std::string leftover = target + ".tmp" + tag;
    ASSERT_TRUE(write_file(leftover, "not ours"));

    FileReplacement first, second;
    ASSERT_TRUE(begin_replacement(first, target.c_str()));
    ASSERT_TRUE(begin_replacement(second, target.c_str()));
    EXPECT_STRNE(first.temporary, second.temporary);
    EXPECT_NE(std::string(first.temporary), leftover);
    EXPECT_EQ(std::filesystem::path(first.temporary).parent_path(), folder.path());
    write_bytes(first, "first", 5);
    write_bytes(second, "second", 6);
    EXPECT_TRUE(finish_replacement(first));
    EXPECT_EQ(read_file(target), "first");
    EXPECT_TRUE(finish_replacement(second));
    EXPECT_EQ(read_file(target), "second");
    EXPECT_EQ(read_file(leftover), "not ours");
    EXPECT_EQ(folder.entries().size(), 2u);
}

TEST(ReplaceFile, UnusableTargetsFailCleanly)
{
    TestFolder folder;
    FileReplacement file;
    EXPECT_FALSE(begin_replacement(file, ""));
    EXPECT_FALSE(finish_replacement(file));
    EXPECT_FALSE(begin_replacement(file, folder.file(std::string(300, 'x')).c_str()));
    write_bytes(file, "lost", 4);
    EXPECT_FALSE(finish_replacement(file));
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
