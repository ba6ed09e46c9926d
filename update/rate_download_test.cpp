// The rate download through the real 下载 button, against a real web site
// on a loopback port of the test's own; the tests answer its message boxes
// as a user would.
#include <winsock2.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <regex>
#include <thread>
#include <gtest/gtest.h>
#include "database/unit_database.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "testing/download_test_support.h"
#include "testing/files.h"
#include "testing/gui_test_support.h"
#include "tools/dvtool/currency_names.h"
#include "update/download_exchange.h"
#include "update/download_log.h"
#include "update/download_page.h"
#include "update/quotation_scan.h"
#include "update/rate_download.h"

namespace {

const std::string sample_site = DUVARIN_SOURCE_DIR "/docs/sample-site";
const std::string sample_page = sample_site + "/index.html";
const std::string worked_example = DUVARIN_SOURCE_DIR "/update/testdata/quotation_example.html";
const char reference_group[] = "基准价（汇率）";
const char middle_group[] = "中间价（汇率）";
const int middle_row = 3;
// The European Central Bank's reference rates of 2023-01-03 as Debian
// ships them (libqalculate-data): real input that nobody here wrote.
const char reference_rates_file[] = "/usr/share/qalculate/eurofxref-daily.xml";
const unsigned short old_date[3] = {2011, 7, 15};
// Far above every bound of the download (connection 10 s, exchange 15 s),
// far below "for ever".
const DWORD download_bound_ms = 30000;

// The sample site's currencies in page order, and the rates of 美元.
const std::vector<std::string> sample_currencies = {"美元",       "欧元",     "日元",     "港币",     "英镑",
                                                    "澳大利亚元", "加拿大元", "瑞士法郎", "新加坡元", "韩国元"};
const double dollar_rates[5] = {645.70, 640.52, 648.28, 646.55, 646.13};

std::vector<std::string> member_names(UnitGroup* group)
{
    std::vector<std::string> names;
    char text[name_text_size];
    for (UnitMember* member = group ? group->header.next : nullptr; member; member = member->next)
        names.push_back(name_text(member->name, text));
    return names;
}

std::vector<std::string> with_base(const std::vector<std::string>& names)
{
    std::vector<std::string> all = {"人民币"};
    all.insert(all.end(), names.begin(), names.end());
    return all;
}

std::string read_source(const std::string& unix_name)
{
    return read_file(windows_path(unix_name));
}

struct PageRow {
    std::string name;
    std::string rate;  // the same in all five columns
};

// A page of the shape the scan reads: the header cell line and ten more,
// then one frame of seven lines per row.
std::string quotation_page(const std::vector<PageRow>& rows, const std::string& filler = "")
{
    std::string page = "<html><body>\n" + filler + "<table>\n<TR>\n<TD>货币名称</TD>\n";
    for (int i = 0; i < 10; i++)
        page += "<TD>h</TD>\n";
    for (const PageRow& row : rows) {
        page += "</TR>\n<TR>\n<TD>\n" + row.name + "</TD>\n";
        for (int column = 0; column < 5; column++)
            page += "<TD>" + row.rate + "</TD>\n";
    }
    return page + "</table></body></html>\n";
}

// Script lines as real pages carry around their table, size bytes in all;
// none begins with <TD and none is longer than a scanned line.
std::string filler_lines(size_t size)
{
    std::string lines;
    for (int n = 0; lines.size() + 100 <= size; n++) {
        std::string line = "<script>var menu" + std::to_string(n) + " = \"";
        lines += line + std::string(100 - line.size() - 12, 'm') + "\";</script>\n";
    }
    return lines + (lines.size() < size ? std::string(size - lines.size() - 1, ' ') + "\n" : "");
}

// count rows named C1000, C1001, ... at 100.25, 101.25, ... in every column.
std::vector<PageRow> numbered_rows(int count)
{
    std::vector<PageRow> rows;
    for (int i = 0; i < count; i++)
        rows.push_back({"C" + std::to_string(1000 + i), std::to_string(100 + i) + ".25"});
    return rows;
}

std::vector<std::pair<std::string, float>> rates_of(const std::vector<PageRow>& rows)
{
    std::vector<std::pair<std::string, float>> rates;
    for (const PageRow& row : rows)
        rates.emplace_back(row.name, static_cast<float>(100 / std::stod(row.rate)));
    return rates;
}

bool same_date(const DownloadRecord& record, const unsigned short date[3])
{
    return record.year == date[0] && record.month == date[1] && record.day == date[2];
}

// The rates that a scan of the page itself gives, by name.
std::vector<std::pair<std::string, float>> scanned_rates(const std::string& page, int column)
{
    UnitGroup trial = {};
    scan_quotation(page.c_str(), &trial, column);
    std::vector<std::pair<std::string, float>> rates;
    for (UnitMember* member = trial.header.next; member; member = member->next)
        rates.emplace_back(member->name, member->a);
    while (trial.header.next)
        remove_member(&trial, trial.header.next);
    return rates;
}

// The bank's currencies and their rates (units per euro), in file order.
std::vector<std::pair<std::string, double>> reference_rates(const std::string& xml)
{
    std::vector<std::pair<std::string, double>> rates;
    std::regex cube("currency='([A-Z]{3})' rate='([0-9.]+)'");
    for (std::sregex_iterator match(xml.begin(), xml.end(), cube), end; match != end; ++match)
        rates.emplace_back((*match)[1], std::stod((*match)[2]));
    return rates;
}

std::vector<std::pair<std::string, float>> group_rates(UnitGroup* group)
{
    std::vector<std::pair<std::string, float>> rates;
    for (UnitMember* member = group ? group->header.next : nullptr; member; member = member->next)
        if (std::strcmp(member->name, "人民币") != 0)
            rates.emplace_back(member->name, member->a);
    return rates;
}

// Another program's messages to the window while a download waits for the
// reply, or the user's keys: sent from a second thread once the server
// holds the request and the window is disabled, so that the download is
// surely inside its wait (or posted, as a close box would queue them). Each
// result of a sent one is kept, and whether the window was disabled before
// each. Should the test's thread not be back within the bound, a quit
// message with code 99 ends a message loop that would otherwise run for
// ever.
class MidDownloadSender {
public:
    MidDownloadSender(const QuotationSite& site, std::vector<std::pair<UINT, WPARAM>> messages, bool post = false)
        : post(post), thread([this, &site, messages] { send(site, messages, {}); })
    {
    }
    // Real keys, pressed in order and released in reverse order, to the
    // foreground window.
    struct RealKeys {};
    MidDownloadSender(const QuotationSite& site, RealKeys, std::vector<WORD> keys)
        : thread([this, &site, keys] { send(site, {}, keys); })
    {
    }
    ~MidDownloadSender() { finish(); }
    // After the download: waits for the thread.
    void finish()
    {
        back = true;
        if (thread.joinable())
            thread.join();
    }
    std::vector<LRESULT> results;
    std::vector<bool> disabled_before;
    bool request_seen = false;

private:
    void send(const QuotationSite& site, const std::vector<std::pair<UINT, WPARAM>>& messages,
              const std::vector<WORD>& keys)
    {
        for (DWORD waited = 0; waited < download_bound_ms && !request_seen; waited += 20) {
            request_seen = !site.requests().empty();
            if (!request_seen)
                Sleep(20);
        }
        // The window's thread may still be on its way into the wait.
        bool disabled = false;
        for (DWORD waited = 0; request_seen && waited < 5000 && !disabled; waited += 10) {
            disabled = !IsWindowEnabled(window);
            if (!disabled)
                Sleep(10);
        }
        if (!disabled)
            return;
        if (!keys.empty())
            send_keys(keys);
        for (const auto& message : messages) {
            disabled_before.push_back(!IsWindowEnabled(window));
            if (post) {
                PostMessageW(window, message.first, message.second, 0);
                continue;
            }
            DWORD_PTR result = 0;
            // With a time-out: a window that is gone or stuck fails the test
            // instead of hanging it.
            SendMessageTimeoutW(window, message.first, message.second, 0, SMTO_NORMAL, download_bound_ms, &result);
            results.push_back(static_cast<LRESULT>(result));
        }
        for (DWORD waited = 0; waited < download_bound_ms && !back; waited += 20)
            Sleep(20);
        if (!back)
            PostThreadMessageW(test_thread, WM_QUIT, 99, 0);
    }
    bool post = false;
    HWND window = main_window;
    DWORD test_thread = GetCurrentThreadId();
    std::atomic<bool> back{false};
    std::thread thread;
};

class RateDownloadTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        mouse_click(50, 330);  // the Update page
    }
    void TearDown() override
    {
        stop_watching_message_boxes();
        site.stop();
        ShellTest::TearDown();
    }
    void prepare_files() override
    {
        if (sample_database)
            write_file("dv.dat", database_bytes(sample_groups()));
        unsigned short dates[5][3];
        for (auto& date : dates)
            std::memcpy(date, old_date, sizeof date);
        write_file("config.f", download_log_bytes(dates));
    }
    void serve(const char* mode, const std::string& argument = "") { ASSERT_EQ(site.start(mode, argument), ""); }
    void serve_nginx(const std::string& folder) { ASSERT_EQ(site.start_nginx(folder), ""); }
    void download(int row, int answer = IDYES)
    {
        select_list(download_list, row);
        watch_message_boxes(answer);
        click(IDC_DOWNLOAD);
    }
    // The download, within a generous bound. How long the network part held
    // the window, from the answer to the question to the outcome box, is
    // printed for tools/measure-download.sh; the message boxes themselves
    // take their own time under Wine.
    void timed_download(int row, const std::string& what = "")
    {
        DWORD started = GetTickCount();
        download(row);
        EXPECT_LT(GetTickCount() - started, download_bound_ms);
        if (seen_message_boxes().size() != 2)
            return;
        std::printf("[ duration ] %s (%s): %lu ms\n", ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    what.empty() ? ("row " + std::to_string(row)).c_str() : what.c_str(),
                    static_cast<unsigned long>(window_held_ms()));
        std::fflush(stdout);
    }
    // From the answer to the question to the outcome box.
    DWORD window_held_ms()
    {
        std::vector<SeenMessageBox> boxes = seen_message_boxes();
        return boxes.size() == 2 ? boxes[1].shown_at - boxes[0].closed_at : 0;
    }
    // nginx serving the page at /.
    void serve_page_from_nginx(const std::string& page)
    {
        std::string file = site.write_page("index.html", page);
        serve_nginx(file.substr(0, file.find_last_of('/')));
    }
    void expect_nginx_served(size_t size)
    {
        std::vector<std::string> log = site.nginx_log();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find("\"GET / HTTP/1.1\" 200 " + std::to_string(size)), std::string::npos) << log[0];
    }
    // nginx sends the whole page, and every row's rate arrives.
    void expect_every_rate_through_nginx(const std::string& page, const std::vector<PageRow>& rows)
    {
        serve_page_from_nginx(page);
        timed_download(4, std::to_string(page.size()) + " bytes");
        expect_outcome("下载成功！", IDI_INFORMATION);
        EXPECT_EQ(group_rates(find_group(reference_group)), rates_of(rows));
        expect_nginx_served(page.size());
    }
    // The question, then one box with the outcome.
    void expect_outcome(const char* text, LPCSTR icon)
    {
        std::vector<SeenMessageBox> boxes = seen_message_boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].caption, "网络");
        EXPECT_EQ(boxes[1].text, text);
        EXPECT_FALSE(boxes[1].yes_no);
        EXPECT_EQ(boxes[1].icon, LoadIconA(nullptr, icon));
        EXPECT_EQ(boxes[1].owner, main_window);
        // Disabled, with the wait cursor, only while the download waits:
        // each box finds its owner enabled, disables it while it is up and
        // enables it before it goes, so that Windows gives the activation
        // back to the window and not to another program.
        EXPECT_EQ(window_events(), "DBEDEDBE");
        EXPECT_FALSE(boxes[1].wait_cursor);
        EXPECT_TRUE(IsWindowEnabled(main_window));
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    }
    // A download that failed leaves the database and the log as they were.
    void expect_nothing_changed()
    {
        EXPECT_EQ(group_count(), sample_database ? 2 : 0);
        for (const DownloadRecord& record : download_log.records)
            EXPECT_TRUE(same_date(record, old_date));
        if (download_status_text()) {
            EXPECT_TRUE(shows_label("需要更新", 450, 80, 130, 20));
        }
    }

    // The press of 下载 on table 4, taken by the program's own loop, which
    // runs until the program ends: what it returned, and after how long.
    // The sender acts meanwhile and is waited for.
    std::pair<int, DWORD> download_in_programs_loop(MidDownloadSender& sender)
    {
        select_list(download_list, 4);
        watch_message_boxes(IDYES);
        PostMessageW(main_window, WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(download_button));
        DWORD started = GetTickCount();
        int code = run_message_loop();
        DWORD ran = GetTickCount() - started;
        sender.finish();
        stop_watching_message_boxes();
        return {code, ran};
    }

    QuotationSite site;
    bool sample_database = true;
};

