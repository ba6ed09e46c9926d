// Winsock's header must come before the one of windows.h that it replaces.
#include <winsock2.h>
#include "update/rate_download.h"
#include <cstdio>
#include <cstring>
#include "convert/convert_page.h"
#include "database/unit_database.h"
#include "editor/settings_page.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/document.h"
#include "shell/pages.h"
#include "shell/window_text.h"
#include "update/download_exchange.h"
#include "update/download_log.h"
#include "update/quotation_scan.h"

namespace {

const char network_caption[] = "网络";
const char base_member_name[] = "人民币";

// The reply of the running download as the scan reads it, always
// zero-terminated. Static: a whole page has room without any allocation.
char reply[reply_limit + 1];

RunningDownload& download = running_download;

int show_network_message(const char* text, UINT type)
{
    return show_message_box(main_window, text, network_caption, type);
}

// Whether the page would give the group at least one rate. The trial scan
// goes into a group outside the database, so that a reply without a table
// changes nothing.
bool holds_rate_table(int column)
{
    UnitGroup trial = {};
    int rows = scan_quotation(reply, &trial, column);
    while (trial.header.next)
        remove_member(&trial, trial.header.next);
    return rows > 0;
}

void store_rates(int row)
{
    record_download(row);
    const char* name = quotation_tables[row].group_name;
    UnitGroup* group = find_group(name);
    if (!group) {
        group = append_group(name);
        if (group)
            append_member(group, base_member_name, 1.0f, 0.0f);
    }
    scan_quotation(reply, group, row);
}

// The outcome box, shown with its owner enabled. A close while it is up may
// destroy the window, and with it the box, the database and the drawing
// objects; nothing is touched then.
bool report(const char* text, UINT type)
{
    download.phase = DownloadPhase::reporting;
    show_network_message(text, type);
    return IsWindow(main_window) != FALSE;
}

// Nothing changed, so nothing is repainted or refilled.
void report_failure(const char* text)
{
    report(text, MB_OK | MB_ICONEXCLAMATION);
}

// The status, the fields and the editor lists follow the new rates; the
// page is repainted before the fields and lists are refilled.
void refresh_pages()
{
    paint_page(with_background);
    enable_fields();
    fill_editor_lists();
}

void report_fetch_failure(Fetch fetched, int status)
{
    if (fetched == Fetch::refused) {
        char text[64];
        std::snprintf(text, sizeof text, "下载失败：服务器回答 %d！", status);
        report_failure(text);
    } else {
        report_failure(fetched == Fetch::no_connection ? "无法连接网络！" : "下载失败：网页没有完整收到！");
    }
}

void run_download()
{
    int row = list_selection(download_list);
    if (row < 0 || row >= quotation_table_count)
        return;

    // Winsock is started for every download and stopped only when the
    // window is destroyed.
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) {
        show_network_message("初始化winsock失败！", MB_OK | MB_ICONINFORMATION);
        return;
    }
    download.phase = DownloadPhase::asking;
    int answer = show_network_message("您确定下载该文件到您的计算机中？", MB_YESNO | MB_ICONQUESTION);
    // A close while the question was up destroyed the window with the box.
    if (answer != IDYES || !IsWindow(main_window))
        return;

    int status = 0;
    Fetch fetched = fetch_page(reply, reply_limit, status);
    // Ended by a close or the end of the session: nothing is recorded and
    // nothing is shown.
    if (download.phase == DownloadPhase::abandoned)
        return;
    if (fetched != Fetch::page) {
        report_fetch_failure(fetched, status);
    } else if (!holds_rate_table(row)) {
        report_failure("下载失败：网页中没有汇率表！");
    } else {
        store_rates(row);
        if (report("下载成功！", MB_OK | MB_ICONINFORMATION))
            refresh_pages();
    }
}

}  // namespace

void download_rates()
{
    // The user cannot press the button of a disabled window, but a command
    // that another program sends while the download waits is delivered
    // there; it would start a download inside this one.
    if (download_running())
        return;
    run_download();
    download.phase = DownloadPhase::idle;
}
