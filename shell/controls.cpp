#include "shell/controls.h"
#include "convert/convert_page.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/window_text.h"

HWND conversion_fields[field_count];
WNDPROC saved_field_procs[field_count];
HWND settings_edits[settings_edit_count];
HWND& group_name_edit = settings_edits[0];
HWND& member_name_edit = settings_edits[1];
HWND& coefficient_a_edit = settings_edits[2];
HWND& coefficient_b_edit = settings_edits[3];
HWND group_list;
HWND member_list;
HWND editor_buttons[editor_button_count];
HWND group_combo;
HWND download_list;
HWND download_button;

// Every control is a Tab stop, and a group of its own: the dialog manager
// moves the arrow keys between the controls of a group, and the push
// buttons would otherwise pass the focus on with them.
const DWORD keyboard_style = WS_TABSTOP | WS_GROUP;
const DWORD edit_style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_LEFT | keyboard_style;
const DWORD list_style =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOTIFY | keyboard_style;
const DWORD wide_list_style = list_style | WS_HSCROLL;
const DWORD combo_style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | keyboard_style;
const DWORD button_style = WS_CHILD | WS_VISIBLE | WS_BORDER | BS_PUSHBUTTON | keyboard_style;

struct EditorButton {
    const char* text;
    int x;
    int y;
};

namespace {

// In id order: 500 + 4k.
const EditorButton editor_button_layout[editor_button_count] = {
    {"添加", 320, 80},  {"删除", 320, 105}, {"上移", 320, 130}, {"下移", 320, 155},
    {"添加", 320, 270}, {"删除", 320, 295}, {"上移", 320, 320}, {"下移", 320, 345},
    {"更改", 520, 80},  {"更改", 520, 270}, {"保存", 170, 440},
};

const int settings_edit_top[settings_edit_count] = {80, 270, 310, 350};

// Unicode controls: list boxes and the combobox keep their entries as
// UTF-16, and the edits take any character the user types.
HWND create_control(HWND parent, HINSTANCE instance, const WCHAR* window_class, const char* text, int id, int x, int y,
                    int width, int height, DWORD style)
{
    return create_window(0, window_class, text, style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void set_font(HWND control)
{
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font), 1);
}

void create_conversion_fields(HWND parent, HINSTANCE instance)
{
    for (int i = 0; i < field_count; i++) {
        HWND field = create_control(parent, instance, L"EDIT", nullptr, IDC_FIELD_FIRST + i, 170 + 120 * (i % 4),
                                    120 + 60 * (i / 4), 100, 20, edit_style);
        // Recorded before subclassing: numeric_edit_proc finds its saved
        // procedure through the field's index.
        conversion_fields[i] = field;
        set_font(field);
        // Set as a Unicode procedure, so that no message to the field is
        // passed through the system's code page on its way.
        if (field)
            saved_field_procs[i] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(numeric_edit_proc)));
    }
}

void create_settings_controls(HWND parent, HINSTANCE instance)
{
    for (int i = 0; i < settings_edit_count; i++) {
        settings_edits[i] = create_control(parent, instance, L"EDIT", nullptr, IDC_GROUP_NAME + i, 445,
                                           settings_edit_top[i], 70, 20, edit_style);
        set_font(settings_edits[i]);
    }
    group_list = create_control(parent, instance, L"LISTBOX", nullptr, IDC_GROUP_LIST, 170, 80, 140, 150, list_style);
    set_font(group_list);
    member_list =
        create_control(parent, instance, L"LISTBOX", nullptr, IDC_MEMBER_LIST, 170, 270, 140, 150, list_style);
    set_font(member_list);
    for (int k = 0; k < editor_button_count; k++) {
        const EditorButton& b = editor_button_layout[k];
        editor_buttons[k] =
            create_control(parent, instance, L"BUTTON", b.text, IDC_GROUP_ADD + 4 * k, b.x, b.y, 50, 20, button_style);
    }
    for (int k = 0; k < editor_button_count; k++)
        set_font(editor_buttons[k]);
}

