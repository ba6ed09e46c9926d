#pragma once
// The Settings page's lists and edits: filled from the database, following
// the user's selection, and read and written for the editor commands.
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

// The selection of group_list or member_list changed.
void on_group_list_change();
void on_member_list_change();
// Fills group_list, member_list and the edits from the database; with no
// group they keep what they hold.
void fill_editor_lists();

// The group's name into group_name_edit and its members into member_list,
// the first selected and shown. A group without members leaves the member
// fields as they are.
void show_group(UnitGroup* group);
// The member's name, a and b ("%g") into the three member fields.
void show_member(UnitMember* member);
