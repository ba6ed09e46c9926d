#pragma once
// The Settings page: the commands of its eleven buttons, which edit the unit
// database in memory and save it, and the two lists that mirror it.
#include "database/unit_database.h"

// Whether a button id is one of the 11 editor commands (500 + 4k, k = 0..10).
bool is_editor_command(int id);
// Runs the command of an editor button. A command whose precondition the
// lists do not meet does nothing.
void run_editor_command(int id);

// dv.dat was there but did not load: the first save keeps its bytes as
// dv.dat.bak before it replaces the file.
extern bool keep_damaged_database;

// The database and the download log as they now are count as saved: called
// once they are loaded.
void remember_saved_state();
// Closing with changes that are not saved asks first: Yes saves, No drops
// them, Cancel keeps the program running. Returns whether it may close.
bool may_close();

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
