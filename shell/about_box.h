#pragma once
// The About box, dialog 106, opened by F1 in the main window.
#include <windows.h>

// Ends the dialog on the 关闭 button (1003) only; everything else is left to
// the dialog manager, which closes nothing on its own.
INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Runs the modal About box owned by the main window.
void open_about_box();
