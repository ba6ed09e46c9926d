// The About box as the dialog manager builds it from template 106, a Unicode
// dialog as the program opens it, its texts read back as GBK whatever the
// system's code page.  Creates a window: needs a display.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK passive_dialog_proc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::string window_text(HWND window)
{
    WCHAR wide[512] = L"";
    GetWindowTextW(window, wide, 512);
    char gbk[1024] = "";
    WideCharToMultiByte(936, 0, wide, -1, gbk, sizeof gbk, nullptr, nullptr);
    return gbk;
}

}  // namespace

TEST(AboutBox, OpensWithItsPictureAndItsTextsInCodePage936)
{
    HWND box =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), nullptr, passive_dialog_proc, 0);
    ASSERT_NE(box, nullptr);
    std::vector<HWND> children;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), 4u);

    EXPECT_EQ(window_text(box), "软件说明");
    EXPECT_EQ(GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(GetDlgItem(box, IDC_ABOUT_CLOSE), children[2]);
    EXPECT_EQ(window_text(children[2]), "关闭");
    EXPECT_EQ(window_text(children[1]).substr(0, 14), "Duvarin v2.2\n\n");
    EXPECT_EQ(window_text(children[3]),
              "这是一款简洁的单位换算软件，支持用户编辑，实现多个单位同时转换，具有速度快，稳定性高的优点。\n"
              "数据文件保存在程序目录的dv.dat文件中，请保证该文件的完整，否则无法正确使用 \n\n"
              "2.2版更新内容：\n实现汇率在线更新");

    // The picture control takes the bitmap's own size, not its template size.
    RECT r{};
    GetWindowRect(children[0], &r);
    EXPECT_EQ(r.right - r.left, 97);
    EXPECT_EQ(r.bottom - r.top, 127);
    EXPECT_NE(SendMessageA(children[0], STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    DestroyWindow(box);
}
