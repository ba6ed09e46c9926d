// Winsock's header must come before the one of windows.h that it replaces.
#include <winsock2.h>
#include "update/rate_download.h"
#include <cstdio>
#include <cstring>
#include "convert/convert_page.h"
#include "database/unit_database.h"
#include "editor/editor_commands.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "shell/window_text.h"
#include "update/download_log.h"
#include "update/http_reply.h"
#include "update/quotation_scan.h"

#ifndef DUVARIN_QUOTATION_HOST
#define DUVARIN_QUOTATION_HOST "localhost"
#endif

const char quotation_host[] = DUVARIN_QUOTATION_HOST;
const unsigned short http_port = 80;
QuotationAddress quotation_address = {quotation_host, http_port};

namespace {

// The whole request; no blank after the colon and no other header lines.
const char request[] = "GET / HTTP/1.1\r\nHost:" DUVARIN_QUOTATION_HOST "\r\n\r\n";
const int request_length = sizeof request - 1;

const DWORD paint_slice_ms = 100;   // the longest wait between two looks for paint messages
const char network_caption[] = "网络";
const char base_member_name[] = "人民币";

// The reply of the running download as the scan reads it, always
// zero-terminated; each receive lands in received first, since the chunk
// framing does not go into the reply. Static: a whole page has room
// without any allocation.
char reply[reply_limit + 1];
char received[4096];

int show_network_message(const char* text, UINT type)
{
    return show_message_box(main_window, text, network_caption, type);
}

void set_system_cursor(LPCSTR cursor)
{
    SetCursor(LoadCursorA(nullptr, cursor));
}

// A TCP socket bound to any local address and port, or INVALID_SOCKET.
SOCKET open_local_socket()
{
    SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) return INVALID_SOCKET;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(0);
    if (bind(connection, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        closesocket(connection);
        return INVALID_SOCKET;
    }
    return connection;
}

// Milliseconds left until the deadline, 0 once it has passed.
DWORD time_left(DWORD deadline)
{
    DWORD now = GetTickCount();
    // Tick counts wrap; the difference still says which comes first.
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

// Paint messages only, and a few at a time: the window is disabled, so no
// input can arrive, and a window that keeps taking messages is not greyed
// out by the system as not responding.
void keep_painting()
{
    MSG message;
    for (int i = 0; i < 16 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); i++)
        DispatchMessageW(&message);
}

enum class Wait { ready, timed_out, failed };

// Waits until the socket can be written (connected) or read, or wait_ms
// have passed, painting meanwhile.
Wait wait_for(SOCKET connection, bool to_write, DWORD wait_ms)
{
    DWORD deadline = GetTickCount() + wait_ms;
    for (;;) {
        keep_painting();
        DWORD left = time_left(deadline);
        DWORD slice = left < paint_slice_ms ? left : paint_slice_ms;
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(connection, &ready);
        if (to_write) FD_SET(connection, &failed);
        timeval timeout = {static_cast<long>(slice / 1000), static_cast<long>(slice % 1000 * 1000)};
        // A connection attempt that fails is reported in the third set.
        int n = to_write ? select(0, nullptr, &ready, &failed, &timeout)
                         : select(0, &ready, nullptr, nullptr, &timeout);
        if (n == SOCKET_ERROR) return Wait::failed;
        if (n > 0) return FD_ISSET(connection, &failed) ? Wait::failed : Wait::ready;
        if (left == 0) return Wait::timed_out;
    }
}

// The connection attempt gives up after connect_timeout_ms, or at the
// deadline if that comes first; a dropped packet would otherwise hold the
// window for the system's own retries.
bool connect_to_host(SOCKET connection, DWORD deadline)
{
    hostent* host = gethostbyname(quotation_address.host);
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list[0]) return false;
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(quotation_address.port);
    std::memcpy(&remote.sin_addr, host->h_addr_list[0], 4);
    u_long non_blocking = 1;
    if (ioctlsocket(connection, FIONBIO, &non_blocking) == SOCKET_ERROR) return false;
    if (connect(connection, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        DWORD left = time_left(deadline);
        if (wait_for(connection, true, left < connect_timeout_ms ? left : connect_timeout_ms) != Wait::ready)
            return false;
        int error = 0;
        int size = sizeof error;
        if (getsockopt(connection, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == SOCKET_ERROR ||
            error != 0)
            return false;
    }
    u_long blocking = 0;
    return ioctlsocket(connection, FIONBIO, &blocking) != SOCKET_ERROR;
}

bool send_request(SOCKET connection)
{
    for (int sent = 0; sent < request_length;) {
        int n = send(connection, request + sent, request_length - sent, 0);
        if (n == SOCKET_ERROR || n == 0) return false;
        sent += n;
    }
    return true;
}

enum class Fetch { page, no_connection, incomplete, refused };

// A status other than 2xx is the answer as soon as its header is whole: the
// body is then no page of ours. A status line without a code is read like a
// page without framing.
bool is_refusal(int status)
{
    return status > 0 && !is_success_status(status);
}

// Receives until the framing says the reply is whole or refused, the peer
// closes or the deadline passes; every receive waits only until the
// deadline, so a server that trickles bytes is cut off too.
Fetch receive_reply(SOCKET connection, DWORD deadline, int& status)
{
    HttpReply framing;
    begin_reply(framing, reply, reply_limit);
    bool any = false;
    ReplyState state = ReplyState::receiving;
    while (state == ReplyState::receiving && !is_refusal(framing.status)) {
        Wait wait = wait_for(connection, false, time_left(deadline));
        if (wait == Wait::timed_out) return Fetch::incomplete;
        int n = wait == Wait::ready ? recv(connection, received, sizeof received, 0) : SOCKET_ERROR;
        // An error before any byte means there was no exchange; after some,
        // the framing judges what came.
        if (n == SOCKET_ERROR && !any) return Fetch::no_connection;
        if (n == 0 || n == SOCKET_ERROR) {
            state = close_reply(framing);
        } else {
            any = true;
            state = add_reply_bytes(framing, received, n);
        }
    }
    status = framing.status;
    if (is_refusal(status)) return Fetch::refused;
    return state == ReplyState::complete ? Fetch::page : Fetch::incomplete;
}

Fetch fetch_page(SOCKET connection, DWORD deadline, int& status)
{
    if (!connect_to_host(connection, deadline) || !send_request(connection)) return Fetch::no_connection;
    return receive_reply(connection, deadline, status);
}

// Whether the page would give the group at least one rate. The trial scan
// goes into a group outside the database, so that a reply without a table
// changes nothing.
bool holds_rate_table(int column)
{
    UnitGroup trial = {};
    int rows = scan_quotation(reply, &trial, column);
    while (trial.header.next) remove_member(&trial, trial.header.next);
    return rows > 0;
}

void store_rates(int row)
{
    read_today();
    download_log.records[row] = today;
    const char* name = quotation_tables[row].group_name;
    UnitGroup* group = find_group(name);
    if (!group) {
        group = append_group(name);
        if (group) append_member(group, base_member_name, 1.0f, 0.0f);
    }
    scan_quotation(reply, group, row);
}

// Nothing changed, so nothing is repainted or refilled.
void end_failed_download(SOCKET connection, const char* text)
{
    show_network_message(text, MB_OK | MB_ICONEXCLAMATION);
    closesocket(connection);
    EnableWindow(main_window, TRUE);
    set_system_cursor(IDC_ARROW);
}

// The status, the fields and the editor lists follow the new rates; the
// page is repainted before the fields and lists are refilled, and the
// window is enabled last.
void end_download(SOCKET connection)
{
    if (connection != INVALID_SOCKET) closesocket(connection);
    paint_page(with_background);
    enable_fields();
    fill_editor_lists();
    set_system_cursor(IDC_ARROW);
    EnableWindow(main_window, TRUE);
}

void run_download()
{
    int row = list_selection(download_list);
    if (row < 0 || row >= quotation_table_count) return;

    // Winsock is started for every download and stopped only when the
    // window is destroyed.
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) {
        show_network_message("初始化winsock失败！", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (show_network_message("您确定下载该文件到您的计算机中？", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    DWORD deadline = GetTickCount() + exchange_timeout_ms;

    // The calls below wait on the only thread, which only paints meanwhile;
    // the disabled window keeps the selection and the database still.
    set_system_cursor(IDC_WAIT);
    EnableWindow(main_window, FALSE);

    SOCKET connection = open_local_socket();
    if (connection == INVALID_SOCKET) {
        end_download(connection);
        return;
    }
    int status = 0;
    Fetch fetched = fetch_page(connection, deadline, status);
    if (fetched == Fetch::no_connection) {
        end_failed_download(connection, "无法连接网络！");
        return;
    }
    if (fetched == Fetch::refused) {
        char text[64];
        std::snprintf(text, sizeof text, "下载失败：服务器回答 %d！", status);
        end_failed_download(connection, text);
        return;
    }
    if (fetched == Fetch::incomplete) {
        end_failed_download(connection, "下载失败：网页没有完整收到！");
        return;
    }
    if (!holds_rate_table(row)) {
        end_failed_download(connection, "下载失败：网页中没有汇率表！");
        return;
    }
    store_rates(row);
    show_network_message("下载成功！", MB_OK | MB_ICONINFORMATION);
    end_download(connection);
}

}  // namespace

void download_rates()
{
    // The user cannot press the button of a disabled window, but a command
    // that another program sends while the download waits is delivered
    // there; it would start a download inside this one.
    static bool running = false;
    if (running) return;
    running = true;
    run_download();
    running = false;
}
