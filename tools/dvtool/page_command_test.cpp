// dvtool page and dvtool scan as a quotation host's deployer meets them:
// the real reference rates file that Debian ships (libqalculate-data), the
// inputs the page refuses, and the host's own prices.
#include "tools/dvtool/dvtool_test_run.h"

#include "database/gbk_text.h"
#include "database/unit_database.h"
#include "testing/files.h"
#include "tools/dvtool/currency_names.h"
#include "tools/dvtool/quotation_page.h"
#include "tools/dvtool/text_encoding.h"
#include "update/quotation_scan.h"

#include <chrono>
#include <cstring>
#include <filesystem>
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

std::string day(const char* date)
{
    return std::string(" time='") + date + "'";
}

// A day's file with the dollar, the yen and the pound at these rates.
std::string three_rates(const char* date, const char* usd, const char* jpy, const char* gbp)
{
    return rates_file(day(date), std::string("<Cube currency='USD' rate='") + usd + "'/>\n<Cube currency='JPY' rate='" +
                                     jpy + "'/>\n<Cube currency='GBP' rate='" + gbp +
                                     "'/>\n<Cube currency='CNY' rate='7.2863'/>\n");
}

// What dvtool writes for a terminal is UTF-8; the test's literals are GBK.
std::string in_gbk(const std::string& utf8)
{
    std::string gbk;
    return utf8_to_gbk(utf8, gbk) ? gbk : "(not UTF-8: " + utf8 + ")";
}

class PageCommandTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::string out;
    std::string err;
    std::string xml = folder.file("eurofxref-daily.xml");
    std::string page = folder.file("index.html");

    int run(std::vector<std::string> words) { return run_dvtool_words(words, out, err); }

    // dvtool page with a file of these bytes; the page's bytes before it ran.
    int page_from(const std::string& rates, std::string& before, std::vector<std::string> options = {})
    {
        EXPECT_TRUE(write_file(xml, rates));
        before = read_file(page);
        options.insert(options.begin(), "page");
        options.push_back(xml);
        options.push_back(page);
        return run(options);
    }
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
    EXPECT_NE(find_member(&middle, "澳门元"), nullptr);
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

namespace {

// The page is the record of what users have downloaded: a file older than
// it, as a stale mirror or cache serves one, never replaces it.
TEST_F(PageCommandTest, AnOlderFileIsRefusedNamingBothDates)
{
    std::string before;
    ASSERT_EQ(page_from(three_rates("2023-01-05", "1.0545", "137.93", "0.8800"), before), 0) << err;
    EXPECT_EQ(page_from(three_rates("2023-01-03", "1.0545", "137.93", "0.8800"), before), 1);
    EXPECT_NE(err.find(xml + ": its rates are of 2023-01-03, older than those of 2023-01-05 on " + page),
              std::string::npos)
        << err;
    EXPECT_NE(err.find(page + " not written; after a look, dvtool page --force takes the file"), std::string::npos)
        << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(read_file(page), before);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"eurofxref-daily.xml", "index.html"}));
}

