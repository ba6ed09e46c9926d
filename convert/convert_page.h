#pragma once
// The Convert page: the key filter of the 24 conversion fields, the group
// selector and the conversion that runs when the focused field changes.
#include <windows.h>
#include "database/unit_database.h"

const int field_text_size = 20;    // a field's text is read with this buffer
const int typed_length_limit = 5;  // at most this many typed characters

// The procedure of every conversion field: lets digits, one "." and
// backspace through, swallows every other character and the right button.
LRESULT CALLBACK numeric_edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The index of a window in conversion_fields; 0 when it is none of them.
int field_index(HWND window);
bool contains_char(const char* text /* field_text_size */, char c);

// The group selected in group_combo, or none.
UnitGroup* selected_group();

// Enables the fields of the selected group's members, disables the rest.
void enable_member_fields();
// enable_member_fields, then a repaint with background so that the member
// names above the fields follow the group.
void enable_fields();
// Refills group_combo when groups_changed is set.
void fill_group_combo();

void on_group_change();
void on_field_change(HWND field);
