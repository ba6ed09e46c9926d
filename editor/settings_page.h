#pragma once
// Reading and writing the Settings page's lists and edits, for the editor
// commands.
#include <windows.h>
#include "database/unit_database.h"

// An edit's text is taken as at most this many bytes less one.
const int edit_text_size = 10;

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

// An edit's text as GBK: the characters that fit whole into
// edit_text_size - 1 bytes.
void read_edit_text(HWND edit, char* text /* edit_text_size */);
