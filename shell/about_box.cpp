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
    DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_ABOUT), main_window, about_dialog_proc, 0);
}
