// The main window as a whole: its placement, start-up, closing, and
// that an idle window stays idle.
#include <gtest/gtest.h>
#include "database/unit_database.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "shell/main_window.h"
#include "shell/pages.h"
#include "testing/files.h"
#include "testing/gui_test_support.h"
#include "testing/message_pump.h"

TEST(WindowPlacement, CentresTheClientSizeAndGoesNegativeOnASmallScreen)
{
    POINT wide = window_position(1024, 768);
    EXPECT_EQ(wide.x, 162);
    EXPECT_EQ(wide.y, 134);
    POINT narrow = window_position(640, 480);
    EXPECT_EQ(narrow.x, -30);
    EXPECT_EQ(narrow.y, -10);
    // Division truncates toward zero: one pixel short is still 0.
    EXPECT_EQ(window_position(699, 499).x, 0);
}

// The GUI tests run under more than one system code page: each run must get
// the one its Wine locale (DUVARIN_LOCALE, tools/wine-env.sh) stands for.
TEST(SystemCodePage, IsTheOneTheLocaleOfTheRunGives)
{
    char locale[64] = "";
    GetEnvironmentVariableA("DUVARIN_LOCALE", locale, sizeof locale);
    std::string language = std::string(locale[0] ? locale : "zh_CN.UTF-8").substr(0, 5);
    if (language == "zh_CN")
        EXPECT_EQ(GetACP(), 936u);
    else if (language == "en_US")
        EXPECT_EQ(GetACP(), 1252u);
    else if (language == "ja_JP")
        EXPECT_EQ(GetACP(), 932u);
    else
        GTEST_SKIP() << "no code page known for " << locale;
}

TEST_F(SampleShellTest, WindowHasItsClassTitleStyleAndSize)
{
    char name[64];
    GetClassNameA(main_window, name, sizeof name);
    EXPECT_STREQ(name, "duvarin");
    // The title is GBK: 支持 is D6 A7 B3 D6.
    std::string title = window_text(main_window);
    EXPECT_EQ(title, main_window_title);
    EXPECT_EQ(title.substr(0, 17), "Duvarin v2.2 \xD6\xA7\xB3\xD6");
    LONG_PTR style = GetWindowLongPtrA(main_window, GWL_STYLE);
    EXPECT_EQ(style & 0x02CA0000, 0x02CA0000);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(IsWindowVisible(main_window));
    EXPECT_EQ(GetClassLongPtrA(main_window, GCL_STYLE), 0);
    EXPECT_EQ(GetClassLongPtrA(main_window, GCLP_HBRBACKGROUND), 0);

    RECT client, outer;
    GetClientRect(main_window, &client);
    GetWindowRect(main_window, &outer);
    EXPECT_EQ(client.right, 700);
    EXPECT_EQ(client.bottom, 500);
    EXPECT_EQ(outer.right - outer.left, window_size().cx);
    EXPECT_EQ(outer.bottom - outer.top, window_size().cy);
    POINT corner = window_position(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(outer.left, corner.x);
    EXPECT_EQ(outer.top, corner.y);
}

TEST_F(SampleShellTest, StartUpRecordsTheWindowPageAndTheLocalDate)
{
    EXPECT_EQ(app_instance, GetModuleHandleA(nullptr));
    EXPECT_EQ(current_page, 1);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(today.year, now.wYear);
    EXPECT_EQ(today.month, now.wMonth);
    EXPECT_EQ(today.day, now.wDay);
    EXPECT_NE(ui_font, nullptr);
    EXPECT_EQ(group_count(), 2);
}

TEST_F(SampleShellTest, BackgroundErasingIsRefused)
{
    EXPECT_EQ(SendMessageA(main_window, WM_ERASEBKGND, 0, 0), 1);
}

namespace {

// Counts the main window's paints by standing in front of its procedure.
WNDPROC counted_proc;
int paint_count;

LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PAINT)
        paint_count++;
    return CallWindowProcW(counted_proc, window, message, wparam, lparam);
}

