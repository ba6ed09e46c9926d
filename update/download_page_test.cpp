// The Update page: the list of quotation tables and the status painted for
// the selected one.
#include <gtest/gtest.h>
#include "shell/app_state.h"
#include "shell/controls.h"
#include "testing/gui_test_support.h"
#include "update/download_log.h"
#include "update/download_page.h"

namespace {

const char notice[] = "外汇牌价--网站提供，仅供参考。";

}  // namespace

class UpdatePageTest : public SampleShellTest {
protected:
    // Row 0 downloaded today, row 1 never (but with year and month), row 2
    // the day before, rows 3 and 4 never.
    void SetUp() override
    {
        SampleShellTest::SetUp();
        const unsigned short dates[5][3] = {
            {today.year, today.month, today.day},
            {today.year, today.month, 0},
            {static_cast<unsigned short>(today.year - 1), today.month, today.day},
            {0, 0, 0},
            {0, 0, 0},
        };
        write_file("config.f", download_log_bytes(dates));
        restart();
        mouse_click(50, 330);
        pump_messages(50);
    }
};

TEST_F(UpdatePageTest, ListsTheFiveTablesInOrderWithRowZeroSelected)
{
    std::vector<std::string> expected = {"外汇牌价表-现汇买入价", "外汇牌价表-现钞买入价", "外汇牌价表-卖出价",
                                         "外汇牌价表-中间价", "外汇牌价表-基准价"};
    EXPECT_EQ(list_items(download_list), expected);
    EXPECT_EQ(SendMessageA(download_list, LB_GETCURSEL, 0, 0), 0);
}

TEST_F(UpdatePageTest, EachSelectedRowPaintsItsStatusAndTheNotice)
{
    const char* expected[5] = {"成功下载", "无成功连接", "需要更新", "无成功连接", "无成功连接"};
    for (int row : {0, 1, 2, 3, 4, 0}) {
        select_list(download_list, row);
        ASSERT_NE(download_status_text(), nullptr);
        EXPECT_STREQ(download_status_text(), expected[row]) << row;
        EXPECT_TRUE(shows_label(expected[row], 450, 80, 130, 20)) << row;
        EXPECT_TRUE(shows_label(notice, 340, 130, 300, 20));
    }
}

TEST_F(UpdatePageTest, NoSelectionPaintsNeitherStatusNorNotice)
{
    select_list(download_list, -1);
    EXPECT_EQ(download_status_text(), nullptr);
    EXPECT_TRUE(shows_label("今日下载：", 340, 80, 100, 20));
    EXPECT_TRUE(shows_background(450, 80, 130, 20));
    EXPECT_TRUE(shows_background(340, 130, 300, 20));
}

// The status is judged by the user's own date, whatever the time zone: the
// tests run once more under a zone far east and one far west of UTC, and at
// any hour the date of one of them is not the UTC date.
TEST_F(UpdatePageTest, TheStatusJudgesByTheLocalDateNotTheUniversalOne)
{
    SYSTEMTIME local, utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    download_log.records[3] = DownloadRecord{local.wYear, local.wMonth, local.wDay};
    download_log.records[4] = DownloadRecord{utc.wYear, utc.wMonth, utc.wDay};
    select_list(download_list, 3);
    EXPECT_STREQ(download_status_text(), "成功下载");
    bool same_day = local.wDay == utc.wDay && local.wMonth == utc.wMonth && local.wYear == utc.wYear;
    select_list(download_list, 4);
    EXPECT_STREQ(download_status_text(), same_day ? "成功下载" : "需要更新");
}
