#include "shell/keyboard.h"
#include "resources/resource.h"
#include "shell/about_box.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"

const int page_count = 3;

namespace {

// A table loaded from the resources lives as long as the program.
HACCEL shortcut_table()
{
    static HACCEL table;
    if (!table && app_instance)
        table = LoadAcceleratorsW(app_instance, MAKEINTRESOURCEW(IDR_SHORTCUTS));
    return table;
}

bool for_main_window(const MSG* message)
{
    return main_window && message->hwnd && (message->hwnd == main_window || IsChild(main_window, message->hwnd));
}

}  // namespace

void process_message(MSG* message)
{
    if (for_main_window(message)) {
        if (TranslateAcceleratorW(main_window, shortcut_table(), message))
            return;
        // Translates and dispatches whatever it does not take itself.
        if (IsDialogMessageW(main_window, message))
            return;
    }
    TranslateMessage(message);
    DispatchMessageW(message);
}

LRESULT default_button_id()
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(main_window, focus))
        return 0;
    if (!(SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        return 0;
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

bool is_shortcut(int code, int id, HWND control)
{
    return code == 1 && !control && id >= IDM_NEXT_PAGE && id <= IDM_ABOUT;
}

namespace {

HWND first_control(int page)
{
    if (page == page_convert)
        return group_combo;
    if (page == page_settings)
        return group_list;
    return download_list;
}

void go_to_page(int page)
{
    switch_to_page(page);
    SetFocus(first_control(page));
}

}  // namespace

void run_shortcut(int id)
{
    if (id == IDM_ABOUT)
        open_about_box();
    else if (id == IDM_NEXT_PAGE)
        go_to_page(current_page % page_count + 1);
    else if (id == IDM_PREVIOUS_PAGE)
        go_to_page((current_page + page_count - 2) % page_count + 1);
    else if (id >= IDM_PAGE_CONVERT && id <= IDM_PAGE_UPDATE)
        go_to_page(id - IDM_PAGE_CONVERT + 1);
}
