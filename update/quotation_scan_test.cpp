#include "update/quotation_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

namespace {

std::string read_source_file(const char* relative)
{
    std::ifstream file(std::string(DUVARIN_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A reply whose table header frame (the first <TD line and 10 more) is
// already over, followed by the given lines, each ended by CR LF.
std::string page(std::initializer_list<const char*> lines)
{
    std::string text = "HTTP/1.1 200 OK\r\n\r\n<TD>货币名称</TD>\r\n";
    for (int i = 0; i < 10; ++i)
        text += "<TD>head</TD>\r\n";
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

// One table row of column-0 layout: the opening line, the name line, the
// given rate cell, then four more cells.
std::string row(const char* opening, const char* name, const char* cell)
{
    return std::string(opening) + "\r\n" + name + "\r\n" + cell + "\r\nx\r\nx\r\nx\r\nx\r\n";
}

// The coefficient a for a rate of 100 foreign units in yuan.
float per_yuan(double price)
{
    return price == 0 ? 0.0f : static_cast<float>(100.0 / price);
}

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override { group = append_group("现汇买入价"); }
    void TearDown() override { free_database(); }
    void start_again()
    {
        free_database();
        group = append_group("现汇买入价");
    }
    int scan(const std::string& reply, int column = 0) { return scan_quotation(reply.c_str(), group, column); }
    float a_of(const char* name)
    {
        UnitMember* member = find_member(group, name);
        return member != nullptr ? member->a : -999.0f;
    }
    UnitGroup* group = nullptr;
};

TEST_F(ScanTest, WorkedExampleGivesEveryColumn)
{
    std::string reply = read_source_file("update/testdata/quotation_example.html");
    ASSERT_FALSE(reply.empty());
    const double dollar[] = {680.50, 675.02, 1683.22, 681.86, 0};
    const double yen[] = {8.7663, 8.4956, 8.8367, 8.7311, 8.1357};
    const int rated[] = {2, 2, 2, 2, 1};  // 美元 has &nbsp; in column 4
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        start_again();
        EXPECT_EQ(scan(reply, column), rated[column]);
        ASSERT_EQ(member_count(group), 2);
        EXPECT_STREQ(member_at(group, 0)->name, "美元");
        EXPECT_STREQ(member_at(group, 1)->name, "日元");
        EXPECT_EQ(a_of("美元"), per_yuan(dollar[column]));
        EXPECT_EQ(a_of("日元"), per_yuan(yen[column]));
        EXPECT_EQ(member_at(group, 0)->b, 0.0f);
    }
    EXPECT_NEAR(per_yuan(680.50), 0.146951, 1e-6);
    EXPECT_NEAR(per_yuan(8.7663), 11.4073, 1e-4);
}

TEST_F(ScanTest, SampleSiteGivesTenCurrencies)
{
    std::string site = read_source_file("docs/sample-site/index.html");
    ASSERT_FALSE(site.empty());
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gb2312\r\n\r\n" + site;
    struct {
        const char* name;
        double price;
    } expected[] = {
        {"美元", 645.70}, {"日元", 7.8725}, {"英镑", 1046.54}, {"澳大利亚元", 693.05}, {"加拿大元", 0},
    };
    // Rows with &nbsp; in the column are written, but hold no rate.
    const int rated[] = {9, 10, 10, 10, 6};
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        start_again();
        EXPECT_EQ(scan(reply, column), rated[column]);
        EXPECT_EQ(member_count(group), 10);
        EXPECT_STREQ(member_at(group, 9)->name, "韩国元");
        EXPECT_EQ(a_of(expected[column].name), per_yuan(expected[column].price));
    }
}

TEST_F(ScanTest, OnlyUpperCaseTdAfterBlanksOpensARow)
{
    std::string reply = page({}) + row("\t<TD>", "甲", "1") + row("<td>", "乙", "1") + row("   <TDX", "丙", "50") +
                        row("<TD class=r>", "丁", "25");
    EXPECT_EQ(scan(reply), 2);
    ASSERT_EQ(member_count(group), 2);
    EXPECT_EQ(a_of("丙"), 2.0f);
    EXPECT_EQ(a_of("丁"), 4.0f);  // the line right after a frame is examined

    // The header is the first <TD line and exactly ten more, whatever they hold.
    start_again();
    reply = "<TD>\r\n";
    for (int i = 0; i < 9; ++i)
        reply += "x\r\n";
    EXPECT_EQ(scan(reply + "<TD>\r\n" + row("<TD>", "名", "50")), 1);
    ASSERT_EQ(member_count(group), 1);
    EXPECT_EQ(a_of("名"), 2.0f);
}

TEST_F(ScanTest, CellsAreCleanedToTheirFirstWord)
{
    struct {
        const char* name;
        const char* cell;
        const char* member;
        float a;
    } cases[] = {
        {"r0", "<TD>&nbsp;</TD>", "r0", 0},
        {"r1", "<TD>1,234.5</TD>", "r1", per_yuan(1234.5)},
        {"r2", "<TD>-5</TD>", "r2", -20},
        {"r3", "<TD><b></b></TD>", "r3", 0},
        {"r4", "<TD>-</TD>", "r4", 0},
        {"r5", "<TD>680.50 元</TD>", "r5", per_yuan(680.5)},
        {"r6", "<TD>&amp;12</TD>", "r6", per_yuan(12)},
        {"r7", "<TD>&nbxx5</TD>", "r7", 20},
        {"r8", "<TD>&nbsXY8</TD>", "r8", 12.5f},
        {"r9", "<TD>2e1</TD>", "r9", 5},
        {"<a href=#></a></TD>", "50", "0", 2},
        {"  日元 JPY&nbsp;</TD>", "50", "日元", 2},
        {"港,币", "50", "港币", 2},
    };
    std::string reply = page({});
    for (const auto& c : cases)
        reply += row("<TD>", c.name, c.cell);
    // All are written; r0, r3 and r4 hold no number.
    EXPECT_EQ(scan(reply), 10);
    ASSERT_EQ(member_count(group), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_STREQ(member_at(group, i)->name, cases[i].member);
        EXPECT_EQ(member_at(group, i)->a, cases[i].a) << cases[i].cell;
    }
}

TEST_F(ScanTest, KnownMembersAreUpdatedInPlace)
{
    append_member(group, "人民币", 1, 0);
    append_member(group, "日元", 5, 7);
    scan(page({}) + row("<TD>", "美元", "50") + row("<TD>", "日元", "8"));
    ASSERT_EQ(member_count(group), 3);
    EXPECT_STREQ(member_at(group, 1)->name, "日元");
    EXPECT_EQ(member_at(group, 1)->a, 12.5f);
    EXPECT_EQ(member_at(group, 1)->b, 7.0f);
    EXPECT_STREQ(member_at(group, 2)->name, "美元");
    EXPECT_EQ(member_at(group, 0)->a, 1.0f);

    // A name too long for a member is stored short and found again so.
    scan(page({"<TD>", "澳大利亚元澳大利亚元", "<TD>50</TD>"}));
    scan(page({"<TD>", "澳大利亚元澳大利亚元", "<TD>25</TD>"}));
    ASSERT_EQ(member_count(group), 4);
    EXPECT_STREQ(member_at(group, 3)->name, "澳大利亚元澳大");
    EXPECT_EQ(member_at(group, 3)->a, 4.0f);
}

TEST_F(ScanTest, LinesAreCutAt300BytesAndAtTheEnd)
{
    std::string long_cell = std::string(300, 'x') + "50";
    scan(page({"<TD>", "甲", long_cell.c_str(), "25", "x", "x", "x", "x"}), 1);
    EXPECT_EQ(a_of("甲"), 2.0f);  // the split shifts the frame by one line

    scan(page({"<TD>", "乙", "1", "2", "3", "4"}) + "50", 4);
    EXPECT_EQ(a_of("乙"), 2.0f);

    // A final line feed gives no extra empty line to read as a rate.
    append_member(group, "丙", 9, 3);
    EXPECT_EQ(scan(page({"<TD>", "丙"})), 0);
    EXPECT_EQ(a_of("丙"), 9.0f);
}

TEST_F(ScanTest, EndOfTextStopsTheScanAtOnce)
{
    EXPECT_EQ(scan(""), 0);
    EXPECT_EQ(scan("<TD>\r\nx\r\nx\r\n<TD>\r\n美元\r\n50\r\n"), 0);
    EXPECT_EQ(member_count(group), 0);

    append_member(group, "美元", 9, 3);
    EXPECT_EQ(scan(page({"<TD>", "美元", "1", "2"}), 4), 0);
    EXPECT_EQ(scan(page({"<TD>", "日元", "1", "2"}), 4), 0);
    // A rate line that came counts, though the frame is cut after it.
    EXPECT_EQ(scan(page({"<TD>", "日元", "1", "2"}), 1), 1);
    EXPECT_EQ(a_of("日元"), 50.0f);
    start_again();
    append_member(group, "美元", 9, 3);
    scan(page({"<TD>", "日元", "1", "2"}), 4);
    EXPECT_EQ(a_of("美元"), 9.0f);
    ASSERT_EQ(member_count(group), 2);
    EXPECT_EQ(member_at(group, 1)->a, 0.0f);
    EXPECT_EQ(member_at(group, 1)->b, 0.0f);
}

// What the download asks before it changes anything: whether the page
// gave at least one rate in the column.
TEST_F(ScanTest, OnlyRowsWhoseColumnHoldsANumberCountAsRated)
{
    // Another shape: a <TD line, and ten lines later another, then text.
    std::string menu = "<TD>首页</TD>\r\n";
    for (int i = 0; i < 10; ++i)
        menu += "<p>\r\n";
    const char* words[] = {"<TD>新闻</TD>",   "<TD>关于我们</TD>",        "<TD>联系</TD>", "<TD>-</TD>",
                           "<TD>&nbsp;</TD>", "<TD><img src=a.png></TD>", "<TD>e5</TD>",   "</TR>"};
    for (const char* word : words)
        menu += std::string(word) + "\r\n";
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(scan(menu, column), 0) << column;

    // A number in any column but the chosen one does not count.
    start_again();
    std::string reply = page({"<TD>", "甲", "&nbsp;", "x", "x", "x", "5", "<TD>", "乙", "-", "", "", "", "0.00"});
    EXPECT_EQ(scan(reply, 0), 0);
    EXPECT_EQ(scan(reply, 4), 2);
    EXPECT_EQ(scan(reply + row("<TD>", "丙", "<b>12</b>"), 0), 1);
    EXPECT_EQ(a_of("丙"), per_yuan(12));
}

// The line buffer keeps bytes of longer earlier lines after the terminator;
// an entity cut short by the end of its line must not pick them up.
TEST_F(ScanTest, EntityCutShortNeverReadsLeftOverBytes)
{
    scan(page({}) + row("<TD>", "1234567", "&nbs") + row("<TD>", "7654321", "&ab") + "<TD>\r\n5555555\r\n&nbs");
    EXPECT_EQ(a_of("1234567"), 0.0f);
    EXPECT_EQ(a_of("7654321"), 0.0f);
    EXPECT_EQ(a_of("5555555"), 0.0f);
}

TEST(ReadLine, NeverWritesPastTheLineBuffer)
{
    std::string text(305, 'a');
    char line[line_limit + 2];
    line[line_limit + 1] = '#';
    const char* cursor = read_line(text.c_str(), line, line_limit);
    EXPECT_EQ(cursor, text.c_str() + 300);
    EXPECT_EQ(std::strlen(line), 300u);
    EXPECT_EQ(line[line_limit + 1], '#');
    cursor = read_line(cursor, line, line_limit);
    EXPECT_STREQ(line, "aaaaa");
    EXPECT_EQ(read_line(cursor, line, line_limit), nullptr);
    EXPECT_STREQ(line, "aaaaa");
}

}  // namespace
