#pragma once
// Where the program's texts cross to the window system, and the only place.
//
// Every text of the program is GBK, in memory, in its files and in every
// comparison. The windows, however, are Unicode windows: a text goes in and
// comes out here, converted with code page 936 named explicitly, never with
// the system's ANSI code page. So the interface reads the same on an English
// or Japanese Windows, or one set to UTF-8, as on a Chinese one.
#include <windows.h>

const UINT gbk_code_page = 936;

// The longest text ever shown, a result text included, fits in this many
// UTF-16 units; anything longer is shown cut.
const int shown_text_size = 512;
// The largest buffer a window's text is read into (a conversion field's).
const int read_text_size = 32;

// A control or window of a Unicode class. The text may be null: no text.
HWND create_window(DWORD extended_style, const WCHAR* window_class, const char* text, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance);
void set_window_text(HWND window, const char* text);
// The window's text as GBK into size bytes (at most read_text_size): the
// characters that fit whole into size - 1 bytes. A character that GBK cannot
// hold reads as "?", as a GBK program is used to getting it from the system.
void read_window_text(HWND window, char* text, int size);
// A message whose lParam is a text: LB_ADDSTRING, LB_INSERTSTRING, CB_ADDSTRING.
LRESULT send_text_message(HWND window, UINT message, WPARAM wparam, const char* text);
int show_message_box(HWND owner, const char* text, const char* caption, UINT type);
void draw_text(HDC dc, const char* text, RECT* box, UINT format);
// A font with every other property 0 (default).
HFONT create_font(int height, int weight, DWORD charset, DWORD pitch_and_family, const char* face);
