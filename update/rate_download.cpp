// Winsock's header must come before the one of windows.h that it replaces.
#include <winsock2.h>
#include "update/rate_download.h"
#include <cstring>
#include "convert/convert_page.h"
#include "database/unit_database.h"
#include "editor/editor_commands.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "shell/window_text.h"
#include "update/download_log.h"
#include "update/quotation_scan.h"

#ifndef DUVARIN_QUOTATION_HOST
#define DUVARIN_QUOTATION_HOST "localhost"
#endif

const char quotation_host[] = DUVARIN_QUOTATION_HOST;

namespace {

// The whole request; no blank after the colon and no other header lines.
const char request[] = "GET / HTTP/1.1\r\nHost:" DUVARIN_QUOTATION_HOST "\r\n\r\n";
const int request_length = sizeof request - 1;

const unsigned short http_port = 80;
const char network_caption[] = "网络";
const char base_member_name[] = "人民币";

// The reply of the running download, always zero-terminated.
char reply[reply_limit + 1];

int selected_table_row()
{
    // A null handle would answer 0, which is row 0.
    if (!download_list) return -1;
    return static_cast<int>(SendMessageA(download_list, LB_GETCURSEL, 0, 0));
}

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

bool connect_to_host(SOCKET connection)
{
    hostent* host = gethostbyname(quotation_host);
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list[0]) return false;
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(http_port);
    std::memcpy(&remote.sin_addr, host->h_addr_list[0], 4);
    return connect(connection, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != SOCKET_ERROR;
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

// Receives into reply until the peer closes, the buffer is full or the
// peer stays silent for the time-out; a page may come in many pieces.
// Returns the number of bytes kept, or -1 when an error came before any
// byte did.
int receive_reply(SOCKET connection)
{
    // Without a time-out a server that never answers would hold the
    // disabled window for ever.
    DWORD timeout = receive_timeout_ms;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    int received = 0;
    while (received < reply_limit) {
        int n = recv(connection, reply + received, reply_limit - received, 0);
        if (n == 0) break;
        if (n == SOCKET_ERROR) {
            if (received == 0) received = -1;
            break;
        }
        received += n;
    }
    reply[received < 0 ? 0 : received] = '\0';
    return received;
}

// Whether the page would give the group at least one rate row. The trial
// scan goes into a group outside the database, so that a reply without a
// table changes nothing.
bool holds_rate_table(int column)
{
    UnitGroup trial = {};
    int rows = scan_quotation(reply, &trial, column);
    while (trial.header.next) remove_member(&trial, trial.header.next);
    return rows > 0;
}

void store_rates(int row)
{
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
    paint_page(1);
    enable_fields();
    fill_editor_lists();
    set_system_cursor(IDC_ARROW);
    EnableWindow(main_window, TRUE);
}

}  // namespace

void download_rates()
{
    int row = selected_table_row();
    if (row < 0 || row >= quotation_table_count) return;

    // Winsock is started for every download and stopped only when the
    // window is destroyed.
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) {
        show_network_message("初始化winsock失败！", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (show_network_message("您确定下载该文件到您的计算机中？", MB_YESNO | MB_ICONQUESTION) != IDYES) return;

    // The calls below block the only thread; the disabled window keeps the
    // selection and the database still meanwhile.
    set_system_cursor(IDC_WAIT);
    EnableWindow(main_window, FALSE);

    SOCKET connection = open_local_socket();
    if (connection == INVALID_SOCKET) {
        end_download(connection);
        return;
    }
    if (!connect_to_host(connection) || !send_request(connection) || receive_reply(connection) < 0) {
        end_failed_download(connection, "无法连接网络！");
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
