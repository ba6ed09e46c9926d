#pragma once
// The 44 child controls of the main window, created once at window creation
// and destroyed by the system with the window. A control that could not be
// created leaves a null handle.
#include <windows.h>
#include "convert/field_count.h"

const int settings_edit_count = 4;
const int editor_button_count = 11;
const int control_count = field_count + settings_edit_count + 2 + editor_button_count + 1 + 2;

extern HWND conversion_fields[field_count];       // field i has id 200 + i
extern WNDPROC saved_field_procs[field_count];    // each field's procedure before subclassing
extern HWND settings_edits[settings_edit_count];  // ids 300..303, named below
extern HWND& group_name_edit;
extern HWND& member_name_edit;
extern HWND& coefficient_a_edit;
extern HWND& coefficient_b_edit;
extern HWND group_list;
extern HWND member_list;
extern HWND editor_buttons[editor_button_count];  // button k has id 500 + 4k
extern HWND group_combo;
extern HWND download_list;
extern HWND download_button;

// Creates every control visible, in the fixed order, with ui_font.
void create_controls(HWND parent, HINSTANCE instance);

// Forgets every handle (the controls died with their window).
void clear_control_handles();

// Entries added one by one to a list box or the combobox: the control
// neither draws nor updates its scroll bar per entry between these two, and
// is drawn once at the end, if it is shown. Its entries and selection are
// what the messages in between make them.
struct BulkFill {
    HWND control;
    bool shown;
};
BulkFill begin_bulk_fill(HWND control);
void end_bulk_fill(const BulkFill& fill);

// A list box whose creation failed counts as empty and without selection.
int list_count(HWND list);
// The selected position, -1 when there is none.
int list_selection(HWND list);
