#include "database/unit_database.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string name_of(const char* field)
{
    char text[name_text_size];
    return name_text(field, text);
}

class UnitDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }

    // Groups "g0", "g1", ... each with members "m0", "m1", ... with a = k, b = -k.
    void build(int groups, int members)
    {
        for (int g = 0; g < groups; ++g) {
            UnitGroup* group = append_group(("g" + std::to_string(g)).c_str());
            for (int m = 0; m < members; ++m)
                append_member(group, ("m" + std::to_string(m)).c_str(), float(m), float(-m));
        }
    }

    std::string group_names()
    {
        std::string names;
        for (UnitGroup* group = unit_database.next; group; group = group->next)
            names += name_of(group->name) + " ";
        return names;
    }

    std::string member_names(UnitGroup* group)
    {
        std::string names;
        for (UnitMember* member = group->header.next; member; member = member->next)
            names += name_of(member->name) + " ";
        return names;
    }
};

TEST_F(UnitDatabaseTest, GroupAtClampsLowPositionsAndEndsWithNone)
{
    EXPECT_EQ(group_at(-1), nullptr);
    EXPECT_EQ(group_at(0), nullptr);
    build(3, 0);
    EXPECT_EQ(group_at(-1), unit_database.next);
    EXPECT_EQ(group_at(INT_MIN), unit_database.next);
    EXPECT_EQ(group_at(0), unit_database.next);
    EXPECT_EQ(name_of(group_at(2)->name), "g2");
    EXPECT_EQ(group_at(3), nullptr);
    EXPECT_EQ(group_at(INT_MAX), nullptr);
}

TEST_F(UnitDatabaseTest, MemberAtClampsLowPositionsAndEndsWithNone)
{
    build(2, 0);
    for (int position : {-1, 0, 1, 5})
        EXPECT_EQ(member_at(group_at(0), position), nullptr);
    UnitGroup* group = group_at(1);
    for (int m = 0; m < 3; ++m)
        append_member(group, ("m" + std::to_string(m)).c_str(), 0, 0);
    EXPECT_EQ(member_at(group, -1), group->header.next);
    EXPECT_EQ(member_at(group, 0), group->header.next);
    EXPECT_EQ(name_of(member_at(group, 2)->name), "m2");
    EXPECT_EQ(member_at(group, 3), nullptr);
    EXPECT_EQ(member_at(group, INT_MAX), nullptr);
}

TEST_F(UnitDatabaseTest, AppendsKeepChainOrderAndStartEmpty)
{
    UnitGroup* first = append_group("温度");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(unit_database.next, first);
    EXPECT_EQ(first->header.next, nullptr);
    EXPECT_EQ(first->next, nullptr);
    UnitGroup* second = append_group("长度");
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(group_count(), 2);

    UnitMember* celsius = append_member(first, "摄氏度", 1.0f, 0.0f);
    EXPECT_EQ(first->header.next, celsius);
    UnitMember* fahrenheit = append_member(first, "华氏度", 1.8f, 32.0f);
    EXPECT_EQ(celsius->next, fahrenheit);
    EXPECT_EQ(fahrenheit->next, nullptr);
    EXPECT_EQ(fahrenheit->a, 1.8f);
    EXPECT_EQ(fahrenheit->b, 32.0f);
    EXPECT_EQ(member_count(first), 2);
    EXPECT_EQ(member_count(second), 0);
    EXPECT_EQ(name_of(first->name), "温度");
    EXPECT_EQ(name_of(celsius->name), "摄氏度");
    // The root's own member chain never takes members.
    EXPECT_EQ(unit_database.header.next, nullptr);
}

