// The child controls: what is created, in which order, where, and how.
#include <gtest/gtest.h>
#include "convert/convert_page.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "testing/gui_test_support.h"

struct Creation {
    std::string window_class;
    std::string text;
    int id;
    int x, y, width, height;
    DWORD style;
    DWORD extended_style;
};

namespace {

std::vector<Creation> creations;
HWND created_main_window;

// Records the creation arguments of every child of the main window, the
// texts as the wide hook sees them.
LRESULT CALLBACK record_creation(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
        bool named = HIWORD(cs->lpszClass) != 0;
        if (named && lstrcmpW(cs->lpszClass, L"duvarin") == 0)
            created_main_window = reinterpret_cast<HWND>(wparam);
        else if (created_main_window && cs->hwndParent == created_main_window)
            creations.push_back({named ? gbk_text(cs->lpszClass) : "?", cs->lpszName ? gbk_text(cs->lpszName) : "",
                                 static_cast<int>(reinterpret_cast<INT_PTR>(cs->hMenu)), cs->x, cs->y, cs->cx, cs->cy,
                                 static_cast<DWORD>(cs->style), cs->dwExStyle});
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Every control is also a Tab stop and a group of its own (0x00030000).
std::vector<Creation> expected_creations()
{
    std::vector<Creation> c;
    for (int i = 0; i < 24; i++)
        c.push_back({"EDIT", "", 200 + i, 170 + 120 * (i % 4), 120 + 60 * (i / 4), 100, 20, 0x50830000, 0});
    const int edit_top[4] = {80, 270, 310, 350};
    for (int i = 0; i < 4; i++)
        c.push_back({"EDIT", "", 300 + i, 445, edit_top[i], 70, 20, 0x50830000, 0});
    c.push_back({"LISTBOX", "", 400, 170, 80, 140, 150, 0x50A31001, 0});
    c.push_back({"LISTBOX", "", 404, 170, 270, 140, 150, 0x50A31001, 0});
    const char* texts[11] = {"添加", "删除", "上移", "下移", "添加", "删除", "上移", "下移", "更改", "更改", "保存"};
    const int x[11] = {320, 320, 320, 320, 320, 320, 320, 320, 520, 520, 170};
    const int y[11] = {80, 105, 130, 155, 270, 295, 320, 345, 80, 270, 440};
    for (int k = 0; k < 11; k++)
        c.push_back({"BUTTON", texts[k], 500 + 4 * k, x[k], y[k], 50, 20, 0x50830000, 0});
    c.push_back({"COMBOBOX", "", 600, 255, 45, 130, 120, 0x50230003, 0});
    c.push_back({"LISTBOX", "", 610, 170, 80, 160, 150, 0x50B31001, 0});
    c.push_back({"BUTTON", "下载", 620, 450, 300, 70, 25, 0x50830000, 0});
    return c;
}

}  // namespace

TEST_F(SampleShellTest, The44ControlsAreCreatedInOrderWithTheirClassTextIdPlaceAndStyle)
{
    stop();
    creations.clear();
    created_main_window = nullptr;
    HHOOK hook = SetWindowsHookExW(WH_CBT, record_creation, nullptr, GetCurrentThreadId());
    start();
    UnhookWindowsHookEx(hook);
    std::vector<Creation> expected = expected_creations();
    ASSERT_EQ(creations.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const Creation& got = creations[i];
        const Creation& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(lstrcmpiA(got.window_class.c_str(), want.window_class.c_str()), 0) << got.window_class;
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.extended_style, want.extended_style);
    }
}

namespace {

// Every control handle with its id, in creation order.
std::vector<std::pair<HWND, int>> all_controls()
{
    std::vector<std::pair<HWND, int>> c;
    for (int i = 0; i < 24; i++)
        c.push_back({conversion_fields[i], 200 + i});
    for (int i = 0; i < 4; i++)
        c.push_back({settings_edits[i], 300 + i});
    c.push_back({group_list, 400});
    c.push_back({member_list, 404});
    for (int k = 0; k < 11; k++)
        c.push_back({editor_buttons[k], 500 + 4 * k});
    c.push_back({group_combo, 600});
    c.push_back({download_list, 610});
    c.push_back({download_button, 620});
    return c;
}

}  // namespace

TEST_F(SampleShellTest, EveryControlStandsAtItsClientPlaceWithTheOneFont)
{
    std::vector<Creation> expected = expected_creations();
    std::vector<std::pair<HWND, int>> controls = all_controls();
    ASSERT_EQ(controls.size(), expected.size());
    for (size_t i = 0; i < controls.size(); i++) {
        HWND control = controls[i].first;
        SCOPED_TRACE("id " + std::to_string(controls[i].second));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgItem(main_window, controls[i].second), control);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), ui_font);
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, main_window, reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, expected[i].x);
        EXPECT_EQ(box.top, expected[i].y);
        EXPECT_EQ(box.right - box.left, expected[i].width);
        // The combobox's height counts its dropped-down list, and a list
        // box shows whole items only.
        char window_class[16];
        GetClassNameA(control, window_class, sizeof window_class);
        if (lstrcmpiA(window_class, "Edit") == 0 || lstrcmpiA(window_class, "Button") == 0) {
            EXPECT_EQ(box.bottom - box.top, expected[i].height);
        } else if (lstrcmpiA(window_class, "ListBox") == 0) {
            int item = static_cast<int>(SendMessageA(control, LB_GETITEMHEIGHT, 0, 0));
            EXPECT_LE(box.bottom - box.top, expected[i].height);
            EXPECT_GT(box.bottom - box.top, expected[i].height - item);
        }
    }
}

TEST_F(SampleShellTest, RightAfterStartOnlyTheFieldsAndTheGroupSelectorAreVisible)
{
    for (auto& control : all_controls()) {
        int id = control.second;
        bool convert_page = (id >= 200 && id <= 223) || id == IDC_GROUP_COMBO;
        EXPECT_EQ(IsWindowVisible(control.first) != 0, convert_page) << "id " << id;
    }
}

TEST_F(SampleShellTest, ConversionFieldsAreSubclassedAndKeepTheirEditProcedure)
{
    for (int i = 0; i < 24; i++) {
        // Read as a wide procedure: read as ANSI the system would hand out
        // a stand-in that converts the messages.
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(conversion_fields[i], GWLP_WNDPROC)), numeric_edit_proc);
        EXPECT_NE(saved_field_procs[i], nullptr);
        EXPECT_NE(saved_field_procs[i], numeric_edit_proc);
    }
    // Editing still works through the saved procedure, Chinese included.
    set_text(conversion_fields[0], "12米");
    EXPECT_EQ(window_text(conversion_fields[0]), "12米");
    EXPECT_EQ(SendMessageW(conversion_fields[0], WM_GETTEXTLENGTH, 0, 0), 3);
}

// Otherwise the system would pass their texts through its own code page.
TEST_F(SampleShellTest, TheMainWindowAndEveryControlAreUnicodeWindows)
{
    EXPECT_TRUE(IsWindowUnicode(main_window));
    for (auto& control : all_controls())
        EXPECT_TRUE(IsWindowUnicode(control.first)) << "id " << control.second;
}

TEST_F(SampleShellTest, OnlyTheDownloadListScrollsSideways)
{
    EXPECT_EQ(SendMessageA(download_list, LB_GETHORIZONTALEXTENT, 0, 0), 200);
    EXPECT_TRUE(GetWindowLongPtrA(download_list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongPtrA(group_list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongPtrA(member_list, GWL_STYLE) & WS_HSCROLL);
}
