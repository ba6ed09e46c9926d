// The benchmark inputs must be what their names say, or a benchmark times
// a read error or a page without rows: the generated dv.dat loads in full,
// and the generated pages give the promised rows with distinct currencies.
#include "bench/bench_data.h"
#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/files.h"
#include "update/quotation_scan.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

class BenchDataTest : public ::testing::Test {
protected:
    void SetUp() override { free_database(); }
    void TearDown() override { free_database(); }
};

TEST_F(BenchDataTest, GeneratedDatabaseFileLoadsEveryGroupAndMember)
{
    std::string path = scratch_path("bench-data-test.dat");
    ASSERT_TRUE(write_database_file(path, 7, 24));
    EXPECT_EQ(read_file(path).size(), 4u + 7 * (20 + 24 * 24));
    load_database(path.c_str());
    std::remove(path.c_str());

    ASSERT_EQ(group_count(), 7);
    UnitGroup* last = group_at(6);
    EXPECT_STREQ(last->name, "unit6");
    ASSERT_EQ(member_count(last), 24);
    UnitMember* member = member_at(last, 23);
    EXPECT_STREQ(member->name, "unit23");
    EXPECT_EQ(member->a, 1.0f + 0.25f * 23);
    EXPECT_EQ(member->b, 0.5f * 23);
    // Every a is non-zero, so no result of a benchmark is "null".
    for (UnitMember* m = last->header.next; m; m = m->next)
        EXPECT_NE(m->a, 0.0f);
}

TEST_F(BenchDataTest, BuiltGroupHasDistinctNamesInOrder)
{
    UnitGroup* group = build_group(100);
    ASSERT_EQ(member_count(group), 100);
    EXPECT_EQ(find_member(group, unit_name(99).c_str()), member_at(group, 99));
    EXPECT_EQ(find_member(group, "absent"), nullptr);
}

void expect_page_scans_to_its_rows(const std::string& page, int rows)
{
    EXPECT_LE(page.size(), 30000u);
    EXPECT_GT(page.size(), 29000u) << "the page should fill the receive limit";
    UnitGroup* group = append_group("rates");
    append_member(group, "base", 1.0f, 0.0f);
    EXPECT_EQ(scan_quotation(page.c_str(), group, 0), rows);
    // One new member per row: every currency name is different.
    EXPECT_EQ(member_count(group), rows + 1);
    std::set<std::string> names;
    for (UnitMember* m = group->header.next; m; m = m->next)
        names.insert(m->name);
    EXPECT_EQ(static_cast<int>(names.size()), rows + 1);
}

TEST_F(BenchDataTest, FullPageHoldsRowsOfTheUsualShape)
{
    int rows = 0;
    std::string page = quotation_page(30000, &rows);
    EXPECT_GT(rows, 150);
    expect_page_scans_to_its_rows(page, rows);
    // The first row's column 0 is 600.50, so a = 100 / 600.5.
    UnitGroup* group = group_at(0);
    EXPECT_EQ(member_at(group, 1)->a, static_cast<float>(100.0 / 600.5));
}

TEST_F(BenchDataTest, CrowdedPageHoldsTheMostRows)
{
    int rows = 0;
    std::string page = crowded_quotation_page(30000, &rows);
    EXPECT_GT(rows, 1500);
    expect_page_scans_to_its_rows(page, rows);
}
