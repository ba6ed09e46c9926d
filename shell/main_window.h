#pragma once
// The procedure of the main window: it builds the user interface when the
// window is created, tears it down when it is destroyed, and hands every
// other message to the page that handles it.
#include <windows.h>

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