TEST_F(UnitDatabaseTest, RemoveMemberReturnsWhatNowFollows)
{
    build(1, 3);
    UnitGroup* group = group_at(0);
    UnitMember* second = member_at(group, 1);
    EXPECT_EQ(remove_member(group, member_at(group, 0)), second);
    EXPECT_EQ(group->header.next, second);
    EXPECT_EQ(member_names(group), "m1 m2 ");

    EXPECT_EQ(remove_member(group, member_at(group, 1)), nullptr);
    EXPECT_EQ(member_names(group), "m1 ");

    append_member(group, "m3", 0, 0);
    append_member(group, "m4", 0, 0);
    UnitMember* last = member_at(group, 2);
    EXPECT_EQ(remove_member(group, member_at(group, 1)), last);
    EXPECT_EQ(member_names(group), "m1 m4 ");
}

TEST_F(UnitDatabaseTest, RemoveMemberLeavesAMemberOfAnotherGroupAlone)
{
    build(2, 2);
    UnitMember* foreign = member_at(group_at(1), 0);
    EXPECT_EQ(remove_member(group_at(0), foreign), nullptr);
    EXPECT_EQ(member_names(group_at(0)), "m0 m1 ");
    EXPECT_EQ(member_names(group_at(1)), "m0 m1 ");
    EXPECT_EQ(member_at(group_at(1), 0), foreign);
}

TEST_F(UnitDatabaseTest, UnlinkGroupReturnsTheFollowerOrTheNewLast)
{
    build(3, 3);
    UnitGroup* second = group_at(1);
    EXPECT_EQ(unlink_group(0), second);
    EXPECT_EQ(unit_database.next, second);
    EXPECT_EQ(group_names(), "g1 g2 ");

    UnitGroup* appended = append_group("g3");
    EXPECT_EQ(unlink_group(1), appended);
    EXPECT_EQ(group_names(), "g1 g3 ");
    EXPECT_EQ(unlink_group(1), second);
    EXPECT_EQ(group_names(), "g1 ");
    // The other groups keep their members.
    EXPECT_EQ(member_names(group_at(0)), "m0 m1 m2 ");
}

TEST_F(UnitDatabaseTest, UnlinkGroupOutsideTheChainRemovesNothing)
{
    build(2, 1);
    EXPECT_EQ(unlink_group(2), nullptr);
    EXPECT_EQ(unlink_group(-1), nullptr);
    EXPECT_EQ(group_names(), "g0 g1 ");
    unlink_group(0);
    // The last group leaves an empty database, with no group to return.
    EXPECT_EQ(unlink_group(0), nullptr);
    EXPECT_EQ(unit_database.next, nullptr);
    EXPECT_EQ(group_count(), 0);
}

TEST_F(UnitDatabaseTest, SwapAdjacentGroupsExchangesContentNotRecords)
{
    build(4, 0);
    UnitGroup* upper = group_at(1);
    UnitGroup* lower = group_at(2);
    append_member(upper, "upper", 1, 2);
    append_member(lower, "lower-a", 3, 4);
    append_member(lower, "lower-b", 5, 6);

    swap_adjacent_groups(upper);
    EXPECT_EQ(group_at(1), upper);
    EXPECT_EQ(group_at(2), lower);
    EXPECT_EQ(group_names(), "g0 g2 g1 g3 ");
    EXPECT_EQ(member_names(upper), "lower-a lower-b ");
    EXPECT_EQ(member_names(lower), "upper ");
    EXPECT_EQ(group_count(), 4);

    swap_adjacent_groups(upper);
    EXPECT_EQ(group_names(), "g0 g1 g2 g3 ");
    EXPECT_EQ(member_names(upper), "upper ");
    EXPECT_EQ(member_names(lower), "lower-a lower-b ");

    // The last group has no partner: nothing changes.
    swap_adjacent_groups(group_at(3));
    EXPECT_EQ(group_names(), "g0 g1 g2 g3 ");
}

