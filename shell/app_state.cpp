#include "shell/app_state.h"

HWND main_window;
HINSTANCE app_instance;
int current_page;
HFONT ui_font;
HDC sprite_image;
HDC background_image;
CalendarDate today;
int groups_changed;

void read_today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    today.year = now.wYear;
    today.month = now.wMonth;
    today.day = now.wDay;
}
