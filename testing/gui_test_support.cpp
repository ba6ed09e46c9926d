#include "testing/gui_test_support.h"
#include "database/unit_database.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "shell/keyboard.h"
#include "testing/files.h"

std::wstring wide_text(const std::string& gbk)
{
    std::wstring wide(gbk.size(), L'\0');
    int units = gbk.empty() ? 0
                            : MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0],
                                                  static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(units > 0 ? units : 0));
    return wide;
}

std::string gbk_text(const std::wstring& wide)
{
    std::string gbk(2 * wide.size(), '\0');
    int bytes = wide.empty() ? 0
                             : WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &gbk[0],
                                                   static_cast<int>(gbk.size()), nullptr, nullptr);
    gbk.resize(static_cast<size_t>(bytes > 0 ? bytes : 0));
    return gbk;
}

void click(int id)
{
    SendMessageA(GetDlgItem(main_window, id), BM_CLICK, 0, 0);
    pump_messages();
}

// The focus is set again and the character handed over at once: other test
// programs run their windows on the same desktop, and one that comes up
// takes the activation, and with it this window's focus, when this thread
// next takes its messages. A character waiting in the queue would then
// reach a field without the focus, which the page rightly does not convert.
void type_char(HWND field, wchar_t c)
{
    SetFocus(field);
    SendMessageW(field, WM_CHAR, c, 1);
}

void type(HWND field, const std::wstring& text)
{
    SetFocus(field);
    // The caret goes to the end, as a click behind the text puts it.
    int length = GetWindowTextLengthW(field);
    SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(length), length);
    for (wchar_t c : text)
        type_char(field, c);
    pump_messages();
}

void type(HWND field, const char* text)
{
    type(field, wide_text(text));
}

void set_text(HWND window, const char* text)
{
    SetWindowTextW(window, wide_text(text).c_str());
    pump_messages();
}