class EmptyDatabaseDownloadTest : public RateDownloadTest {
protected:
    EmptyDatabaseDownloadTest() { sample_database = false; }
    // Downloads the five tables in turn; each gives its group the sample
    // site's rates of its column.
    void expect_all_five_tables()
    {
        for (int row = 0; row < quotation_table_count; row++) {
            timed_download(row);
            expect_outcome("下载成功！", IDI_INFORMATION);
        }
        ASSERT_EQ(group_count(), 5);
        for (int row = 0; row < quotation_table_count; row++) {
            UnitGroup* group = group_at(row);
            EXPECT_STREQ(group->name, quotation_tables[row].group_name);
            EXPECT_EQ(member_names(group), with_base(sample_currencies)) << row;
            UnitMember* dollar = find_member(group, "美元");
            ASSERT_NE(dollar, nullptr) << row;
            EXPECT_FLOAT_EQ(dollar->a, static_cast<float>(100 / dollar_rates[row])) << row;
            select_list(download_list, row);
            EXPECT_STREQ(download_status_text(), "成功下载");
        }
        // 韩国元 has a rate in columns 1 to 3 only.
        UnitMember* won[] = {find_member(group_at(0), "韩国元"), find_member(group_at(1), "韩国元"),
                             find_member(group_at(4), "韩国元")};
        for (UnitMember* member : won)
            ASSERT_NE(member, nullptr);
        EXPECT_EQ(won[0]->a, 0.0f);
        EXPECT_FLOAT_EQ(won[1]->a, static_cast<float>(100 / 0.5887));
        EXPECT_EQ(won[2]->a, 0.0f);
    }
};

}  // namespace