TEST_F(UnitDatabaseTest, SwapAdjacentMembersExchangesNameAndCoefficients)
{
    build(1, 3);
    UnitGroup* group = group_at(0);
    UnitMember* first = member_at(group, 0);
    UnitMember* second = member_at(group, 1);
    first->a = 1.8f;
    first->b = -0.0f;
    second->a = 1e-40f; // subnormal: must move as its exact bits
    second->b = 32.0f;

    swap_adjacent_members(first);
    EXPECT_EQ(member_at(group, 0), first);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(member_names(group), "m1 m0 m2 ");
    EXPECT_EQ(first->a, 1e-40f);
    EXPECT_EQ(first->b, 32.0f);
    EXPECT_EQ(second->a, 1.8f);
    EXPECT_TRUE(std::signbit(second->b));

    swap_adjacent_members(first);
    EXPECT_EQ(member_names(group), "m0 m1 m2 ");
    swap_adjacent_members(member_at(group, 2));
    EXPECT_EQ(member_names(group), "m0 m1 m2 ");
}

TEST_F(UnitDatabaseTest, SwapsMoveUnterminatedNamesWhole)
{
    build(2, 2);
    memcpy(group_at(0)->name, "ABCDEFGHIJKLMNOP", name_size);
    memcpy(member_at(group_at(0), 0)->name, "abcdefghijklmnop", name_size);
    swap_adjacent_groups(group_at(0));
    EXPECT_EQ(memcmp(group_at(1)->name, "ABCDEFGHIJKLMNOP", name_size), 0);
    swap_adjacent_members(member_at(group_at(1), 0));
    EXPECT_EQ(memcmp(member_at(group_at(1), 1)->name, "abcdefghijklmnop", name_size), 0);
}

TEST_F(UnitDatabaseTest, FindGivesTheFirstExactMatch)
{
    EXPECT_EQ(find_group("g0"), nullptr);
    build(3, 0);
    append_group("g1");
    EXPECT_EQ(find_group("g1"), group_at(1));
    EXPECT_EQ(find_group("g1 "), nullptr);
    EXPECT_EQ(find_group("G1"), nullptr);
    EXPECT_EQ(find_group("g"), nullptr);
    EXPECT_EQ(find_group(""), nullptr);

    UnitGroup* group = group_at(0);
    EXPECT_EQ(find_member(group, "人民币"), nullptr);
    append_member(group, "人民币", 1, 0);
    append_member(group, "美元", 0.14f, 0);
    append_member(group, "人民币", 2, 0);
    EXPECT_EQ(find_member(group, "人民币"), member_at(group, 0));
    EXPECT_EQ(find_member(group, "美元"), member_at(group, 1));
    EXPECT_EQ(find_member(group, "美元 "), nullptr);
}

TEST_F(UnitDatabaseTest, FindRecognisesALongNameAfterItWasShortened)
{
    const char* long_name = "Special Drawing Rights";
    UnitGroup* group = append_group(long_name);
    EXPECT_EQ(find_group(long_name), group);
    EXPECT_EQ(find_group("Special Drawing"), group); // the stored 15 bytes
    append_member(group, "新西兰元新西兰元新西兰元", 1, 0);
    EXPECT_EQ(find_member(group, "新西兰元新西兰元新西兰元"), group->header.next);
}

TEST_F(UnitDatabaseTest, FreeDatabaseEmptiesEverything)
{
    free_database();
    EXPECT_EQ(group_count(), 0);
    build(3, 4);
    free_database();
    EXPECT_EQ(unit_database.next, nullptr);
    EXPECT_EQ(unit_database.header.next, nullptr);
    EXPECT_EQ(group_count(), 0);
    EXPECT_EQ(group_at(0), nullptr);
    // Usable again afterwards.
    EXPECT_NE(append_group("x"), nullptr);
    EXPECT_EQ(group_count(), 1);
}

// Names are fields of 16 bytes; the tests look at all of them and at the
// bytes just past the field.
class NameFieldTest : public ::testing::Test {
protected:
    char buffer[name_size + 4];
    char* field = buffer;