// Counts visible controls being hidden: on Windows each such hide asks the
// main window for another paint.
int hide_count;

LRESULT CALLBACK count_hides(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT* call = reinterpret_cast<CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING && GetParent(call->hwnd) == main_window &&
        IsWindowVisible(call->hwnd) && (reinterpret_cast<WINDOWPOS*>(call->lParam)->flags & SWP_HIDEWINDOW))
        hide_count++;
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

class IdleTest : public SampleShellTest {
protected:
    void SetUp() override
    {
        SampleShellTest::SetUp();
        counted_proc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(main_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(counting_proc)));
    }
    // Paints during a settling time, then whether more came while idle.
    bool stays_idle()
    {
        pump_messages(300);
        int settled = paint_count;
        pump_messages(1000);
        return paint_count == settled;
    }
};

TEST_F(IdleTest, AnIdleWindowStopsRepaintingOnEveryPage)
{
    EXPECT_TRUE(stays_idle());
    for (int page : {2, 3, 1}) {
        mouse_click(50, 130 + 100 * (page - 1));
        ASSERT_EQ(current_page, page);
        EXPECT_TRUE(stays_idle()) << "page " << page;
        EXPECT_TRUE(page_controls_shown(page));
    }
}

TEST_F(IdleTest, ARepaintRequestIsAnsweredWithoutHidingAnyControl)
{
    for (int page : {1, 2}) {
        mouse_click(50, 130 + 100 * (page - 1));
        pump_messages(300);
        int before = paint_count;
        hide_count = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, count_hides, nullptr, GetCurrentThreadId());
        InvalidateRect(main_window, nullptr, FALSE);
        EXPECT_TRUE(stays_idle());
        UnhookWindowsHookEx(hook);
        EXPECT_GT(paint_count, before);
        EXPECT_EQ(hide_count, 0) << "page " << page;
        EXPECT_TRUE(page_controls_shown(page));
    }
}

TEST_F(IdleTest, AControlHiddenFromElsewhereComesBackWithTheNextPaint)
{
    ShowWindow(conversion_fields[5], SW_HIDE);
    EXPECT_TRUE(stays_idle());
    EXPECT_TRUE(IsWindowVisible(conversion_fields[5]));
}

TEST_F(SampleShellTest, ClosingFreesEverythingAndQuitsWithCodeZero)
{
    ASSERT_NE(unit_database.next, nullptr);
    SendMessageA(main_window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main_window));
    EXPECT_EQ(unit_database.next, nullptr);
    EXPECT_EQ(ui_font, nullptr);
    EXPECT_EQ(sprite_image, nullptr);
    EXPECT_EQ(background_image, nullptr);
    pump_messages();
    WPARAM code = 1;
    EXPECT_TRUE(quit_message_taken(&code));
    EXPECT_EQ(code, 0u);
}

namespace {

void CALLBACK close_main_window(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    PostMessageA(main_window, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(SampleShellTest, TheProgramRunsUntilClosedAndReturnsZero)
{
    stop();
    SetTimer(nullptr, 0, 200, close_main_window);
    EXPECT_EQ(run_application(GetModuleHandleA(nullptr), SW_SHOWNORMAL), 0);
    EXPECT_FALSE(IsWindow(main_window));
    EXPECT_EQ(unit_database.next, nullptr);
}

namespace {

LRESULT CALLBACK refuse_main_window(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND) {
        const WCHAR* window_class = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs->lpszClass;
        if (HIWORD(window_class) && lstrcmpW(window_class, L"duvarin") == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

TEST_F(SampleShellTest, AProgramWhoseWindowCannotBeCreatedReturnsZeroAtOnce)
{
    stop();
    HHOOK hook = SetWindowsHookExW(WH_CBT, refuse_main_window, nullptr, GetCurrentThreadId());
    EXPECT_EQ(run_application(GetModuleHandleA(nullptr), SW_SHOWNORMAL), 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(main_window, nullptr);
    EXPECT_EQ(unit_database.next, nullptr);
}