// The cases that wait for a deadline show texts that quicker cases show too;
// the code page changes no time, so they run once, under code page 936 only
// (update/CMakeLists.txt).
class RateDeadlineTest : public RateDownloadTest {};

TEST_F(RateDownloadTest, WithNothingSelectedTheButtonDoesNothingNotEvenStartWinsock)
{
    serve("page", sample_page);
    while (WSACleanup() == 0) {
    }
    download(-1);
    EXPECT_TRUE(seen_message_boxes().empty());
    EXPECT_TRUE(site.requests().empty());
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    expect_nothing_changed();
}

TEST_F(RateDownloadTest, AnsweringNoChangesNothingAndLeavesWinsockStarted)
{
    serve("page", sample_page);
    HCURSOR cursor = GetCursor();
    download(4, IDNO);
    std::vector<SeenMessageBox> boxes = seen_message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "网络");
    EXPECT_EQ(boxes[0].text, "您确定下载该文件到您的计算机中？");
    EXPECT_TRUE(boxes[0].yes_no);
    EXPECT_EQ(boxes[0].icon, LoadIconA(nullptr, IDI_QUESTION));
    EXPECT_EQ(boxes[0].owner, main_window);
    EXPECT_FALSE(boxes[0].wait_cursor);
    EXPECT_EQ(window_events(), "DBE");
    EXPECT_TRUE(site.requests().empty());
    EXPECT_TRUE(IsWindowEnabled(main_window));
    EXPECT_EQ(GetCursor(), cursor);
    expect_nothing_changed();
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_NE(probe, INVALID_SOCKET);
    closesocket(probe);
}