void create_convert_and_update_controls(HWND parent, HINSTANCE instance)
{
    // The 120 pixels of height include the dropped-down list.
    group_combo =
        create_control(parent, instance, L"COMBOBOX", nullptr, IDC_GROUP_COMBO, 255, 45, 130, 120, combo_style);
    set_font(group_combo);
    download_list =
        create_control(parent, instance, L"LISTBOX", nullptr, IDC_DOWNLOAD_LIST, 170, 80, 160, 150, wide_list_style);
    set_font(download_list);
    // The table names are wider than the list.
    SendMessageA(download_list, LB_SETHORIZONTALEXTENT, 200, 0);
    download_button = create_control(parent, instance, L"BUTTON", "下载", IDC_DOWNLOAD, 450, 300, 70, 25, button_style);
    set_font(download_button);
}

// Every control in the order Tab walks them: page by page, each page in
// reading order (top to bottom, left to right within a row of the layout).
int list_in_tab_order(HWND* handles)
{
    int n = 0;
    auto add = [&](HWND handle) { handles[n++] = handle; };
    add(group_combo);
    for (int i = 0; i < field_count; i++)
        add(conversion_fields[i]);
    add(group_list);
    for (int k = 0; k < 4; k++)
        add(editor_buttons[k]);
    add(group_name_edit);
    add(editor_buttons[8]);
    add(member_list);
    for (int k = 4; k < 8; k++)
        add(editor_buttons[k]);
    add(member_name_edit);
    add(coefficient_a_edit);
    add(coefficient_b_edit);
    add(editor_buttons[9]);
    add(editor_buttons[10]);
    add(download_list);
    add(download_button);
    return n;
}

// The dialog manager walks the controls in their z-order, which is the
// creation order until changed. Only one page's controls are ever visible
// and none overlap, so the new order shows nowhere else.
void arrange_tab_order()
{
    HWND handles[control_count];
    int n = list_in_tab_order(handles);
    for (int i = 0; i < n; i++)
        SetWindowPos(handles[i], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW);
}

}  // namespace

void create_controls(HWND parent, HINSTANCE instance)
{
    create_conversion_fields(parent, instance);
    create_settings_controls(parent, instance);
    create_convert_and_update_controls(parent, instance);
    arrange_tab_order();
}

void clear_control_handles()
{
    for (int i = 0; i < field_count; i++) {
        conversion_fields[i] = nullptr;
        saved_field_procs[i] = nullptr;
    }
    for (int i = 0; i < settings_edit_count; i++)
        settings_edits[i] = nullptr;
    for (int k = 0; k < editor_button_count; k++)
        editor_buttons[k] = nullptr;
    group_list = member_list = group_combo = download_list = download_button = nullptr;
}

// A shown list box repaints itself and recomputes its scroll bar after
// every entry added, so a fill of n entries cost n repaints (3 to 7 ms each
// under Wine: minutes for 50,000 members); a hidden one still recomputed
// its scroll bar each time. WM_SETREDRAW is the platform's switch for
// exactly this.
BulkFill begin_bulk_fill(HWND control)
{
    BulkFill fill = {control, false};
    if (!control)
        return fill;
    fill.shown = (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    return fill;
}

void end_bulk_fill(const BulkFill& fill)
{
    if (!fill.control)
        return;
    SendMessageW(fill.control, WM_SETREDRAW, TRUE, 0);
    // The default handling of WM_SETREDRAW TRUE marks a window visible; a
    // control of a hidden page must stay hidden.
    if (!fill.shown) {
        ShowWindow(fill.control, SW_HIDE);
        return;
    }
    // The scroll bar is part of the frame.
    RedrawWindow(fill.control, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

int list_count(HWND list)
{
    if (!list)
        return 0;
    return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
}

int list_selection(HWND list)
{
    // A missing list would answer 0, which reads as entry 0 being selected.
    if (!list)
        return -1;
    return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}
