#include "database/unit_database.h"

#include "testing/file_bytes.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

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

class UnitDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }

    // Groups g0, g1, ... each with members m0, m1, ... where a = k.
    void build(int groups, int members)
    {
        for (int g = 0; g < groups; ++g) {
            UnitGroup* group = append_group(("g" + std::to_string(g)).c_str());
            for (int m = 0; m < members; ++m)
                append_member(group, ("m" + std::to_string(m)).c_str(), float(m), 0);
        }
    }
};

TEST_F(UnitDatabaseTest, PositionsClampBelowZeroAndEndWithNone)
{
    EXPECT_EQ(group_at(0), nullptr);
    build(3, 0);
    EXPECT_EQ(group_at(INT_MIN), unit_database.next);
    EXPECT_EQ(group_at(-1), unit_database.next);
    EXPECT_EQ(name_of(group_at(2)->name), "g2");
    EXPECT_EQ(group_at(3), nullptr);
    EXPECT_EQ(group_at(INT_MAX), nullptr);

    EXPECT_EQ(member_at(group_at(0), 0), nullptr);
    for (int m = 0; m < 3; ++m)
        append_member(group_at(1), ("m" + std::to_string(m)).c_str(), 0, 0);
    EXPECT_EQ(member_at(group_at(1), -1), group_at(1)->header.next);
    EXPECT_EQ(name_of(member_at(group_at(1), 2)->name), "m2");
    EXPECT_EQ(member_at(group_at(1), 3), nullptr);
}

TEST_F(UnitDatabaseTest, RemoveMemberReturnsWhatNowFollows)
{
    build(2, 4);
    UnitGroup* group = group_at(0);
    UnitMember* second = member_at(group, 1);
    EXPECT_EQ(remove_member(group, member_at(group, 0)), second);
    EXPECT_EQ(group->header.next, second);
    EXPECT_EQ(remove_member(group, member_at(group, 1)), member_at(group, 2));
    EXPECT_EQ(remove_member(group, member_at(group, 1)), nullptr);
    EXPECT_EQ(member_names(group), "m1 ");
    // A member of another group is not this group's to release.
    EXPECT_EQ(remove_member(group, member_at(group_at(1), 0)), nullptr);
    EXPECT_EQ(member_names(group_at(1)), "m0 m1 m2 m3 ");
}

TEST_F(UnitDatabaseTest, UnlinkGroupReturnsTheFollowerOrTheNewLast)
{
    build(3, 3);
    UnitGroup* second = group_at(1);
    EXPECT_EQ(unlink_group(0), second);
    EXPECT_EQ(unit_database.next, second);
    EXPECT_EQ(unlink_group(1), second);
    EXPECT_EQ(group_names(), "g1 ");
    EXPECT_EQ(member_names(second), "m0 m1 m2 ");
    // Outside the chain nothing is removed; the last group leaves none.
    EXPECT_EQ(unlink_group(1), nullptr);
    EXPECT_EQ(unlink_group(-1), nullptr);
    EXPECT_EQ(unlink_group(0), nullptr);
    EXPECT_EQ(group_count(), 0);
}

TEST_F(UnitDatabaseTest, SwapsExchangeContentWhileRecordsStay)
{
    build(4, 0);
    UnitGroup* upper = group_at(1);
    UnitGroup* lower = group_at(2);
    append_member(upper, "u", 1.8f, -0.0f);
    append_member(lower, "l0", 1e-40f, 32);
    append_member(lower, "l1", 0, 0);
    std::memcpy(lower->name, "ABCDEFGHIJKLMNOP", name_size);  // as a file may hold it

    swap_adjacent_groups(upper);
    EXPECT_EQ(group_at(1), upper);
    EXPECT_EQ(std::memcmp(upper->name, "ABCDEFGHIJKLMNOP", name_size), 0);
    EXPECT_EQ(name_of(lower->name), "g1");
    EXPECT_EQ(member_names(upper), "l0 l1 ");
    EXPECT_EQ(member_names(lower), "u ");
    swap_adjacent_groups(group_at(3));  // no follower: no change
    EXPECT_EQ(group_count(), 4);

    UnitMember* first = member_at(upper, 0);
    UnitMember* next = first->next;
    swap_adjacent_members(first);
    EXPECT_EQ(member_at(upper, 0), first);
    EXPECT_EQ(first->next, next);
    EXPECT_EQ(member_names(upper), "l1 l0 ");
    EXPECT_EQ(next->a, 1e-40f);  // subnormal: moved as its exact bits
    EXPECT_EQ(next->b, 32.0f);
    swap_adjacent_members(first);
    swap_adjacent_groups(upper);
    EXPECT_EQ(group_names(), "g0 g1 ABCDEFGHIJKLMNOP g3 ");
    EXPECT_EQ(member_names(upper), "u ");
    EXPECT_TRUE(std::signbit(member_at(upper, 0)->b));
}