TEST_F(RateDownloadTest, ADownloadFillsANewGroupRecordsTodayAndRefreshesThePages)
{
    serve("page", sample_page);
    download(4);
    expect_outcome("下载成功！", IDI_INFORMATION);
    ASSERT_EQ(site.requests().size(), 1u);
    EXPECT_EQ(site.requests()[0], std::string("GET / HTTP/1.1\r\nHost:") + quotation_host + "\r\n\r\n");

    ASSERT_EQ(group_count(), 3);
    UnitGroup* group = group_at(2);
    EXPECT_STREQ(group->name, reference_group);
    EXPECT_EQ(member_names(group), with_base(sample_currencies));
    UnitMember* base = member_at(group, 0);
    UnitMember* dollar = find_member(group, "美元");
    UnitMember* pound = find_member(group, "英镑");
    UnitMember* canadian_dollar = find_member(group, "加拿大元");
    for (UnitMember* member : {base, dollar, pound, canadian_dollar})
        ASSERT_NE(member, nullptr);
    EXPECT_EQ(base->a, 1.0f);
    EXPECT_EQ(base->b, 0.0f);
    EXPECT_FLOAT_EQ(dollar->a, static_cast<float>(100 / dollar_rates[4]));
    EXPECT_FLOAT_EQ(pound->a, static_cast<float>(100 / 1040.17));
    EXPECT_EQ(canadian_dollar->a, 0.0f);  // &nbsp; in the column
    EXPECT_EQ(dollar->b, 0.0f);

    EXPECT_EQ(download_log.records[4].year, today.year);
    EXPECT_EQ(download_log.records[4].month, today.month);
    EXPECT_EQ(download_log.records[4].day, today.day);
    for (int row = 0; row < 4; row++)
        EXPECT_TRUE(same_date(download_log.records[row], old_date));
    EXPECT_TRUE(shows_label("成功下载", 450, 80, 130, 20));

    std::vector<std::string> groups = {"温度", "长度", reference_group};
    EXPECT_EQ(list_items(group_list), groups);
    mouse_click(50, 130);  // back to the Convert page
    EXPECT_EQ(list_items(group_combo), groups);
}

// The tests' servers listen on ports of their own; the program itself
// always goes to port 80 of its quotation host, and does so again once a
// test's server has stopped.
TEST_F(RateDownloadTest, TheProgramConnectsToPort80OfTheQuotationHost)
{
    EXPECT_STREQ(quotation_address.host, quotation_host);
    EXPECT_EQ(quotation_address.port, 80);
    serve("page", sample_page);
    EXPECT_STREQ(quotation_address.host, "127.0.0.1");
    EXPECT_NE(quotation_address.port, 80);
    site.stop();
    EXPECT_STREQ(quotation_address.host, quotation_host);
    EXPECT_EQ(quotation_address.port, 80);
}

TEST_F(RateDownloadTest, ASecondDownloadOnTheSameDayUpdatesTheGroupInPlace)
{
    serve("page", sample_page);
    download(4);
    UnitGroup* group = group_at(2);
    ASSERT_NE(group, nullptr);
    // The user's own changes: another a and b for 美元, 人民币 deleted.
    UnitMember* dollar = find_member(group, "美元");
    ASSERT_NE(dollar, nullptr);
    dollar->a = 5;
    dollar->b = 7;
    remove_member(group, member_at(group, 0));
    download(4);
    expect_outcome("下载成功！", IDI_INFORMATION);
    EXPECT_EQ(group_count(), 3);
    EXPECT_EQ(member_names(group), sample_currencies);
    EXPECT_EQ(member_at(group, 0), dollar);
    EXPECT_FLOAT_EQ(dollar->a, static_cast<float>(100 / dollar_rates[4]));
    EXPECT_EQ(dollar->b, 7.0f);
}

TEST_F(RateDownloadTest, ARenamedGroupIsNotFoundAndANewOneIsAppended)
{
    serve("page", sample_page);
    download(4);
    ASSERT_NE(group_at(2), nullptr);
    write_name(group_at(2)->name, "基准价");
    download(4);
    ASSERT_EQ(group_count(), 4);
    EXPECT_STREQ(group_at(2)->name, "基准价");
    EXPECT_STREQ(group_at(3)->name, reference_group);
    EXPECT_EQ(member_names(group_at(2)), with_base(sample_currencies));
    EXPECT_EQ(member_names(group_at(3)), with_base(sample_currencies));
}

TEST_F(EmptyDatabaseDownloadTest, TheRateGroupBecomesTheOnlyGroup)
{
    serve("page", sample_page);
    download(0);
    expect_outcome("下载成功！", IDI_INFORMATION);
    ASSERT_EQ(group_count(), 1);
    EXPECT_STREQ(group_at(0)->name, "现汇买入价");
    EXPECT_EQ(member_names(group_at(0)), with_base(sample_currencies));
    UnitMember* dollar = find_member(group_at(0), "美元");
    ASSERT_NE(dollar, nullptr);
    EXPECT_FLOAT_EQ(dollar->a, static_cast<float>(100 / dollar_rates[0]));
    EXPECT_EQ(list_items(group_list), std::vector<std::string>{"现汇买入价"});
}

// What `python3 -m http.server` serves from the sample site (HTTP/1.0,
// closing the connection after the page) is what a user downloads by hand.
TEST_F(EmptyDatabaseDownloadTest, AllFiveTablesDownloadFromTheSampleSite)
{
    serve("directory", sample_site);
    expect_all_five_tables();
}

// nginx keeps the connection open after the page: each download ends with
// the reply's last byte, not with the server's keep-alive, or it would fail
// at the deadline.
TEST_F(EmptyDatabaseDownloadTest, AllFiveTablesDownloadFromNginx)
{
    serve_nginx(sample_site);
    expect_all_five_tables();
    std::vector<std::string> log = site.nginx_log();
    ASSERT_EQ(log.size(), 5u);
    for (const std::string& line : log)
        EXPECT_NE(line.find("\"GET / HTTP/1.1\" 200 " + std::to_string(read_source(sample_page).size())),
                  std::string::npos)
            << line;
}

