#pragma once
// Dispatching the window messages that are waiting, for the test programs
// and the tools that drive the real window (screenshots, measurements).
#include <windows.h>

// Dispatches the waiting messages, and keeps doing so for ms milliseconds.
// A quit message met on the way is kept for quit_message_taken.
void pump_messages(int ms = 0);
// Whether a quit message was dispatched since the last call, and its wParam.
bool quit_message_taken(WPARAM* code);
