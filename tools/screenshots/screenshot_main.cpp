// Renders the program, as it stands on the screen, into pictures in the
// working folder (which holds the dv.dat to show): the client area of each
// page (convert.bmp, settings.bmp, update.bmp); the whole window on the
// Settings page (window.bmp); the download's question (question.bmp) and the
// About box (about.bmp). Window frames and captions show only where Wine
// draws them itself, in a Wine desktop of its own (tools/screenshots.sh).
#include <windows.h>
#include <cstdio>
#include "resources/resource.h"
#include "shell/about_box.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "testing/message_pump.h"

namespace {

void put16(FILE* f, unsigned v)
{
    std::fputc(v & 0xFF, f);
    std::fputc((v >> 8) & 0xFF, f);
}
void put32(FILE* f, unsigned v)
{
    put16(f, v & 0xFFFF);
    put16(f, v >> 16);
}

// A rectangle of the screen, read back into a picture file.
bool capture(RECT box, const char* file_name)
{
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    SelectObject(copy, old);

    int row_size = (width * 3 + 3) & ~3;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    unsigned char* pixels = new unsigned char[row_size * height];
    GetDIBits(copy, bitmap, 0, height, pixels, &info, DIB_RGB_COLORS);

    FILE* f = std::fopen(file_name, "wb");
    if (f) {
        put16(f, 0x4D42);
        put32(f, 54 + row_size * height);
        put32(f, 0);
        put32(f, 54);
        put32(f, 40);
        put32(f, width);
        put32(f, height);
        put16(f, 1);
        put16(f, 24);
        for (int i = 0; i < 6; i++)
            put32(f, 0);
        std::fwrite(pixels, 1, row_size * height, f);
        std::fclose(f);
    }
    delete[] pixels;
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return f != nullptr;
}

// The client area, without the frame: with no window manager nothing draws it.
bool capture_client(const char* file_name)
{
    RECT box;
    GetClientRect(main_window, &box);
    MapWindowPoints(main_window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    return capture(box, file_name);
}

bool capture_whole(HWND window, const char* file_name)
{
    RECT box;
    GetWindowRect(window, &box);
    return capture(box, file_name);
}

// A dialog that the program runs modally is captured by a timer, which its
// own message loop runs, and then answered with the command.
const char* dialog_file;
WORD dialog_answer;
bool dialog_captured;

BOOL CALLBACK find_dialog(HWND window, LPARAM found)
{
    char window_class[16];
    GetClassNameA(window, window_class, sizeof window_class);
    if (lstrcmpA(window_class, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK capture_dialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    KillTimer(nullptr, timer);
    dialog_captured = capture_whole(box, dialog_file);
    PostMessageW(box, WM_COMMAND, dialog_answer, 0);
}

bool capture_dialog_of(void (*open)(), const char* file_name, WORD answer)
{
    dialog_file = file_name;
    dialog_answer = answer;
    dialog_captured = false;
    SetTimer(nullptr, 0, 700, capture_dialog);
    open();
    pump_messages(300);
    return dialog_captured;
}

void press_download()
{
    SendMessageW(download_button, BM_CLICK, 0, 0);
}

void click_page(int page)
{
    PostMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(75, 130 + 100 * (page - 1)));
    // Then the pointer rests outside the buttons.
    PostMessageA(main_window, WM_MOUSEMOVE, 0, MAKELPARAM(600, 480));
    pump_messages(500);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetCursorPos(0, 0);
    if (!create_main_window(instance, SW_SHOWNORMAL))
        return 1;
    pump_messages(1000);
    SetFocus(conversion_fields[0]);
    for (const char* c = "100"; *c; c++)
        PostMessageW(conversion_fields[0], WM_CHAR, static_cast<unsigned char>(*c), 1);
    pump_messages(500);
    bool written = capture_client("convert.bmp");
    click_page(2);
    written = capture_client("settings.bmp") && written;
    written = capture_whole(main_window, "window.bmp") && written;
    click_page(3);
    written = capture_client("update.bmp") && written;
    written = capture_dialog_of(press_download, "question.bmp", IDNO) && written;
    written = capture_dialog_of(open_about_box, "about.bmp", IDC_ABOUT_CLOSE) && written;
    DestroyWindow(main_window);
    pump_messages(100);
    return written ? 0 : 1;
}