TEST_F(RateDownloadTest, TheWorkedExampleReplyGivesItsRates)
{
    serve("raw", worked_example);
    download(0);
    expect_outcome("下载成功！", IDI_INFORMATION);
    UnitGroup* group = find_group("现汇买入价");
    EXPECT_EQ(member_names(group), with_base({"美元", "日元"}));
    UnitMember* dollar = find_member(group, "美元");
    UnitMember* yen = find_member(group, "日元");
    ASSERT_NE(dollar, nullptr);
    ASSERT_NE(yen, nullptr);
    EXPECT_FLOAT_EQ(dollar->a, static_cast<float>(100 / 680.50));
    EXPECT_FLOAT_EQ(yen->a, static_cast<float>(100 / 8.7663));
}

TEST_F(RateDownloadTest, APageSentInPiecesWithPausesArrivesWhole)
{
    serve("pieces", sample_page);
    download(4);
    expect_outcome("下载成功！", IDI_INFORMATION);
    EXPECT_EQ(member_names(find_group(reference_group)), with_base(sample_currencies));
}

// Real pages carry scripts and navigation around the table: the table may
// lie well past the first 30000 bytes of the reply.
TEST_F(RateDownloadTest, APageWellOver30000BytesGivesEveryRateThroughNginx)
{
    std::vector<PageRow> rows = numbered_rows(40);
    std::string page = quotation_page(rows, filler_lines(29000)) + filler_lines(10000);
    ASSERT_LT(page.find(rows.front().name), 29500u);
    ASSERT_GT(page.find(rows.back().name), 31000u);
    expect_every_rate_through_nginx(page, rows);
}

// The table at the very end: only the whole page gives its last rows.
TEST_F(RateDownloadTest, APageNearlyAsLargeAsTheReplyBufferArrivesWholeThroughNginx)
{
    std::vector<PageRow> rows = numbered_rows(40);
    const size_t size = reply_limit - 1024;  // room for nginx's header lines
    std::string page = quotation_page(rows, filler_lines(size - quotation_page(rows).size()));
    ASSERT_EQ(page.size(), size);
    expect_every_rate_through_nginx(page, rows);
}

// The table comes first and would fit: a reply longer than the buffer is
// refused whole, never read as far as it went.
TEST_F(RateDownloadTest, APageLargerThanTheReplyBufferChangesNothing)
{
    std::vector<PageRow> rows = numbered_rows(40);
    std::string table = quotation_page(rows);
    // With nginx's header the reply is over the buffer; raw, one byte over.
    std::string page = table + filler_lines(reply_limit - table.size());
    std::string raw = table + filler_lines(reply_limit + 1 - table.size());
    ASSERT_EQ(page.size(), static_cast<size_t>(reply_limit));
    ASSERT_EQ(raw.size(), static_cast<size_t>(reply_limit) + 1);

    serve_page_from_nginx(page);
    timed_download(4, "nginx, " + std::to_string(page.size()) + " bytes of body");
    expect_outcome("下载失败：网页没有完整收到！", IDI_EXCLAMATION);
    expect_nothing_changed();
    site.stop();

    serve("raw", site.write_page("raw.html", raw));
    timed_download(4, "raw, " + std::to_string(raw.size()) + " bytes");
    expect_outcome("下载失败：网页没有完整收到！", IDI_EXCLAMATION);
    expect_nothing_changed();
}

// A redirect, a missing page, a cached or maintenance page: the body holds
// the sample table, but the status says it is not the page.
TEST_F(RateDownloadTest, AnErrorReplyNamesItsCodeAndChangesNothing)
{
    struct Fault {
        const char* mode;
        const char* text;
    } faults[] = {
        {"moved", "下载失败：服务器回答 301！"},
        {"not-found", "下载失败：服务器回答 404！"},
        {"server-error", "下载失败：服务器回答 500！"},
        {"unavailable", "下载失败：服务器回答 503！"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.mode);
        serve(fault.mode, sample_page);
        timed_download(4, fault.mode);
        expect_outcome(fault.text, IDI_EXCLAMATION);
        expect_nothing_changed();
        EXPECT_EQ(site.requests().size(), 1u);
        // 503 comes without a length on a connection kept open: its status
        // ends the download, not the deadline.
        EXPECT_LT(window_held_ms(), exchange_timeout_ms / 2);
        site.stop();
    }
}

TEST_F(RateDownloadTest, ACurrencyNameLongerThanANameFieldIsFoundAgain)
{
    serve("page", site.write_page("long-name.html", quotation_page({{"特别提款权特别提款权", "900"}})));
    download(4);
    download(4);
    expect_outcome("下载成功！", IDI_INFORMATION);
    UnitGroup* group = find_group(reference_group);
    EXPECT_EQ(member_names(group), with_base({"特别提款权特别"}));
    ASSERT_NE(member_at(group, 1), nullptr);
    EXPECT_FLOAT_EQ(member_at(group, 1)->a, static_cast<float>(100.0 / 900));
}

TEST_F(RateDownloadTest, ARefusedConnectionChangesNothing)
{
    serve("closed");
    timed_download(4);
    expect_outcome("无法连接网络！", IDI_EXCLAMATION);
    expect_nothing_changed();
}