// Every day the bank publishes nothing (weekends, its holidays) the fetch
// brings the same file again: the page keeps its bytes and its time.
TEST_F(PageCommandTest, TheSameDateRewritesThePageOnlyWhenItsTableChanged)
{
    std::string before;
    std::string rates = three_rates("2023-01-03", "1.0545", "137.93", "0.8800");
    ASSERT_EQ(page_from(rates, before), 0) << err;
    auto long_ago = std::filesystem::last_write_time(page) - std::chrono::hours(48);
    std::filesystem::last_write_time(page, long_ago);
    std::string first = read_file(page);
    EXPECT_EQ(page_from(rates, before), 0) << err;
    EXPECT_EQ(out, page + ": unchanged (rates of 2023-01-03, as on the page).\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(read_file(page), first);
    EXPECT_EQ(std::filesystem::last_write_time(page), long_ago);

    // The bank corrects a rate the same day, or the host's prices change.
    EXPECT_EQ(page_from(three_rates("2023-01-03", "1.0546", "137.93", "0.8800"), before), 0) << err;
    EXPECT_EQ(out, page + ": written (4 currencies, rates of 2023-01-03).\n");
    EXPECT_NE(read_file(page), first);
    std::string corrected = read_file(page);
    ASSERT_TRUE(write_file(folder.file("prices.csv"), "USD,690.1,,,,\n"));
    EXPECT_EQ(run({"page", xml, page, folder.file("prices.csv")}), 0) << err;
    EXPECT_NE(read_file(page), corrected);
    EXPECT_EQ(run({"page", xml, page, folder.file("prices.csv")}), 0) << err;
    EXPECT_EQ(out, page + ": unchanged (rates of 2023-01-03, as on the page).\n");
}

// A file that lacks a currency leaves users' member at its last rate for
// good; one whose rate moved a hundredfold gives them a wrong price.
TEST_F(PageCommandTest, ADroppedCurrencyOrAJumpOfMoreThanTenPercentIsRefusedNamingBothRates)
{
    std::string before;
    ASSERT_EQ(page_from(three_rates("2023-01-03", "1.0545", "137.93", "0.8800"), before), 0) << err;
    struct Case {
        const char* what;
        std::string rates;
        std::vector<const char*> lines;
    } cases[] = {
        {"the dollar left out",
         rates_file(day("2023-01-04"), "<Cube currency='JPY' rate='137.93'/>\n<Cube currency='GBP' rate='0.8800'/>\n"
                                       "<Cube currency='CNY' rate='7.2863'/>\n"),
         {"  美元 USD: 690.972 on the page, none in the new one\n"}},
        {"the yen a hundredfold",
         three_rates("2023-01-04", "1.0545", "1.3793", "0.8800"),
         {"  日元 JPY: 5.28261 on the page, 528.261 in the new one (+9900 %)\n"}},
        {"the yen and the pound 11 % apart",
         three_rates("2023-01-04", "1.0545", "124.26", "0.9790"),
         {"  日元 JPY: 5.28261 on the page, 5.86375 in the new one (+11.0 %)\n",
          "  英镑 GBP: 827.989 on the page, 744.259 in the new one (-10.1 %)\n"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(page_from(c.rates, before), 1) << c.what;
        std::string message = in_gbk(err);
        EXPECT_NE(message.find(xml + ": against the middle rates of 2023-01-03 on " + page +
                               ", those of 2023-01-04 leave out a currency or move one by more than 10 %:\n"),
                  std::string::npos)
            << c.what << ": " << message;
        for (const char* line : c.lines)
            EXPECT_NE(message.find(line), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(read_file(page), before) << c.what;
    }
    // Within 10 % is a day's move, however large; a new currency is welcome.
    EXPECT_EQ(page_from(rates_file(day("2023-01-04"), "<Cube currency='USD' rate='1.1599'/>\n"
                                                      "<Cube currency='JPY' rate='125.40'/>\n"
                                                      "<Cube currency='GBP' rate='0.8800'/>\n"
                                                      "<Cube currency='CHF' rate='0.9900'/>\n"
                                                      "<Cube currency='CNY' rate='7.2863'/>\n"),
                        before),
              0)
        << err;
    EXPECT_EQ(out, page + ": written (5 currencies, rates of 2023-01-04).\n");
}

// After a look: the bank has stopped publishing a currency, or one has been
// re-based (ROL to RON, TRL to TRY, under one name).
TEST_F(PageCommandTest, ForceTakesWhatThePageWouldRefuse)
{
    std::string before;
    ASSERT_EQ(page_from(three_rates("2023-01-05", "1.0545", "137.93", "0.8800"), before), 0) << err;
    std::string older = three_rates("2023-01-03", "1.0545", "1.3793", "0.8800");
    ASSERT_EQ(page_from(older, before), 1);
    EXPECT_EQ(page_from(older, before, {"--force"}), 0) << err;
    EXPECT_NE(out.find("taken with --force: " + xml + ": its rates are of 2023-01-03, older than those of 2023-01-05"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(page + ": written (4 currencies, rates of 2023-01-03).\n"), std::string::npos) << out;
    EXPECT_EQ(page_date(read_file(page)), "2023-01-03");

    ASSERT_EQ(page_from(rates_file(day("2023-01-04"), "<Cube currency='ROL' rate='41000'/>\n"
                                                      "<Cube currency='CNY' rate='7.2863'/>\n"),
                        before, {"--force"}),
              0)
        << err;
    EXPECT_EQ(page_from(rates_file(day("2023-01-05"), "<Cube currency='RON' rate='4.1000'/>\n"
                                                      "<Cube currency='CNY' rate='7.2863'/>\n"),
                        before),
              1);
    EXPECT_NE(
        in_gbk(err).find(
            "  罗马尼亚列伊 ROL (RON in the new one): 0.0177715 on the page, 177.715 in the new one (+999900 %)\n"),
        std::string::npos)
        << err;
    EXPECT_EQ(page_from(rates_file(day("2023-01-05"), "<Cube currency='RON' rate='4.1000'/>\n"
                                                      "<Cube currency='CNY' rate='7.2863'/>\n"),
                        before, {"--force"}),
              0)
        << err;
    UnitGroup middle = {};
    EXPECT_EQ(scan_quotation(read_file(page).c_str(), &middle, 3), 2);
    EXPECT_EQ(member_count(&middle), 2);
    EXPECT_FLOAT_EQ(find_member(&middle, "罗马尼亚列伊")->a, float(100 / 177.715));
    while (middle.header.next)
        remove_member(&middle, middle.header.next);

    // Only page takes it.
    EXPECT_EQ(run({"check", "--force", folder.file("dv.dat")}), 2);
    EXPECT_NE(err.find("--force is for page only"), std::string::npos) << err;
}

// A page of some other kind at OUT_HTML is nothing to compare with: it
// stays until the deployer has looked.
TEST_F(PageCommandTest, AFileThatIsNoPageOfDvtoolIsReplacedOnlyByForce)
{
    ASSERT_TRUE(write_file(page, old_page));
    std::string before;
    EXPECT_EQ(page_from(three_rates("2023-01-03", "1.0545", "137.93", "0.8800"), before), 1);
    EXPECT_NE(err.find(page + ": holds no date of rates; it is no page of dvtool page"), std::string::npos) << err;
    EXPECT_EQ(read_file(page), old_page);
    EXPECT_EQ(page_from(three_rates("2023-01-03", "1.0545", "137.93", "0.8800"), before, {"--force"}), 0) << err;
    EXPECT_EQ(page_date(read_file(page)), "2023-01-03");
}

// A fetch that never ends, or a file of hundreds of megabytes, is no table
// of rates; dvtool reads none of it past 1 MB.
TEST_F(PageCommandTest, AnInputOverOneMegabyteIsRefusedUnread)
{
    ASSERT_TRUE(write_file(page, old_page));
    std::string rates = three_rates("2023-01-03", "1.0545", "137.93", "0.8800");
    std::string padded = rates + std::string(1024 * 1024 - rates.size(), '\n');
    ASSERT_TRUE(write_file(xml, padded + "\n"));
    EXPECT_EQ(run({"page", xml, page}), 1);
    EXPECT_EQ(err, "dvtool: " + xml + ": larger than 1 MB (1048576 bytes), which no table of rates needs; " + page +
                       " not written\n");
    EXPECT_EQ(run({"page", "/dev/zero", page}), 1);
    EXPECT_NE(err.find("/dev/zero: larger than 1 MB"), std::string::npos) << err;
    ASSERT_TRUE(write_file(folder.file("prices.csv"), "# " + std::string(1024 * 1024, '-') + "\nUSD,690.1,,,,\n"));
    EXPECT_EQ(run({"page", reference_file, page, folder.file("prices.csv")}), 1);
    EXPECT_NE(err.find("prices.csv: larger than 1 MB"), std::string::npos) << err;
    EXPECT_EQ(read_file(page), old_page);

    // 1 MB itself is taken.
    ASSERT_TRUE(write_file(xml, padded));
    std::filesystem::remove(page);
    EXPECT_EQ(run({"page", xml, page}), 0) << err;
}

// Users' databases hold each downloaded currency under its name: a name once
// published never changes, and every name fits a member whole.
TEST(CurrencyNamesTest, PublishedNamesStayAndEveryNameIsShortGbk)
{
    const CurrencyName published[] = {
        {"EUR", "欧元"},         {"USD", "美元"},           {"JPY", "日元"},         {"BGN", "保加利亚列弗"},
        {"CZK", "捷克克朗"},     {"DKK", "丹麦克朗"},       {"GBP", "英镑"},         {"HUF", "匈牙利福林"},
        {"PLN", "波兰兹罗提"},   {"RON", "罗马尼亚列伊"},   {"SEK", "瑞典克朗"},     {"CHF", "瑞士法郎"},
        {"ISK", "冰岛克朗"},     {"NOK", "挪威克朗"},       {"TRY", "土耳其里拉"},   {"AUD", "澳大利亚元"},
        {"BRL", "巴西雷亚尔"},   {"CAD", "加拿大元"},       {"CNY", "人民币"},       {"HKD", "港币"},
        {"IDR", "印尼盾"},       {"ILS", "以色列新谢克尔"}, {"INR", "印度卢比"},     {"KRW", "韩国元"},
        {"MXN", "墨西哥比索"},   {"MYR", "马来西亚林吉特"}, {"NZD", "新西兰元"},     {"PHP", "菲律宾比索"},
        {"SGD", "新加坡元"},     {"THB", "泰国铢"},         {"ZAR", "南非兰特"},     {"RUB", "俄罗斯卢布"},
        {"HRK", "克罗地亚库纳"}, {"LTL", "立陶宛立特"},     {"LVL", "拉脱维亚拉特"}, {"EEK", "爱沙尼亚克朗"},
    };
    for (const CurrencyName& entry : published)
        EXPECT_STREQ(currency_name(entry.code), entry.name) << entry.code;
    // The bank's other currencies since 1999, and those Chinese boards list.
    for (const char* code : {"CYP", "MTL", "SIT", "SKK", "ROL", "TRL", "GRD", "TWD", "MOP", "AED", "SAR", "KZT"})
        EXPECT_NE(currency_name(code), nullptr) << code;
    EXPECT_STREQ(currency_name("MOP"), "澳门元");
    EXPECT_STREQ(currency_name("TWD"), "新台币");
    EXPECT_STREQ(currency_name("KZT"), "哈萨克斯坦坚戈");

    size_t count = 0;
    const CurrencyName* names = currency_names(count);
    for (size_t i = 0; i < count; ++i) {
        std::string name = names[i].name;
        EXPECT_LE(name.size(), 14u) << names[i].code;
        std::string utf8;
        EXPECT_TRUE(gbk_to_utf8(name, utf8)) << names[i].code;
        for (size_t k = 0; k < name.size(); k += 2)
            EXPECT_TRUE(is_gbk_lead(name[k]) && is_gbk_trail(name[k + 1])) << names[i].code << ": Chinese only";
        for (size_t k = 0; k < i; ++k) {
            EXPECT_STRNE(names[k].code, names[i].code);
            // Only a re-based currency shares its successor's name.
            bool successor = (std::strcmp(names[i].code, "ROL") == 0 && std::strcmp(names[k].code, "RON") == 0) ||
                             (std::strcmp(names[i].code, "TRL") == 0 && std::strcmp(names[k].code, "TRY") == 0);
            if (!successor) {
                EXPECT_STRNE(names[k].name, names[i].name) << names[k].code << " " << names[i].code;
            }
        }
    }
}

// A currency of the host's own table is published under a Chinese name, its
// own or the one its line gives; a line whose code has neither is refused.
TEST_F(PageCommandTest, EveryCurrencyOfThePriceTableHasAChineseName)
{
    std::string prices = folder.file("prices.csv");
    ASSERT_TRUE(write_file(page, old_page));
    struct Refused {
        const char* line;  // GBK, as the test's literals are; the table is UTF-8
        const char* message;
    } refused[] = {
        {"XAU,,,,400000,", "line 2: XAU has no Chinese name in dvtool's table; give it one in a seventh cell "
                           "(XAU,,,,,,NAME)"},
        {"XAU,,,,400000,,黄金 盎司", "line 2: XAU: the name \"黄金 盎司\" is not one word"},
        {"XAU,,,,400000,,<b>黄金</b>", "is not one word: no blanks, control characters, <, > or &"},
        {"XAU,,,,400000,,黄金&amp;", "is not one word"},
        {"XAU,,,,400000,,伦敦金现货价格X", "line 2: XAU: the name \"伦敦金现货价格X\" is 15 bytes"},
        {"XAU,,,,400000,,伦敦金现货价格表", "is 16 bytes in GBK; at most 14 (seven Chinese characters)"},
        {"XAU,,,,400000,,人民币", "is the yuan's, the base of every table"},
        {"XAU,,,,400000,,美元", "line 2: XAU: the name \"美元\" is USD's"},
        {"MOP,,,,85.62,,澳元", "line 2: MOP is 澳门元 on every page; a second name would reach users as a second "
                               "currency"},
        {"XAU,,,,400000,,\xFF\xFE", "is not UTF-8 text that GBK can hold"},
    };
    for (const Refused& r : refused) {
        std::string utf8_line;
        if (!gbk_to_utf8(r.line, utf8_line))
            utf8_line = r.line;
        ASSERT_TRUE(write_file(prices, "# code, spot, cash, selling, middle, reference, name\n" + utf8_line + "\n"));
        EXPECT_EQ(run({"page", reference_file, page, prices}), 1) << r.line;
        std::string message = in_gbk(err);
        EXPECT_NE(message.find(prices + ": line 2: "), std::string::npos) << r.line << ": " << message;
        EXPECT_NE(message.find(r.message), std::string::npos) << r.line << ": " << message;
    }
    EXPECT_EQ(read_file(page), old_page);

    // MOP has a name of its own, gold the one its line gives; a byte-order
    // mark and blanks around the name are spacing.
    std::string gold;
    ASSERT_TRUE(gbk_to_utf8("XAU, , , ,400000, , 黄金 \r\nMOP,,,,85.62,\r\n", gold));
    ASSERT_TRUE(write_file(prices, "\xEF\xBB\xBF" + gold));
    std::filesystem::remove(page);
    ASSERT_EQ(run({"page", reference_file, page, prices}), 0) << err;
    UnitGroup middle = {};
    EXPECT_EQ(scan_quotation(read_file(page).c_str(), &middle, 3), 32);
    EXPECT_FLOAT_EQ(find_member(&middle, "黄金")->a, float(100 / 400000.0));
    EXPECT_FLOAT_EQ(find_member(&middle, "澳门元")->a, float(100 / 85.62));
    while (middle.header.next)
        remove_member(&middle, middle.header.next);
    EXPECT_NE(read_file(page).find("    黄金 XAU</TD>\n"), std::string::npos);
}

// A currency the bank has only just begun to publish waits off the page for
// a name, rather than reaching users under its code and later as a second
// member under its name.
TEST_F(PageCommandTest, ACurrencyOfTheBankWithoutANameWaitsForOne)
{
    std::string before;
    std::string rates = rates_file(good_day, good_cubes + "<Cube currency='XAU' rate='0.00055'/>\n");
    ASSERT_EQ(page_from(rates, before), 0) << err;
    EXPECT_EQ(err, "dvtool: " + xml +
                       ": XAU has no Chinese name; left off the page until the price table names it (XAU,,,,,,NAME)\n");
    EXPECT_EQ(out, page + ": written (2 currencies, rates of 2023-01-03).\n");
    std::string name;
    ASSERT_TRUE(gbk_to_utf8("XAU,,,,,,黄金\n", name));
    ASSERT_TRUE(write_file(folder.file("prices.csv"), name));
    ASSERT_EQ(run({"page", xml, page, folder.file("prices.csv")}), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_NE(read_file(page).find("    黄金 XAU</TD>\n"), std::string::npos);
}

// The program reads every page as GBK: a page in UTF-8 still gives rates,
// under names users would not recognise, and scan says so.
TEST_F(PageCommandTest, ScanSaysWhenAPageIsNotGbk)
{
    ASSERT_EQ(run({"page", reference_file, page}), 0) << err;
    std::string gbk_page = read_file(page);
    EXPECT_EQ(run({"scan", page}), 0) << err;
    EXPECT_EQ(out.find("not GBK"), std::string::npos) << out;

    std::string utf8_page;
    ASSERT_TRUE(gbk_to_utf8(gbk_page, utf8_page));
    std::string declared = utf8_page;
    declared.replace(declared.find("charset=gbk"), 11, "charset=utf-8");
    std::string ascii_declared = "<meta charset=\"UTF-8\">\n" + gbk_page.substr(gbk_page.find("<table"));
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"UTF-8 declared GBK", utf8_page, "not GBK: its text is UTF-8. The program reads every page as GBK"},
        {"UTF-8 declared so", declared, "not GBK: its text is UTF-8; it declares charset=utf-8. The program"},
        {"GBK declared UTF-8", ascii_declared, "not GBK: it declares charset=utf-8. The program"},
        {"stray bytes", gbk_page + "\xFF\n",
         "not GBK: byte " + std::to_string(gbk_page.size()) + " and maybe others are no part of GBK text"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(write_file(folder.file("other.html"), c.bytes));
        EXPECT_EQ(run({"scan", folder.file("other.html")}), 1) << c.what;
        std::string report = in_gbk(out);
        EXPECT_NE(report.find(c.message), std::string::npos) << c.what << ": " << out;
        EXPECT_NE(report.find("[中间价（汇率）] 30 of 30 currencies with a rate"), std::string::npos) << c.what;
    }

    // No table at all, and a file no download takes.
    ASSERT_TRUE(write_file(folder.file("other.html"), "<html><body><h1>404 Not Found</h1></body></html>\n"));
    EXPECT_EQ(run({"scan", folder.file("other.html")}), 1);
    EXPECT_NE(out.find("no row holds a rate"), std::string::npos) << out;
    EXPECT_EQ(run({"scan", "/dev/zero"}), 1);
    EXPECT_NE(out.find("too large"), std::string::npos) << out;
}

}  // namespace
