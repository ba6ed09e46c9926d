#pragma once
// Test support: answers the message boxes the program shows, as the user
// would, and keeps what each one said.
#include <windows.h>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    bool yes_no;       // Yes and No buttons, else OK only
    HICON icon;        // as LoadIcon(nullptr, IDI_...) gives it
    bool wait_cursor;  // the cursor, when the box came up
    HWND owner;
    DWORD shown_at;   // GetTickCount when the box came up
    DWORD closed_at;  // and when it went, after its answer
};

// Answers every message box of this thread: a question with the given
// answer (IDYES or IDNO), any other box with OK.
void watch_message_boxes(int answer);
// The same, each question answered in turn, the last answer for the rest.
void watch_message_boxes(std::vector<int> answers);
void stop_watching_message_boxes();
std::vector<SeenMessageBox> seen_message_boxes();
// What happened to the main window since watching began: D disabled, E
// enabled, B a message box came up. A box disables its owner itself while
// it is up, unless the owner was disabled already.
std::string window_events();