// The connection is taken but the page never comes: the deadline ends the
// download. Meanwhile the window is painted, and nothing else runs.
TEST_F(RateDeadlineTest, ASilentServerEndsTheDownloadAtTheDeadline)
{
    serve("silent");
    // A second thread spoils the window while the download waits and looks
    // whether the window is painted again before the download ends.
    std::atomic<bool> download_running(true);
    std::atomic<bool> painted_meanwhile(false);
    std::atomic<bool> pressed_meanwhile(false);
    HWND window = main_window;
    HWND button = download_button;
    std::thread watcher([&] {
        Sleep(1000);
        InvalidateRect(window, nullptr, FALSE);
        for (int i = 0; i < 200 && download_running && !painted_meanwhile; i++) {
            Sleep(20);
            if (!GetUpdateRect(window, nullptr, FALSE))
                painted_meanwhile = download_running.load();
        }
        // Another program presses the button meanwhile: the wait delivers
        // the command, which must not start a second download. (With a
        // time-out: after the download this thread's message waits for the
        // join below.)
        DWORD_PTR result;
        pressed_meanwhile = download_running &&
                            SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD, BN_CLICKED),
                                                reinterpret_cast<LPARAM>(button), SMTO_NORMAL, 5000, &result) &&
                            download_running;
    });
    timed_download(4);
    download_running = false;
    watcher.join();
    expect_outcome("下载失败：网页没有完整收到！", IDI_EXCLAMATION);
    EXPECT_EQ(site.requests().size(), 1u);
    expect_nothing_changed();
    EXPECT_TRUE(painted_meanwhile);
    EXPECT_TRUE(pressed_meanwhile);
}

// Keep-alive connections, chunk boundaries inside the table lines and in
// the chunk framing, a page in pieces with pauses: the scan sees the page
// exactly as served, and each download ends with its reply.
TEST_F(RateDownloadTest, EveryWayOfSendingThePageGivesTheSameRates)
{
    const std::vector<std::pair<std::string, float>> expected = scanned_rates(read_source(sample_page), 4);
    ASSERT_EQ(expected.size(), sample_currencies.size());
    for (const char* mode : {"page", "length", "chunked", "pieces"}) {
        SCOPED_TRACE(mode);
        serve(mode, sample_page);
        timed_download(4, mode);
        expect_outcome("下载成功！", IDI_INFORMATION);
        UnitGroup* group = find_group(reference_group);
        EXPECT_EQ(group_rates(group), expected);
        // So that the next download has to write every rate again.
        for (UnitMember* member = group ? group->header.next : nullptr; member; member = member->next)
            member->a = -1;
        site.stop();
    }
}

TEST_F(RateDownloadTest, AReplyCutOffBeforeItsEndChangesNothing)
{
    for (const char* mode : {"short", "chunked-cut"}) {
        SCOPED_TRACE(mode);
        serve(mode, sample_page);
        timed_download(4, mode);
        expect_outcome("下载失败：网页没有完整收到！", IDI_EXCLAMATION);
        expect_nothing_changed();
        site.stop();
    }
}

// As behind a firewall that drops the packets: the connection attempt
// gives up after its time-out.
TEST_F(RateDeadlineTest, AConnectionNeverAnsweredGivesUp)
{
    serve("unaccepted");
    timed_download(4);
    expect_outcome("无法连接网络！", IDI_EXCLAMATION);
    EXPECT_TRUE(site.requests().empty());
    expect_nothing_changed();
}

// Every byte comes well within any silence time-out; the deadline of the
// whole exchange ends it.
TEST_F(RateDeadlineTest, AServerThatTricklesIsCutOffAtTheDeadline)
{
    serve("trickle", sample_page);
    timed_download(4);
    expect_outcome("下载失败：网页没有完整收到！", IDI_EXCLAMATION);
    expect_nothing_changed();
}

// A host that publishes the bank's rates: its page, made by the Linux dvtool
// from the real file and served by nginx, gives every currency its middle
// rate; the four tables the bank does not publish are no rate table.
TEST_F(RateDownloadTest, ThePageMadeFromTheReferenceRatesGivesEveryMiddleRate)
{
    std::vector<std::pair<std::string, double>> rates = reference_rates(read_source(reference_rates_file));
    ASSERT_EQ(rates.size(), 30u) << "needs libqalculate-data (tools/setup.sh installs it)";
    ASSERT_EQ(site.run_program(DUVARIN_NATIVE_DVTOOL, {"page", reference_rates_file, site.unix_file("index.html")}),
              "");
    std::string page = site.unix_file("index.html");
    serve_nginx(page.substr(0, page.find_last_of('/')));
    for (int row : {0, 1, 2, 4}) {
        download(row);
        expect_outcome("下载失败：网页中没有汇率表！", IDI_EXCLAMATION);
        expect_nothing_changed();
    }

    timed_download(middle_row, "reference rates");
    expect_outcome("下载成功！", IDI_INFORMATION);
    double yuan = 0;
    for (const auto& rate : rates)
        if (rate.first == "CNY")
            yuan = rate.second;
    ASSERT_GT(yuan, 0);
    // The euro first, then the bank's order; the yuan is the base.
    std::vector<std::pair<std::string, double>> expected = {{"欧元", 1 / yuan}};
    for (const auto& rate : rates)
        if (rate.first != "CNY")
            expected.emplace_back(currency_name(rate.first.c_str()), rate.second / yuan);
    std::vector<std::pair<std::string, float>> arrived = group_rates(find_group(middle_group));
    ASSERT_EQ(arrived.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(arrived[i].first, expected[i].first);
        // The page rounds each price to six significant digits.
        EXPECT_NEAR(arrived[i].second, expected[i].second, expected[i].second * 6e-6) << expected[i].first;
    }
    EXPECT_EQ(group_count(), 3);
    select_list(download_list, middle_row);
    EXPECT_STREQ(download_status_text(), "成功下载");
    EXPECT_EQ(site.nginx_log().size(), 5u);
}

