// Winsock's header must come before the one of windows.h that it replaces.
#include <winsock2.h>
#include "update/download_exchange.h"
#include <algorithm>
#include <cstring>
#include "shell/app_state.h"
#include "update/http_reply.h"
#include "update/rate_download.h"

#ifndef DUVARIN_QUOTATION_HOST
#define DUVARIN_QUOTATION_HOST "localhost"
#endif

const char quotation_host[] = DUVARIN_QUOTATION_HOST;
const unsigned short http_port = 80;
QuotationAddress quotation_address = {quotation_host, http_port};

RunningDownload running_download = {DownloadPhase::idle, INVALID_SOCKET, nullptr, nullptr, 0, 0, 0, 0, 0, false};

namespace {

// The whole request; no blank after the colon and no other header lines.
const char request[] = "GET / HTTP/1.1\r\nHost:" DUVARIN_QUOTATION_HOST "\r\n\r\n";
const int request_length = sizeof request - 1;

// The longest the wait goes without looking at the queue.
const DWORD queue_look_ms = 1000;

// The lookup's answer among the socket's FD_ bits, which use the low ten.
const long host_found_event = 1L << 30;

// The lookup writes its answer here. Static: a lookup given up at the
// deadline may still write it later, since not every system can stop one
// that has started; it then writes the same host's address.
char host_answer[MAXGETHOSTSTRUCT];
// Each receive lands here first, since the chunk framing does not go into
// the reply.
char received[4096];

RunningDownload& download = running_download;

bool is_waiting(DownloadPhase phase)
{
    return phase == DownloadPhase::looking_up || phase == DownloadPhase::connecting ||
           phase == DownloadPhase::exchanging;
}

// Milliseconds left until the deadline, 0 once it has passed.
DWORD time_left(DWORD deadline)
{
    DWORD now = GetTickCount();
    // Tick counts wrap; the difference still says which comes first.
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

// Takes one waiting message of the range, if there is one. PeekMessage
// hands out the quit message whatever the range; it belongs to the
// program's loop, so it is posted again and the download ends, since the
// window that posted it is gone or going. After that nothing is taken.
bool take_message(HWND window, UINT first, UINT last, MSG& message)
{
    if (download.quit_taken || !PeekMessageW(&message, window, first, last, PM_REMOVE))
        return false;
    if (message.message != WM_QUIT)
        return true;
    download.quit_taken = true;
    PostQuitMessage(static_cast<int>(message.wParam));
    abandon_download();
    return false;
}

// Keys and clicks made while the window is disabled do nothing, now or
// later. Left in the queue, they would go to the next loop that reads it:
// the outcome box's, where a key pressed during the wait would answer the
// box before the user has seen it. Alt+F4 still closes the window, as the
// default procedure would make it do.
void drop_input()
{
    MSG message;
    while (take_message(nullptr, WM_KEYFIRST, WM_KEYLAST, message)) {
        if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && (HIWORD(message.lParam) & KF_ALTDOWN))
            PostMessageW(main_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    while (take_message(nullptr, WM_MOUSEFIRST, WM_MOUSELAST, message)) {
    }
    while (take_message(nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, message)) {
    }
}

// Paint messages, the closes that another program or the taskbar posts
// (they end the download), the download's own events and input, which is
// dropped; a few at a time, so that none of them starves the others.
// Messages that other threads send are delivered by these calls too.
void take_messages()
{
    static_assert(WM_CLOSE == WM_PAINT + 1, "one range for paint and close");
    MSG message;
    for (int i = 0; i < 16 && take_message(nullptr, WM_PAINT, WM_CLOSE, message); i++)
        DispatchMessageW(&message);
    for (int i = 0; i < 16 && take_message(nullptr, WM_SYSCOMMAND, WM_SYSCOMMAND, message); i++)
        DispatchMessageW(&message);
    for (int i = 0; i < 16 && take_message(main_window, WM_HOST_FOUND, WM_SOCKET_EVENT, message); i++)
        DispatchMessageW(&message);
    drop_input();
}

enum class Wait { ready, timed_out, abandoned };

// The one wait of the download: until one of the wanted events has come,
// the time is up or the download is abandoned (by a close, the end of the
// session or the quit message), painting meanwhile. The events are taken
// from the record, so that one that a message box's loop dispatched
// meanwhile is not lost. Windows calls a window hung, greys it out and
// offers to end the program when its thread has not looked at its queue for
// 5 s, so the wait looks at least once a second, whatever it waits for.
Wait wait_for(long wanted, DWORD until)
{
    for (;;) {
        take_messages();
        if (download.phase == DownloadPhase::abandoned)
            return Wait::abandoned;
        // A box that another program's message opened meanwhile may enable
        // its owner as it closes, disabled before or not.
        if (IsWindowEnabled(main_window))
            EnableWindow(main_window, FALSE);
        if (download.events & wanted) {
            download.events &= ~wanted;
            return Wait::ready;
        }
        DWORD left = time_left(until);
        if (left == 0)
            return Wait::timed_out;
        // Wakes for what arrives after the looks above: a paint request, a
        // posted event, a message that another thread sends, input.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(left, queue_look_ms),
                                  QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_INPUT);
    }
}

// The lookup runs apart from this thread, so that its wait is this one's,
// bounded by the connection's deadline.
bool look_up_host(sockaddr_in& remote)
{
    download.phase = DownloadPhase::looking_up;
    download.lookup =
        WSAAsyncGetHostByName(main_window, WM_HOST_FOUND, quotation_address.host, host_answer, sizeof host_answer);
    if (!download.lookup)
        return false;
    if (wait_for(host_found_event, download.connect_deadline) != Wait::ready || download.lookup_error)
        return false;
    const hostent* host = reinterpret_cast<const hostent*>(host_answer);
    if (host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list[0])
        return false;
    remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(quotation_address.port);
    std::memcpy(&remote.sin_addr, host->h_addr_list[0], 4);
    return true;
}

// The attempt gives up at the connection's deadline; a dropped packet
// would otherwise hold the window for the system's own retries.
bool connect_to_host(const sockaddr_in& remote)
{
    download.phase = DownloadPhase::connecting;
    // The socket becomes non-blocking: each step below waits here instead.
    if (WSAAsyncSelect(download.connection, main_window, WM_SOCKET_EVENT, FD_CONNECT | FD_WRITE | FD_READ | FD_CLOSE) ==
        SOCKET_ERROR)
        return false;
    if (connect(download.connection, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK)
        return false;
    return wait_for(FD_CONNECT, download.connect_deadline) == Wait::ready && download.connect_error == 0;
}

bool send_request()
{
    download.phase = DownloadPhase::exchanging;
    for (int sent = 0; sent < request_length;) {
        int n = send(download.connection, request + sent, request_length - sent, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            if (wait_for(FD_WRITE | FD_CLOSE, download.deadline) != Wait::ready)
                return false;
            continue;
        }
        if (n == SOCKET_ERROR || n == 0)
            return false;
        sent += n;
    }
    return true;
}

// A status other than 2xx is the answer as soon as its header is whole: the
// body is then no page of ours. A status line without a code is read like a
// page without framing.
bool is_refusal(int status)
{
    return status > 0 && !is_success_status(status);
}

// Receives until the framing says the reply is whole or refused, the peer
// closes or the deadline passes; every wait ends at the deadline, so a
// server that trickles bytes is cut off too. Each receive takes what has
// come; the next event comes only after one found nothing.
Fetch receive_reply(char* reply, int limit, int& status)
{
    HttpReply framing;
    begin_reply(framing, reply, limit);
    bool any = false;
    ReplyState state = ReplyState::receiving;
    while (state == ReplyState::receiving && !is_refusal(framing.status)) {
        int n = recv(download.connection, received, sizeof received, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            Wait wait = wait_for(FD_READ | FD_CLOSE, download.deadline);
            if (wait == Wait::abandoned)
                return Fetch::abandoned;
            if (wait == Wait::timed_out)
                return Fetch::incomplete;
            continue;
        }
        // An error before any byte means there was no exchange; after some,
        // the framing judges what came.
        if (n == SOCKET_ERROR && !any)
            return Fetch::no_connection;
        if (n == 0 || n == SOCKET_ERROR) {
            state = close_reply(framing);
        } else {
            any = true;
            state = add_reply_bytes(framing, received, n);
        }
    }
    status = framing.status;
    if (is_refusal(status))
        return Fetch::refused;
    return state == ReplyState::complete ? Fetch::page : Fetch::incomplete;
}

void set_system_cursor(LPCSTR cursor)
{
    SetCursor(LoadCursorA(nullptr, cursor));
}

// The deadlines count from now. The wait holds the only thread, which
// meanwhile only paints; the disabled window keeps the selection and the
// database still.
void begin_exchange()
{
    DWORD now = GetTickCount();
    download.phase = DownloadPhase::looking_up;
    download.connect_deadline = now + connect_timeout_ms;
    download.deadline = now + exchange_timeout_ms;
    download.events = 0;
    download.connect_error = 0;
    download.lookup_error = 0;
    download.quit_taken = false;
    download.focus = GetFocus();
    set_system_cursor(IDC_WAIT);
    EnableWindow(main_window, FALSE);
}

// A TCP socket bound to any local address and port, kept in the record;
// false if there is none.
bool open_local_socket()
{
    SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET)
        return false;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(0);
    if (bind(connection, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        closesocket(connection);
        return false;
    }
    download.connection = connection;
    return true;
}

// Closes the socket, cancels the lookup and drops their events still queued.
void close_exchange()
{
    if (download.lookup)
        WSACancelAsyncRequest(download.lookup);
    download.lookup = nullptr;
    if (download.connection != INVALID_SOCKET)
        closesocket(download.connection);
    download.connection = INVALID_SOCKET;
    // Events already queued would otherwise be taken for the next
    // download's, whose socket may have the same number.
    MSG message;
    while (take_message(main_window, WM_HOST_FOUND, WM_SOCKET_EVENT, message)) {
    }
}

// The window is enabled before any box comes up: a box whose owner is
// disabled when it closes hands the activation to another program, and
// Duvarin would lose the keyboard. A disabled window may have lost the
// focus, so it goes back where it was.
void end_exchange()
{
    close_exchange();
    drop_input();
    set_system_cursor(IDC_ARROW);
    if (!IsWindow(main_window))
        return;
    EnableWindow(main_window, TRUE);
    HWND focus = download.focus;
    download.focus = nullptr;
    if (focus && GetActiveWindow() == main_window && IsWindow(focus) && IsChild(main_window, focus))
        SetFocus(focus);
}

}  // namespace

Fetch fetch_page(char* reply, int limit, int& status)
{
    begin_exchange();
    sockaddr_in remote;
    Fetch fetched = Fetch::no_connection;
    if (open_local_socket() && look_up_host(remote) && connect_to_host(remote) && send_request())
        fetched = receive_reply(reply, limit, status);
    end_exchange();
    return fetched;
}

bool download_running()
{
    return download.phase != DownloadPhase::idle;
}

void abandon_download()
{
    if (!is_waiting(download.phase))
        return;
    download.phase = DownloadPhase::abandoned;
    end_exchange();
}

void note_download_event(UINT message, WPARAM wparam, LPARAM lparam)
{
    // Answers for a lookup or a socket of an earlier download say nothing
    // about this one.
    if (message == WM_HOST_FOUND && download.lookup && reinterpret_cast<HANDLE>(wparam) == download.lookup) {
        download.lookup = nullptr;
        download.lookup_error = WSAGETASYNCERROR(lparam);
        download.events |= host_found_event;
    }
    if (message == WM_SOCKET_EVENT && download.connection != INVALID_SOCKET &&
        static_cast<SOCKET>(wparam) == download.connection) {
        long event = WSAGETSELECTEVENT(lparam);
        if (event == FD_CONNECT)
            download.connect_error = WSAGETSELECTERROR(lparam);
        download.events |= event;
    }
}
