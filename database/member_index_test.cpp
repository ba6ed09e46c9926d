#include "database/member_index.h"

#include "testing/file_bytes.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class MemberIndexTest : public ::testing::Test {
protected:
    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }
};

// Every answer of the index is the one a walk of the chain gives: first of
// two equal names, long names under their stored 15 bytes, a field read
// from a file with all 16 bytes used, and names that are not there.
TEST_F(MemberIndexTest, FindsWhatFindMemberFinds)
{
    UnitGroup* group = append_group("货币");
    append_member(group, "美元", 1, 0);
    append_member(group, "欧元", 2, 0);
    append_member(group, "美元", 3, 0);
    append_member(group, "特别提款权特别提款权", 4, 0);  // 20 bytes, stored as 14
    UnitMember* full = append_member(group, "", 5, 0);
    std::memcpy(full->name, "ABCDEFGHIJKLMNOP", name_size);  // no zero byte
    MemberIndex index;
    open_member_index(index, group);
    ASSERT_TRUE(index.complete);
    const char* texts[] = {"美元",
                           "欧元",
                           "特别提款权特别提款权",
                           "特别提款权特别",
                           "特别提款权特别提",
                           "ABCDEFGHIJKLMNOP",
                           "ABCDEFGHIJKLMNO",
                           "日元",
                           ""};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(find_indexed_member(index, text), find_member(group, text));
    }
    EXPECT_EQ(find_indexed_member(index, "美元")->a, 1);
    close_member_index(index);
}

// Appends go to the end of the chain in order, each found at once, across
// the table's growth; the members that were there stay found.
TEST_F(MemberIndexTest, ManyAppendsKeepChainOrderAndAreFound)
{
    UnitGroup* group = append_group("货币");
    append_member(group, "人民币", 1, 0);
    MemberIndex index;
    open_member_index(index, group);
    const int count = 5000;
    for (int i = 0; i < count; ++i) {
        std::string name = "C" + std::to_string(i);
        ASSERT_EQ(find_indexed_member(index, name.c_str()), nullptr) << name;
        ASSERT_NE(append_indexed_member(index, name.c_str(), float(i), 0), nullptr);
    }
    EXPECT_TRUE(index.complete);
    EXPECT_EQ(member_count(group), count + 1);
    EXPECT_EQ(find_indexed_member(index, "人民币"), group->header.next);
    int i = 0;
    for (UnitMember* member = group->header.next->next; member; member = member->next, ++i) {
        std::string name = "C" + std::to_string(i);
        ASSERT_EQ(name_of(member->name), name);
        ASSERT_EQ(find_indexed_member(index, name.c_str()), member);
    }
    EXPECT_EQ(i, count);
    close_member_index(index);
}

// An empty group: the first append becomes its first member.
TEST_F(MemberIndexTest, AnEmptyGroupTakesItsFirstMember)
{
    UnitGroup* group = append_group("空");
    MemberIndex index;
    open_member_index(index, group);
    EXPECT_EQ(find_indexed_member(index, "美元"), nullptr);
    UnitMember* member = append_indexed_member(index, "美元", 1, 0);
    EXPECT_EQ(group->header.next, member);
    EXPECT_EQ(find_indexed_member(index, "美元"), member);
    close_member_index(index);
}

// A new member goes right after the one named, in the middle of a chain too.
TEST_F(MemberIndexTest, LinkMemberAfterInsertsWhereAsked)
{
    UnitGroup* group = append_group("g");
    UnitMember* first = append_member(group, "a", 1, 0);
    append_member(group, "c", 3, 0);
    UnitMember* b = link_member_after(first, "b", 2, 0.5f);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(first->next, b);
    EXPECT_EQ(name_of(b->next->name), "c");
    EXPECT_EQ(b->b, 0.5f);
    EXPECT_EQ(link_member_after(nullptr, "x", 0, 0), nullptr);
}

}  // namespace