TEST_F(RateDownloadTest, RepliesWithoutARateTableChangeNothing)
{
    std::string lower_case = read_source(sample_page);
    for (size_t at = lower_case.find("<TD"); at != std::string::npos; at = lower_case.find("<TD", at))
        lower_case.replace(at, 3, "<td");
    struct Reply {
        const char* mode;
        std::string argument;
    } replies[] = {
        {"empty", ""},
        {"page", site.write_page("error.html", "<html><body><h1>404 Not Found</h1></body></html>\n")},
        {"page", site.write_page("lower-case.html", lower_case)},
        // Table cells, but none holds a rate.
        {"page",
         site.write_page("not-rates.html", quotation_page({{"新闻", "&nbsp;"}, {"关于", "-"}, {"联系", "电话"}}))},
        // Another shape: a <TD line, ten lines later another, then text.
        {"page", site.write_page("menu.html", "<TD>首页</TD>\n" + std::string(10, '\n') +
                                                  "<TD>新闻</TD>\n<TD>关于</TD>\n"
                                                  "<TD>联系</TD>\n<TD>招聘</TD>\n<TD>English</TD>\n<TD>帮助</TD>\n")},
    };
    for (const Reply& reply : replies) {
        serve(reply.mode, reply.argument);
        download(4);
        expect_outcome("下载失败：网页中没有汇率表！", IDI_EXCLAMATION);
        expect_nothing_changed();
        site.stop();
    }
}

// The user's own change, not yet saved, and the dv.dat that saving it writes.
std::vector<SampleGroup> rename_first_member(const char* name = "别名")
{
    write_name(member_at(group_at(0), 0)->name, name);
    std::vector<SampleGroup> groups = sample_groups();
    groups[0].members[0].name = name;
    return groups;
}

// As Task Manager's "End task" does to a window that looks stuck (a close,
// posted or sent), or the taskbar's Close window (the system's close
// command, posted; a disabled window would ignore it): the close ends the
// download at once, asks about unsaved changes as any close does, with the
// window enabled again, and the program's own loop ends with code 0.
// Nothing of the download reaches the files or the database, which is
// freed under it.
TEST_F(RateDownloadTest, AWindowClosedByAnotherProgramMidDownloadEndsTheProgram)
{
    const std::string saved_database = read_file("dv.dat");
    const std::string saved_log = read_file("config.f");
    struct Round {
        const char* name;
        const char* new_name;  // of the first member, or null: nothing changed
        UINT message;
        WPARAM wparam;
        bool post;
    };
    const Round rounds[] = {{"nothing changed, close posted", nullptr, WM_CLOSE, 0, true},
                            {"unsaved changes, saved, close sent", "别名", WM_CLOSE, 0, false},
                            {"unsaved changes, saved, the taskbar's close", "又名", WM_SYSCOMMAND, SC_CLOSE, true}};
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.name);
        if (&round != rounds)
            restart();
        bool changed = round.new_name != nullptr;
        std::vector<SampleGroup> expected_groups = changed ? rename_first_member(round.new_name) : sample_groups();
        serve("silent");
        HWND window = main_window;
        MidDownloadSender closer(site, {{round.message, round.wparam}}, round.post);
        auto [code, ran] = download_in_programs_loop(closer);

        EXPECT_TRUE(closer.request_seen);
        EXPECT_EQ(code, 0);
        // The silent server would hold it until the deadline.
        EXPECT_LT(ran, exchange_timeout_ms);
        EXPECT_FALSE(IsWindow(window));
        std::vector<SeenMessageBox> boxes = seen_message_boxes();
        ASSERT_EQ(boxes.size(), changed ? 2u : 1u);
        EXPECT_EQ(boxes[0].text, "您确定下载该文件到您的计算机中？");
        if (changed) {
            EXPECT_EQ(boxes[1].text, "修改尚未保存，是否保存？");
            EXPECT_EQ(boxes[1].owner, window);
        }
        EXPECT_EQ(window_events(), changed ? "DBEDEDBE" : "DBEDE");
        EXPECT_EQ(read_file("dv.dat"), changed ? database_bytes(expected_groups) : saved_database);
        EXPECT_EQ(read_file("config.f"), saved_log);
        // Freed, and not written into since: no rate group, no date.
        EXPECT_EQ(unit_database.next, nullptr);
        for (const DownloadRecord& record : download_log.records)
            EXPECT_TRUE(same_date(record, old_date));
        site.stop();
    }
}

// Cancel keeps the window and the user's change; the download has ended
// all the same, and the window is usable again at once.
TEST_F(RateDownloadTest, ACloseCancelledMidDownloadLeavesTheWindowAsBeforeTheDownload)
{
    rename_first_member();
    serve("silent");
    MidDownloadSender closer(site, {{WM_CLOSE, 0}});
    DWORD started = GetTickCount();
    select_list(download_list, 4);
    watch_message_boxes({IDYES, IDCANCEL});
    click(IDC_DOWNLOAD);
    DWORD ran = GetTickCount() - started;
    closer.finish();

    EXPECT_TRUE(closer.request_seen);
    EXPECT_EQ(closer.results, std::vector<LRESULT>{0});
    EXPECT_LT(ran, exchange_timeout_ms);
    std::vector<SeenMessageBox> boxes = seen_message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "修改尚未保存，是否保存？");
    EXPECT_TRUE(IsWindow(main_window));
    EXPECT_TRUE(IsWindowEnabled(main_window));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_STREQ(member_at(group_at(0), 0)->name, "别名");
    expect_nothing_changed();
}

