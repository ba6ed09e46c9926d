#pragma once
// Dispatching the window messages that are waiting, for the test programs
// and the tools that drive the real window (screenshots, measurements).
#include <windows.h>

// How each message is handled: translated and dispatched, unless a program
// step is set (the GUI tests set the main window's, shell/keyboard.h), so
// that keys take the way they take in the program's own loop.
using MessageStep = void (*)(MSG* message);
void set_message_step(MessageStep step);

// Dispatches the waiting messages, and keeps doing so for ms milliseconds.
// A quit message met on the way is kept for quit_message_taken.
void pump_messages(int ms = 0);
// Whether a quit message was dispatched since the last call, and its wParam.
bool quit_message_taken(WPARAM* code);
