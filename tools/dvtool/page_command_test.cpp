// dvtool page and dvtool scan as a quotation host's deployer meets them:
// the real reference rates file that Debian ships (libqalculate-data), the
// inputs the page refuses, and the host's own prices.
#include "tools/dvtool/dvtool_test_run.h"

#include "database/unit_database.h"
#include "testing/files.h"
#include "tools/dvtool/text_encoding.h"
#include "update/quotation_scan.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string reference_file = "/usr/share/qalculate/eurofxref-daily.xml";
const std::string old_page = "<p>yesterday's page</p>\n";

std::string rates_file(const std::string& day, const std::string& cubes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
           "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
           "<gesmes:subject>Reference rates</gesmes:subject>\n<Cube>\n<Cube" +
           day + ">\n" + cubes + "</Cube>\n</Cube>\n</gesmes:Envelope>\n";
}

const std::string good_day = " time='2023-01-03'";
const std::string good_cubes = "<Cube currency='USD' rate='1.0545'/>\n<Cube currency='CNY' rate='7.2863'/>\n";

class PageCommandTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string out;
    std::string err;

    int run(std::vector<std::string> words) { return run_dvtool_words(words, out, err); }
};

TEST_F(PageCommandTest, RefusedInputsNameTheFileAndLeaveTheOldPage)
{
    struct Case {
        const char* what;
        std::string xml;
        const char* message;
    } cases[] = {
        {"not XML", "EUR,1\n", "not XML"},
        {"another XML file", "<html><body><Cube/></body></html>", "not the European Central Bank's reference rates"},
        {"no yuan", rates_file(good_day, "<Cube currency='USD' rate='1.0545'/>\n"), "no rate for CNY"},
        {"a word for a rate", rates_file(good_day, good_cubes + "<Cube currency='JPY' rate='n/a'/>\n"),
         "JPY: its rate \"n/a\" is not a positive number"},
        {"a negative rate", rates_file(good_day, good_cubes + "<Cube currency='JPY' rate='-137.93'/>\n"),
         "is not a positive number"},
        {"a zero rate", rates_file(good_day, good_cubes + "<Cube currency='JPY' rate='0'/>\n"),
         "is not a positive number"},
        {"no date", rates_file("", good_cubes), "no date"},
        {"a date after today", rates_file(" time='2999-01-04'", good_cubes), "dated 2999-01-04, after today"},
        {"no such date", rates_file(" time='2023-02-29'", good_cubes), "\"2023-02-29\" is not a date"},
    };
    std::string page = folder.file("index.html");
    ASSERT_TRUE(write_file(page, old_page));
    for (const Case& c : cases) {
        std::string xml = folder.file("eurofxref-daily.xml");
        ASSERT_TRUE(write_file(xml, c.xml));
        EXPECT_EQ(run({"page", xml, page}), 1) << c.what;
        EXPECT_NE(err.find(xml + ": "), std::string::npos) << c.what << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.what << ": " << err;
        EXPECT_EQ(read_file(page), old_page) << c.what;
    }
    EXPECT_EQ(run({"page", folder.file("absent.xml"), page}), 1);
    EXPECT_NE(err.find("absent.xml: cannot be read"), std::string::npos) << err;
    // A bad table of the host's own prices refuses the page just the same.
    const char* tables[] = {"USD,690.1,685.2,,\n", "USD,690.1,abc,,,\n", "USD,,,,683.1,\n", "CNY,100,,,,\n",
                            "USD,inf,,,,\n"};
    for (const char* table : tables) {
        ASSERT_TRUE(write_file(folder.file("prices.csv"), table));
        EXPECT_EQ(run({"page", reference_file, page, folder.file("prices.csv")}), 1) << table;
        EXPECT_NE(err.find("prices.csv: line 1: "), std::string::npos) << err;
    }
    EXPECT_EQ(read_file(page), old_page);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"eurofxref-daily.xml", "index.html", "prices.csv"}));
}

// The middle rates come from the bank, the other columns from the host's
// own table only: a column nobody filled is no rate table.
TEST_F(PageCommandTest, TheRealFileGivesEveryMiddleRateAndTheHostsTableTheOthers)
{
    std::string page = folder.file("index.html");
    ASSERT_TRUE(write_file(folder.file("prices.csv"), "# code, spot, cash, selling, middle, reference\r\n"
                                                      "USD,690.1,685.2,,,\r\nMOP,,,89.5,88.3,\r\n"));
    ASSERT_EQ(run({"page", reference_file, page, folder.file("prices.csv")}), 0) << err;
    EXPECT_EQ(out, page + ": written (31 currencies, rates of 2023-01-03).\n");
    std::string bytes = read_file(page);
    UnitGroup middle = {};
    EXPECT_EQ(scan_quotation(bytes.c_str(), &middle, 3), 31);
    UnitMember* euro = find_member(&middle, "欧元");
    ASSERT_NE(euro, nullptr);
    EXPECT_FLOAT_EQ(euro->a, float(100 / 728.630));
    EXPECT_NE(find_member(&middle, "MOP"), nullptr);
    UnitGroup spot = {};
    EXPECT_EQ(scan_quotation(bytes.c_str(), &spot, 0), 1);
    EXPECT_FLOAT_EQ(find_member(&spot, "美元")->a, float(100 / 690.1));
    UnitGroup reference = {};
    EXPECT_EQ(scan_quotation(bytes.c_str(), &reference, 4), 0);
    for (UnitGroup* group : {&middle, &spot, &reference})
        while (group->header.next)
            remove_member(group, group->header.next);

    EXPECT_EQ(run({"scan", page}), 0) << err;
    std::string report;
    ASSERT_TRUE(utf8_to_gbk(out, report));
    EXPECT_NE(report.find("[基准价（汇率）] no row holds a rate"), std::string::npos) << out;
    EXPECT_NE(report.find("[中间价（汇率）] 31 of 31 currencies with a rate"), std::string::npos) << out;
    EXPECT_NE(report.find("  欧元  728.63  0.137244\n"), std::string::npos) << out;
}

}  // namespace
