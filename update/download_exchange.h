#pragma once
// The network side of the rate download: the name lookup, the connection,
// the request and the reply. Each step waits in one bounded wait that keeps
// the window painted; the steps' events come as messages of the main window
// (WSAAsyncGetHostByName, WSAAsyncSelect), which its procedure hands to
// note_download_event.
#include <winsock2.h>

// The deadlines of an exchange, both counted from the user's Yes. A name
// that no server answers, or a connection that nobody accepts, fails with
// the first; a reply not whole by the second is a failed download.
const DWORD connect_timeout_ms = 10000;   // the name lookup and the connection
const DWORD exchange_timeout_ms = 15000;  // everything, until the reply is whole

// The messages that carry the events of a download to the main window.
const UINT WM_HOST_FOUND = WM_APP + 2;    // the name lookup's answer
const UINT WM_SOCKET_EVENT = WM_APP + 3;  // connected, readable, writable or closed

enum class DownloadPhase {
    idle,        // no download
    asking,      // the question is up
    looking_up,  // from here to exchanging the window is disabled and the
    connecting,  // download waits on the network
    exchanging,  // the request goes out and the reply comes in
    abandoned,   // the window's end ended it: it returns touching nothing
    reporting,   // the outcome is decided, stored and being shown
};

// The running download, from the button press to the end of download_rates;
// there is never more than one.
struct RunningDownload {
    DownloadPhase phase;
    SOCKET connection;       // INVALID_SOCKET while none is open
    HANDLE lookup;           // the name lookup while its answer is awaited
    HWND focus;              // the control that had the focus before the wait
    DWORD connect_deadline;  // for the lookup and the connection together
    DWORD deadline;          // for the whole exchange
    long events;             // FD_ bits and host_found_event, until a wait takes them
    int connect_error;       // what the connection attempt's event said
    int lookup_error;        // what the lookup's answer said
    bool quit_taken;         // a wait took the quit message and posted it again
};
extern RunningDownload running_download;

// Whether a download runs: from the button press to its end.
bool download_running();
// The window is closing or the session ends: a download that waits on the
// network ends at once, its socket closed and its lookup cancelled, and
// returns recording nothing and showing nothing. The window is enabled
// again, so that the question about unsaved changes that follows finds its
// owner enabled. Later phases are left to finish: a close during the
// question or the outcome box destroys the box, and the download then finds
// no window.
void abandon_download();
// The main window's procedure hands WM_HOST_FOUND and WM_SOCKET_EVENT here,
// whichever loop dispatched them (a message box's too).
void note_download_event(UINT message, WPARAM wparam, LPARAM lparam);

enum class Fetch { page, no_connection, incomplete, refused, abandoned };
// After the user's Yes: opens a socket, looks up the host, connects, sends
// the request and receives the reply into reply (zero-terminated, at most
// limit bytes), within the deadlines. status is the reply's HTTP status, 0
// when it has none. Meanwhile, and only meanwhile, the window is disabled
// and shows the wait cursor; when it returns, the window is enabled again
// with the focus where it was, ready for the outcome box. Whatever it
// returns, the download was abandoned if the record's phase says so.
Fetch fetch_page(char* reply, int limit, int& status);
