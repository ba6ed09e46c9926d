#pragma once
// Reading and writing the Settings page's lists and edits, for the editor
// commands.
#include <windows.h>
#include "database/unit_database.h"
#include "shell/window_text.h"

void select_list_entry(HWND list, int position);
// Appends the text of a name field as a new last entry.
void add_list_entry(HWND list, const char* name_field);
// Writes the text of a name field over the entry at the position; the
// selection is left for the caller to set again.
void replace_list_entry(HWND list, int position, const char* name_field);

// The group selected in group_list, or none.
UnitGroup* selected_list_group();
// The member selected in member_list of that group, or none.
UnitMember* selected_list_member(UnitGroup* group);

// Whether the user changed the edit since the page last put a text there, or
// since the last 更改 took it: an unchanged field keeps the stored value as
// it is, since its text is only the "%g" or cut form of that value. text
// receives the edit's whole text either way.
bool field_edited(HWND edit, char* text /* read_text_size */);
// The edit's text, as 更改 has just taken it, is the one it now stands for.
void field_taken(HWND edit, const char* text);