TEST_F(UnitDatabaseTest, FindGivesTheFirstExactMatch)
{
    EXPECT_EQ(find_group("g0"), nullptr);
    build(2, 0);
    append_group("g1");
    EXPECT_EQ(find_group("g1"), group_at(1));
    EXPECT_EQ(find_group("g1 "), nullptr);
    EXPECT_EQ(find_group("G1"), nullptr);
    append_member(group_at(0), "人民币", 1, 0);
    append_member(group_at(0), "人民币", 2, 0);
    EXPECT_EQ(find_member(group_at(0), "人民币"), member_at(group_at(0), 0));
    // A long name is found again after it was stored shortened.
    UnitGroup* sdr = append_group("Special Drawing Rights");
    EXPECT_EQ(find_group("Special Drawing Rights"), sdr);
    UnitMember* member = append_member(sdr, "新西兰元新西兰元新西兰元", 1, 0);
    EXPECT_EQ(find_member(sdr, "新西兰元新西兰元新西兰元"), member);
}

TEST_F(UnitDatabaseTest, FreeDatabaseEmptiesEverything)
{
    free_database();
    build(3, 4);
    free_database();
    EXPECT_EQ(unit_database.next, nullptr);
    EXPECT_EQ(unit_database.header.next, nullptr);
    EXPECT_EQ(group_count(), 0);
    EXPECT_NE(append_group("x"), nullptr);
    EXPECT_EQ(group_count(), 1);
}

// The stored bytes of write_name, checked for zero fill and for not
// writing past the 16-byte field.
std::string stored(const char* text)
{
    char buffer[name_size + 4];
    std::memset(buffer, 0x55, sizeof buffer);
    write_name(buffer, text);
    for (size_t i = name_size; i < sizeof buffer; ++i)
        EXPECT_EQ(static_cast<unsigned char>(buffer[i]), 0x55) << "past the field";
    size_t length = strnlen(buffer, name_size);
    for (size_t i = length; i < name_size; ++i)
        EXPECT_EQ(buffer[i], 0) << "not zero-filled";
    return std::string(buffer, length);
}

TEST(NameField, LongTextsKeepWholeCharactersOfTheFirstFifteenBytes)
{
    EXPECT_EQ(stored("摄氏度"), "摄氏度");
    EXPECT_EQ(stored("123456789012345"), "123456789012345");
    EXPECT_EQ(stored("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNO");
    // The eighth character would take bytes 14 and 15.
    EXPECT_EQ(stored("新西兰元新西兰元"), "新西兰元新西兰");
    // Trail bytes of 人民币 look like lead bytes: only a walk from the start
    // sees that bytes 13 and 14 form a whole character.
    EXPECT_EQ(stored("a人民币人民币人x"), "a人民币人民币人");
}

TEST(NameField, UnterminatedFieldIsReadBoundedAndMatchesNoText)
{
    char field[name_size];
    std::memcpy(field, "ABCDEFGHIJKLMNOP", name_size);
    char text[name_text_size + 1];
    text[name_text_size] = 0x55;
    EXPECT_STREQ(name_text(field, text), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(text[name_text_size], 0x55);
    EXPECT_FALSE(name_matches(field, "ABCDEFGHIJKLMNOP"));
    EXPECT_FALSE(name_matches(field, "ABCDEFGHIJKLMNO"));

    std::memcpy(field, "abc\0garbage\0\0\0\0", name_size);
    EXPECT_TRUE(name_matches(field, "abc"));
    EXPECT_FALSE(name_matches(field, "ab"));
}

}  // namespace