    void SetUp() override { memset(buffer, 0x55, sizeof buffer); }
    bool tail_untouched() const
    {
        for (size_t i = name_size; i < sizeof buffer; ++i)
            if (static_cast<unsigned char>(buffer[i]) != 0x55)
                return false;
        return true;
    }
    size_t stored_bytes() const { return strnlen(field, name_size); }
    bool zero_after(size_t from) const
    {
        for (size_t i = from; i < name_size; ++i)
            if (field[i] != 0)
                return false;
        return true;
    }
};

TEST_F(NameFieldTest, ShortTextIsCopiedAndZeroFilled)
{
    write_name(field, "摄氏度");
    EXPECT_STREQ(field, "摄氏度");
    EXPECT_TRUE(zero_after(6));
    EXPECT_TRUE(tail_untouched());
    write_name(field, "");
    EXPECT_TRUE(zero_after(0));
}

TEST_F(NameFieldTest, FifteenBytesFitWhole)
{
    write_name(field, "123456789012345");
    EXPECT_STREQ(field, "123456789012345");
    EXPECT_TRUE(tail_untouched());
}

TEST_F(NameFieldTest, LongAsciiTextKeepsFifteenBytes)
{
    write_name(field, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(stored_bytes(), 15u);
    EXPECT_EQ(memcmp(field, "ABCDEFGHIJKLMNO", 15), 0);
    EXPECT_EQ(field[15], 0);
    EXPECT_TRUE(tail_untouched());
}

TEST_F(NameFieldTest, LongGbkTextNeverSplitsACharacter)
{
    // Eight two-byte characters: the eighth would take bytes 14 and 15.
    write_name(field, "新西兰元新西兰元");
    EXPECT_EQ(stored_bytes(), 14u);
    EXPECT_EQ(name_of(field), "新西兰元新西兰");
    EXPECT_TRUE(zero_after(14));
    EXPECT_TRUE(tail_untouched());

    // Seven characters and ASCII: byte 14 is a whole character.
    write_name(field, "新西兰元新西兰abc");
    EXPECT_EQ(name_of(field), "新西兰元新西兰a");
}

TEST_F(NameFieldTest, CharacterBoundariesAreFoundFromTheStart)
{
    // One ASCII byte shifts every character by one; the trail bytes of 人民币
    // lie in the lead-byte range, so only a walk from the start sees that
    // bytes 13 and 14 form a whole character.
    write_name(field, "a人民币人民币人x");
    EXPECT_EQ(stored_bytes(), 15u);
    EXPECT_EQ(name_of(field), "a人民币人民币人");
}

TEST_F(NameFieldTest, NameTextIsBoundedByTheField)
{
    memcpy(field, "ABCDEFGHIJKLMNOP", name_size); // no zero in the field
    char text[name_text_size + 4];
    memset(text, 0x55, sizeof text);
    EXPECT_EQ(name_text(field, text), text);
    EXPECT_STREQ(text, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(static_cast<unsigned char>(text[name_text_size]), 0x55);
}

TEST_F(NameFieldTest, UnterminatedFieldMatchesNoText)
{
    memcpy(field, "ABCDEFGHIJKLMNOP", name_size);
    EXPECT_FALSE(name_matches(field, "ABCDEFGHIJKLMNOP"));
    EXPECT_FALSE(name_matches(field, "ABCDEFGHIJKLMNO"));
    EXPECT_FALSE(name_matches(field, "ABCDEFGHIJKLMNOPQ"));
}

TEST_F(NameFieldTest, MatchIgnoresBytesAfterTheTerminator)
{
    memcpy(field, "abc\0garbage\0\0\0\0\0", name_size);
    EXPECT_TRUE(name_matches(field, "abc"));
    EXPECT_FALSE(name_matches(field, "abc\x01"));
    EXPECT_FALSE(name_matches(field, "ab"));
}

} // namespace
