// The command line as a user meets it: usage errors, exit statuses, and a
// failed build that leaves the target alone.
#include "tools/dvtool/dvtool_test_run.h"

#include "database/unit_database.h"
#include "testing/files.h"
#include "tools/dvtool/text_encoding.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string worked_example = DUVARIN_SOURCE_DIR "/database/testdata/temperature.dat";

class DvtoolCommandsTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string out;
    std::string err;

    int run(std::vector<std::string> words)
    {
        int status = run_dvtool_words(words, out, err);
        EXPECT_EQ(group_count(), 0) << "a command left the database behind";
        return status;
    }
};

TEST_F(DvtoolCommandsTest, UsageErrorsExitWithTwoAndExplain)
{
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_EQ(out.find("usage: dvtool dump [--gbk] FILE"), 0u);
    struct Case {
        std::vector<std::string> words;
        const char* message;
    } cases[] = {
        {{}, "dvtool: no command given"},
        {{"frob", worked_example}, "dvtool: unknown command frob"},
        {{"dump", "--utf16", worked_example}, "dvtool: unknown option --utf16"},
        {{"check", worked_example, worked_example}, "dvtool: check takes one FILE"},
        {{"build", worked_example}, "dvtool: build takes TEXT and FILE"},
        {{"dump", folder.file("absent.dat")}, "absent.dat: no such file"},
        {{"build", folder.file("absent.txt"), folder.file("dv.dat")}, "absent.txt: cannot be read"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.words), 2) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_TRUE(out.empty()) << c.message;
    }
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(DvtoolCommandsTest, DumpThenBuildGivesBackTheSameFileInEitherEncoding)
{
    std::string text = folder.file("units.txt");
    std::string dat = folder.file("dv.dat");
    std::string utf8;
    ASSERT_TRUE(gbk_to_utf8("\n[温度]\n摄氏度            1                   0\n", utf8));
    for (const char* encoding : {"--gbk", "--"}) {
        ASSERT_EQ(run({encoding, "dump", worked_example}), 0) << err;
        EXPECT_EQ(out.find(utf8) != std::string::npos, encoding[2] == 0) << out;
        ASSERT_TRUE(write_file(text, out));
        ASSERT_EQ(run({"build", text, dat, encoding}), 0) << err;
        EXPECT_EQ(read_file(dat), read_file(worked_example)) << encoding;
    }
}

TEST_F(DvtoolCommandsTest, AFailedBuildWritesNothingAndKeepsTheOldFile)
{
    std::string text = folder.file("units.txt");
    std::string dat = folder.file("dv.dat");
    ASSERT_TRUE(write_file(text, "[x]\ny 1 ?\n"));
    EXPECT_EQ(run({"build", text, dat}), 1);
    EXPECT_EQ(err, text + ":2: b ?: not a number\n" + dat + ": not written.\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"units.txt"});
    std::string old = read_file(worked_example);
    ASSERT_TRUE(write_file(dat, old));
    EXPECT_EQ(run({"build", text, dat}), 1);
    EXPECT_EQ(read_file(dat), old);
}

TEST_F(DvtoolCommandsTest, CheckAndDumpExitWithOneForAFileThatLoadsEmpty)
{
    std::string dat = folder.file("dv.dat");
    ASSERT_TRUE(write_file(dat, std::string("\x02\0", 2)));
    EXPECT_EQ(run({"check", dat}), 1);
    EXPECT_EQ(out, dat + ": too short (2 bytes; the group count needs 4); the program starts "
                         "with an empty database.\n");
    EXPECT_EQ(run({"dump", dat}), 1);
    EXPECT_NE(err.find("too short (2 bytes"), std::string::npos);
    EXPECT_EQ(run({"check", folder.file("absent.dat")}), 1);

    EXPECT_EQ(run({"check", worked_example}), 0);
    std::string utf8;
    ASSERT_TRUE(gbk_to_utf8("loads 1 group with 2 members (72 bytes).\n  1. [温度] 2: 摄氏度, 华氏度\n", utf8));
    EXPECT_EQ(out, worked_example + ": " + utf8);
}

}  // namespace
