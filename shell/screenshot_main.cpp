// Renders the three pages of the program, as they stand on the screen, into
// convert.bmp, settings.bmp and update.bmp in the working folder (which
// holds the dv.dat to show).
#include <windows.h>
#include <cstdio>
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"

static void pump(int ms)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        int left = static_cast<int>(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

static void put16(FILE* f, unsigned v) { std::fputc(v & 0xFF, f); std::fputc((v >> 8) & 0xFF, f); }
static void put32(FILE* f, unsigned v) { put16(f, v & 0xFFFF); put16(f, v >> 16); }

// The client area, read back from the screen. The frame is left out: with
// no window manager nothing draws it.
static bool capture_window(const char* file_name)
{
    RECT box;
    GetClientRect(main_window, &box);
    MapWindowPoints(main_window, nullptr, reinterpret_cast<POINT*>(&box), 2);
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
        for (int i = 0; i < 6; i++) put32(f, 0);
        std::fwrite(pixels, 1, row_size * height, f);
        std::fclose(f);
    }
    delete[] pixels;
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return f != nullptr;
}

static void click_page(int page)
{
    PostMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(75, 130 + 100 * (page - 1)));
    // Then the pointer rests outside the buttons.
    PostMessageA(main_window, WM_MOUSEMOVE, 0, MAKELPARAM(600, 480));
    pump(500);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetCursorPos(0, 0);
    if (!create_main_window(instance, SW_SHOWNORMAL)) return 1;
    pump(1000);
    SetFocus(conversion_fields[0]);
    for (const char* c = "100"; *c; c++)
        PostMessageA(conversion_fields[0], WM_CHAR, static_cast<unsigned char>(*c), 1);
    pump(500);
    bool written = capture_window("convert.bmp");
    click_page(2);
    written = capture_window("settings.bmp") && written;
    click_page(3);
    written = capture_window("update.bmp") && written;
    DestroyWindow(main_window);
    pump(100);
    return written ? 0 : 1;
}
