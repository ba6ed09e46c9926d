#include "shell/about_box.h"
#include "resources/resource.h"
#include "shell/app_state.h"

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wparam) == IDC_ABOUT_CLOSE)
        EndDialog(dialog, 0);
    return FALSE;
}

void open_about_box()
{
    // A Unicode dialog shows the template's UTF-16 texts as they are; an
    // ANSI one would pass them through the system's code page.
    DialogBoxParamW(app_instance, MAKEINTRESOURCEW(IDD_ABOUT), main_window, about_dialog_proc, 0);
}
