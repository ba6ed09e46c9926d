#pragma once
// The process-wide state of the application shell. Everything is zero until
// the main window is created; the control handles live in shell/controls.h.
#include <windows.h>
#include "update/calendar_date.h"

const int client_width = 700;
const int client_height = 500;

extern HWND main_window;  // null until window creation has returned
extern HINSTANCE app_instance;
extern int current_page;      // 0 during creation, then 1 Convert, 2 Settings, 3 Update
extern HFONT ui_font;         // every control and every painted text
extern HDC sprite_image;      // bitmap 101: the page buttons in their three states
extern HDC background_image;  // bitmap 102: the 700x500 window background
extern CalendarDate today;    // the local date, as read_today last read it
extern int groups_changed;    // 1: the Convert page's group selector must be refilled

// The user's own date, read whenever a date is recorded or compared, so that
// a window left open past midnight goes on with the new day.
void read_today();
