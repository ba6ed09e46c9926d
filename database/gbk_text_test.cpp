#include "database/gbk_text.h"

#include <gtest/gtest.h>

// 年 is C4 EA; its trail byte EA has the value of a lead byte.
TEST(GbkCut, KeepsWholeCharactersOnly)
{
    EXPECT_EQ(gbk_cut_length("abc", 9), 3u);
    EXPECT_EQ(gbk_cut_length("abcdefghijk", 9), 9u);
    EXPECT_EQ(gbk_cut_length("\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA", 9), 8u);
    EXPECT_EQ(gbk_cut_length("a\xC4\xEA\xC4\xEA\xC4\xEA\xC4\xEA", 9), 9u);
    EXPECT_EQ(gbk_cut_length("", 9), 0u);
    EXPECT_EQ(gbk_cut_length("ab", 0), 0u);
}

TEST(GbkCut, FindsBoundariesFromTheStart)
{
    // 年年 cut to 3 bytes keeps one 年; read from byte 1, EA C4 would pass
    // for a character.
    EXPECT_EQ(gbk_cut_length("\xC4\xEA\xC4\xEA", 3), 2u);
    // After "a" the same EA leads, and EA C4 is a character.
    EXPECT_EQ(gbk_cut_length("a\xEA\xC4\xEA", 3), 3u);
}

TEST(GbkCut, DropsALeadByteWhoseTrailIsMissing)
{
    EXPECT_EQ(gbk_cut_length("ab\xC4", 9), 2u);
    EXPECT_EQ(gbk_cut_length("\xC4", 9), 0u);
}
