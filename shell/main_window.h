#pragma once
// The procedure of the main window: it builds the user interface when the
// window is created, tears it down when it is destroyed, and hands every
// other message to the page that handles it.
#include <windows.h>

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void on_create(HWND window, const CREATESTRUCTW* creation);
void on_destroy(HWND window, WPARAM wparam, LPARAM lparam);
void on_paint(HWND window);
void on_key_up(WPARAM key);
void on_command(int code, int id, HWND control);
void on_mouse_move(int x, int y);
void on_left_button_down(int x, int y);