void select_list(HWND list, int index)
{
    char window_class[32];
    GetClassNameA(list, window_class, sizeof window_class);
    bool combo = lstrcmpiA(window_class, "ComboBox") == 0;
    SendMessageA(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The notification that a user's pick sends; setting the selection by
    // message sends none.
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    pump_messages();
}

std::string window_text(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return gbk_text(text);
}

std::vector<std::string> list_items(HWND list)
{
    char window_class[32];
    GetClassNameA(list, window_class, sizeof window_class);
    bool combo = lstrcmpiA(window_class, "ComboBox") == 0;
    int count = static_cast<int>(SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < count; i++) {
        LRESULT length = SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        items.push_back(gbk_text(text));
    }
    return items;
}

COLORREF pixel(int x, int y)
{
    HDC dc = GetDC(main_window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(main_window, dc);
    return colour;
}

void mouse_move(int x, int y)
{
    PostMessageA(main_window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    pump_messages();
}

void mouse_click(int x, int y)
{
    PostMessageA(main_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(main_window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pump_messages();
}

bool bring_to_front()
{
    SetForegroundWindow(main_window);
    pump_messages();
    return GetForegroundWindow() == main_window && GetActiveWindow() == main_window;
}

namespace {

bool extended_key(WORD key)
{
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

INPUT key_input(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags | (extended_key(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// Counted as the thread takes them from its queue, whichever loop does
// (the About box runs its own).
int keys_released;

LRESULT CALLBACK count_key_releases(int code, WPARAM wparam, LPARAM lparam)
{
    const MSG* message = reinterpret_cast<MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && (message->message == WM_KEYUP || message->message == WM_SYSKEYUP))
        keys_released++;
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void send_keys(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(key_input(key, 0));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        inputs.push_back(key_input(*key, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool press_keys(std::initializer_list<WORD> keys)
{
    keys_released = 0;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, count_key_releases, nullptr, GetCurrentThreadId());
    send_keys(keys);
    // Bounded only so that keys lost to another window fail the test.
    DWORD start = GetTickCount();
    while (keys_released < static_cast<int>(keys.size()) && GetTickCount() - start < 10000)
        pump_messages(10);
    pump_messages();
    UnhookWindowsHookEx(hook);
    return keys_released == static_cast<int>(keys.size());
}

int focused_id()
{
    HWND focus = GetFocus();
    return focus && focus != main_window ? GetDlgCtrlID(focus) : 0;
}

namespace {

// Draws the expected rectangle off screen and compares it with the window:
// the same pixels must carry ink (differ from the background). Intensities
// are not compared, because an anti-aliased font drawn twice on a
// transparent background (as each mouse move redraws the labels) darkens
// its edge pixels without moving them.
bool shows_drawing(const char* text, int x, int y, int width, int height)
{
    HDC window_dc = GetDC(main_window);
    HDC expected = CreateCompatibleDC(window_dc);
    HDC actual = CreateCompatibleDC(window_dc);
    HBITMAP expected_bitmap = CreateCompatibleBitmap(window_dc, width, height);
    HBITMAP actual_bitmap = CreateCompatibleBitmap(window_dc, width, height);
    HGDIOBJ old_expected = SelectObject(expected, expected_bitmap);
    HGDIOBJ old_actual = SelectObject(actual, actual_bitmap);
    BitBlt(expected, 0, 0, width, height, background_image, x, y, SRCCOPY);
    if (text) {
        SetBkMode(expected, TRANSPARENT);
        SelectObject(expected, ui_font);
        RECT box = {0, 0, width, height};
        DrawTextW(expected, wide_text(text).c_str(), -1, &box, 0);
    }
    BitBlt(actual, 0, 0, width, height, window_dc, x, y, SRCCOPY);
    bool same = true;
    for (int j = 0; j < height && same; j++)
        for (int i = 0; i < width && same; i++) {
            COLORREF ground = GetPixel(background_image, x + i, y + j);
            same = (GetPixel(expected, i, j) == ground) == (GetPixel(actual, i, j) == ground);
        }
    SelectObject(expected, old_expected);
    SelectObject(actual, old_actual);
    DeleteObject(expected_bitmap);
    DeleteObject(actual_bitmap);
    DeleteDC(expected);
    DeleteDC(actual);
    ReleaseDC(main_window, window_dc);
    return same;
}

}  // namespace

bool shows_label(const char* text, int x, int y, int width, int height)
{
    return shows_drawing(text, x, y, width, height);
}

bool shows_background(int x, int y, int width, int height)
{
    return shows_drawing(nullptr, x, y, width, height);
}

void ShellTest::SetUp()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, path);
    previous_folder = path;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    GetTempFileNameA(temp, "dvt", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    folder = name;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    // The pointer rests outside the window, so no real mouse move disturbs
    // what a test draws.
    SetCursorPos(0, 0);
    prepare_files();
    start();
}

void ShellTest::TearDown()
{
    stop();
    SetCurrentDirectoryA(previous_folder.c_str());
    WIN32_FIND_DATAA found;
    std::string pattern = folder + "\\*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void ShellTest::write_file(const char* name, const std::string& bytes)
{
    ASSERT_TRUE(::write_file(name, bytes));
}

void ShellTest::start()
{
    quit_message_taken(nullptr);
    set_message_step(process_message);
    ASSERT_NE(create_main_window(GetModuleHandleA(nullptr), SW_SHOWNORMAL), nullptr);
    pump_messages(50);
}

void ShellTest::stop()
{
    if (main_window && IsWindow(main_window)) {
        DestroyWindow(main_window);
        pump_messages();
    }
    // The next window starts from the state of a new process.
    free_database();
    main_window = nullptr;
    app_instance = nullptr;
    current_page = 0;
    groups_changed = 0;
    today = CalendarDate{};
    clear_control_handles();
}

void ShellTest::restart()
{
    stop();
    quit_message_taken(nullptr);
    start();
}
