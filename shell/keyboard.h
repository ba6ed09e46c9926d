#pragma once
// The keys of the main window. Tab and Shift+Tab walk the current page's
// controls through the dialog manager (IsDialogMessage, WS_TABSTOP and the
// controls' z-order, shell/controls.cpp), which moves the focus itself in a
// window that is not a dialog. Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+1/2/3 and F1
// are the accelerator table of the resources, delivered as commands.
#include <windows.h>

// One step of the message loop: a shortcut or a dialog key of the main
// window is taken here, every other message translated and dispatched.
void process_message(MSG* message);

// The answer to DM_GETDEFID, which the dialog manager asks on Enter: the
// focused push button, so that Enter presses it as Space does; none
// elsewhere, and Enter then gives the command IDOK with no control.
LRESULT default_button_id();

// Whether a command is a shortcut's: notification code 1 and no control.
bool is_shortcut(int code, int id, HWND control);
// Does what the shortcut stands for.
void run_shortcut(int id);