// The end of the Windows session ends the download as a close does, then
// asks, with the window enabled again, and saves what the user wants saved.
TEST_F(RateDownloadTest, TheSessionEndingMidDownloadSavesTheUsersChangesAndAbandonsIt)
{
    const std::string saved_log = read_file("config.f");
    std::vector<SampleGroup> expected_groups = rename_first_member();
    serve("silent");
    MidDownloadSender session(site, {{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, TRUE}});
    DWORD started = GetTickCount();
    download(4);
    DWORD ran = GetTickCount() - started;
    session.finish();

    EXPECT_TRUE(session.request_seen);
    EXPECT_EQ(session.results, (std::vector<LRESULT>{TRUE, 0}));
    EXPECT_EQ(session.disabled_before, (std::vector<bool>{true, false}));
    EXPECT_LT(ran, exchange_timeout_ms);
    std::vector<SeenMessageBox> boxes = seen_message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "修改尚未保存，是否保存？");
    EXPECT_EQ(window_events(), "DBEDEDBE");
    EXPECT_EQ(read_file("dv.dat"), database_bytes(expected_groups));
    EXPECT_EQ(read_file("config.f"), saved_log);
    expect_nothing_changed();
    EXPECT_FALSE(download_running());
    EXPECT_TRUE(IsWindowEnabled(main_window));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

// What the test makes of the lookup's answer: it never arrives, as from a
// name server that does not answer. Meanwhile the window must be painted.
HHOOK lookup_hook;
bool painted_during_lookup;

LRESULT CALLBACK hold_back_lookup(int code, WPARAM wparam, LPARAM lparam)
{
    MSG* message = reinterpret_cast<MSG*>(lparam);
    if (code == HC_ACTION && message->hwnd == main_window) {
        if (message->message == WM_HOST_FOUND) {
            message->message = WM_NULL;
            InvalidateRect(main_window, nullptr, FALSE);
        }
        if (message->message == WM_PAINT && running_download.phase == DownloadPhase::looking_up)
            painted_during_lookup = true;
    }
    return CallNextHookEx(lookup_hook, code, wparam, lparam);
}

TEST_F(RateDeadlineTest, ALookupNotAnsweredInTimeCannotConnect)
{
    serve("page", sample_page);
    painted_during_lookup = false;
    lookup_hook = SetWindowsHookExW(WH_GETMESSAGE, hold_back_lookup, nullptr, GetCurrentThreadId());
    timed_download(4);
    UnhookWindowsHookEx(lookup_hook);
    expect_outcome("无法连接网络！", IDI_EXCLAMATION);
    EXPECT_GE(window_held_ms(), connect_timeout_ms);
    EXPECT_LT(window_held_ms(), exchange_timeout_ms);
    EXPECT_TRUE(painted_during_lookup);
    EXPECT_TRUE(site.requests().empty());
    expect_nothing_changed();
}

// Real keys go to the foreground window: these cases run alone, once
// (update/CMakeLists.txt).
class RateDownloadKeysTest : public RateDownloadTest {};

// The keys this thread took from its queue, by what the download was doing.
HHOOK key_hook;
int keys_taken_while_waiting;
int keys_taken_by_the_outcome_box;

LRESULT CALLBACK count_keys_taken(int code, WPARAM wparam, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<MSG*>(lparam);
    DownloadPhase phase = running_download.phase;
    if (code == HC_ACTION && wparam == PM_REMOVE && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        if (phase == DownloadPhase::reporting)
            keys_taken_by_the_outcome_box++;
        else if (phase == DownloadPhase::looking_up || phase == DownloadPhase::connecting ||
                 phase == DownloadPhase::exchanging)
            keys_taken_while_waiting++;
    }
    return CallNextHookEx(key_hook, code, wparam, lparam);
}

// Enter, tapped while the download waits, does nothing, now or later: kept
// in the queue, it would answer the outcome box before the user saw it.
// Afterwards the window is active, with the focus on 下载 as before.
TEST_F(RateDownloadKeysTest, AKeyTappedDuringTheWaitLeavesTheOutcomeBoxToTheUser)
{
    serve("pieces", sample_page);
    ASSERT_TRUE(bring_to_front());
    SetFocus(download_button);
    keys_taken_while_waiting = 0;
    keys_taken_by_the_outcome_box = 0;
    key_hook = SetWindowsHookExW(WH_GETMESSAGE, count_keys_taken, nullptr, GetCurrentThreadId());
    MidDownloadSender tapper(site, MidDownloadSender::RealKeys(), {VK_RETURN});
    download(4);
    tapper.finish();
    UnhookWindowsHookEx(key_hook);

    EXPECT_TRUE(tapper.request_seen);
    EXPECT_EQ(keys_taken_while_waiting, 2);
    EXPECT_EQ(keys_taken_by_the_outcome_box, 0);
    expect_outcome("下载成功！", IDI_INFORMATION);
    EXPECT_EQ(GetActiveWindow(), main_window);
    EXPECT_EQ(focused_id(), IDC_DOWNLOAD);
}

// Alt+F4 closes the window while the download waits, as it closes any
// window, and the program ends.
TEST_F(RateDownloadKeysTest, AltF4DuringTheWaitEndsTheProgram)
{
    const std::string saved_log = read_file("config.f");
    serve("silent");
    ASSERT_TRUE(bring_to_front());
    HWND window = main_window;
    MidDownloadSender closer(site, MidDownloadSender::RealKeys(), {VK_MENU, VK_F4});
    auto [code, ran] = download_in_programs_loop(closer);

    EXPECT_TRUE(closer.request_seen);
    EXPECT_EQ(code, 0);
    EXPECT_LT(ran, exchange_timeout_ms);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(seen_message_boxes().size(), 1u);
    EXPECT_EQ(read_file("config.f"), saved_log);
}
