// Winsock's header must come before the one of windows.h that it replaces.
#include <winsock2.h>
#include <windowsx.h>
#include "shell/main_window.h"
#include "convert/convert_page.h"
#include "database/unit_database.h"
#include "editor/editor_commands.h"
#include "editor/settings_page.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/document.h"
#include "shell/graphics.h"
#include "shell/keyboard.h"
#include "shell/pages.h"
#include "update/download_exchange.h"
#include "update/download_page.h"
#include "update/rate_download.h"

// Posted at creation when dv.dat did not load.
const UINT WM_DAMAGED_DATABASE = WM_APP + 1;

namespace {

void on_create(HWND window, const CREATESTRUCTW* creation)
{
    groups_changed = 1;
    // The warning waits for the message loop, when the window is shown.
    if (open_document())
        PostMessageW(window, WM_DAMAGED_DATABASE, 0, 0);
    ui_font = create_ui_font();
    read_today();
    create_controls(window, creation->hInstance);
    // main_window is not recorded yet, so none of these steps draws.
    show_page(page_convert);
    fill_group_combo();
    fill_editor_lists();
    enable_fields();
    fill_download_list();
}

void on_destroy(HWND window, WPARAM wparam, LPARAM lparam)
{
    // A download that waits must not go on into the freed database, nor its
    // socket outlive Winsock. Each download starts Winsock and leaves it
    // running.
    abandon_download();
    WSACleanup();
    release_graphics();
    free_database();
    PostMessageA(window, WM_QUIT, wparam, lparam);
}

// A download that waits ends first: it would otherwise go on under the
// question, and into a window and a database that the close frees.
bool on_close()
{
    abandon_download();
    return may_close();
}

// The taskbar's Close window, Alt+F4 and the window menu's 关闭 reach the
// window as this command, which the default procedure turns into a close,
// but not for a disabled window: a waiting download ends first, and the
// window with it is enabled again.
void on_system_command(WPARAM command)
{
    if ((command & 0xFFF0) == SC_CLOSE)
        abandon_download();
}

// Cancel, or a save that failed, refuses the end of the session. A waiting
// download ends as a close ends it, before the question.
bool on_query_end_session()
{
    abandon_download();
    return may_close();
}

// The system may end the process once this returns: nothing half-done of
// the download stays, and the question of WM_QUERYENDSESSION has saved what
// the user wanted saved.
void on_end_session(bool ending)
{
    if (ending)
        abandon_download();
}

// The control that had the keyboard focus when the window lost the
// activation to a box, to another program or to its own window menu.
HWND focus_before_deactivation;

// As the dialog manager does for a dialog: the user goes on where they
// were. The default procedure would put the focus on the window itself.
// Whether the focus was given back.
bool on_activate(HWND window, int state, bool minimized)
{
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        focus_before_deactivation = focus && IsChild(window, focus) ? focus : nullptr;
        return false;
    }
    HWND control = focus_before_deactivation;
    if (minimized || !control || !IsWindow(control) || !IsChild(window, control) || !IsWindowVisible(control) ||
        !IsWindowEnabled(control))
        return false;
    SetFocus(control);
    return true;
}

void on_paint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    // Drawing goes through the window's own context, not the one above.
    paint_page(with_background);
    if (current_page == page_convert || current_page == page_settings)
        show_page_again(current_page);
    EndPaint(window, &paint);
}

// A control whose creation failed has a null handle and sends nothing.
bool sent_by(HWND control, HWND handle)
{
    return control && control == handle;
}

void on_command(int code, int id, HWND control)
{
    // Enter and Escape reach the window as the commands IDOK and IDCANCEL
    // with code 0 (the dialog manager): no button was clicked, and the
    // Convert page must keep what was typed.
    if (code == BN_CLICKED && control && id != IDOK && id != IDCANCEL) {
        groups_changed = 1;
        if (is_editor_command(id))
            run_editor_command(id);
        else if (id == IDC_DOWNLOAD)
            download_rates();
    }
    if (is_shortcut(code, id, control))
        run_shortcut(id);
    if (code == LBN_SELCHANGE && sent_by(control, group_list))
        on_group_list_change();
    if (code == LBN_SELCHANGE && sent_by(control, member_list))
        on_member_list_change();
    if (code == LBN_SELCHANGE && sent_by(control, download_list))
        paint_page(with_background);
    if (code == CBN_SELCHANGE && sent_by(control, group_combo))
        on_group_change();
    // The focus test keeps the page from converting its own output.
    if (code == EN_CHANGE && id >= IDC_FIELD_FIRST && id <= IDC_FIELD_LAST && sent_by(control, GetFocus()))
        on_field_change(control);
}

void on_mouse_move(int x, int y)
{
    hover_page_button(x, y);
}

void on_left_button_down(int x, int y)
{
    switch_page_at(x, y);
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: on_create(window, reinterpret_cast<const CREATESTRUCTW*>(lparam)); break;
    case WM_DESTROY: on_destroy(window, wparam, lparam); break;
    case WM_CLOSE:
        if (!on_close())
            return 0;
        break;
    case WM_QUERYENDSESSION: return on_query_end_session() ? TRUE : FALSE;
    case WM_ENDSESSION: on_end_session(wparam != FALSE); break;
    case WM_SYSCOMMAND: on_system_command(wparam); break;
    case WM_ACTIVATE:
        if (on_activate(window, LOWORD(wparam), HIWORD(wparam) != 0))
            return 0;
        break;
    case WM_HOST_FOUND:
    case WM_SOCKET_EVENT: note_download_event(message, wparam, lparam); break;
    case WM_DAMAGED_DATABASE: warn_of_damaged_file(); break;
    case WM_PAINT: on_paint(window); break;
    // The background image covers the whole client area.
    case WM_ERASEBKGND: return 1;
    // The dialog manager's question on Enter; the default procedure knows
    // no default button.
    case DM_GETDEFID: return default_button_id();
    case WM_COMMAND: on_command(HIWORD(wparam), LOWORD(wparam), reinterpret_cast<HWND>(lparam)); break;
    case WM_MOUSEMOVE: on_mouse_move(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); break;
    case WM_LBUTTONDOWN: on_left_button_down(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
