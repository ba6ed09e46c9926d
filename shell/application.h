#pragma once
// Start-up: the window class, the main window, the images, the placement
// and the message loop.
#include <windows.h>

extern const char main_window_title[];

// Start-up steps up to the first paint: registers the class, creates the
// main window (which builds the user interface), records it, loads the
// images, places and shows it. Returns the window, or null.
HWND create_main_window(HINSTANCE instance, int show_command);
// Runs until the quit message and returns its wParam.
int run_message_loop();
// The whole program: 0 when the window cannot be created.
int run_application(HINSTANCE instance, int show_command);

// The top-left corner that centres the 700x500 client on a screen;
// negative on a screen smaller than that.
POINT window_position(int screen_width, int screen_height);
// The outer size whose client area is 700x500 with this platform's frame.
SIZE window_size();
