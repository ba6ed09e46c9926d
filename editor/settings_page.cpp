#include "editor/settings_page.h"
#include "convert/number_text.h"
#include "editor/editor_commands.h"
#include "shell/controls.h"
#include "shell/window_text.h"

void select_list_entry(HWND list, int position)
{
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void add_list_entry(HWND list, const char* name_field)
{
    char text[name_text_size];
    send_text_message(list, LB_ADDSTRING, 0, name_text(name_field, text));
}

void replace_list_entry(HWND list, int position, const char* name_field)
{
    char text[name_text_size];
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(position), 0);
    send_text_message(list, LB_INSERTSTRING, static_cast<WPARAM>(position), name_text(name_field, text));
}

UnitGroup* selected_list_group()
{
    int s = list_selection(group_list);
    if (s < 0) return nullptr;
    return group_at(s);
}

UnitMember* selected_list_member(UnitGroup* group)
{
    int t = list_selection(member_list);
    if (!group || t < 0) return nullptr;
    return member_at(group, t);
}

void read_edit_text(HWND edit, char* text)
{
    read_window_text(edit, text, edit_text_size);
}

void show_member(UnitMember* member)
{
    if (!member) return;
    char text[name_text_size];
    set_window_text(member_name_edit, name_text(member->name, text));
    char number[general_text_size];
    format_general(static_cast<double>(member->a), number);
    set_window_text(coefficient_a_edit, number);
    format_general(static_cast<double>(member->b), number);
    set_window_text(coefficient_b_edit, number);
}

// The member names of the group into the emptied member_list, and the first
// of them shown; the caller selects entry 0.
static void list_members(UnitGroup* group)
{
    SendMessageA(member_list, LB_RESETCONTENT, 0, 0);
    if (!group || !group->header.next) return;
    show_member(group->header.next);
    for (UnitMember* member = group->header.next; member; member = member->next)
        add_list_entry(member_list, member->name);
}

void show_group(UnitGroup* group)
{
    if (!group) return;
    char text[name_text_size];
    set_window_text(group_name_edit, name_text(group->name, text));
    list_members(group);
    // With an empty list this selects nothing.
    select_list_entry(member_list, 0);
}

void fill_editor_lists()
{
    UnitGroup* first = unit_database.next;
    if (!first) return;
    SendMessageA(group_list, LB_RESETCONTENT, 0, 0);
    for (UnitGroup* group = first; group; group = group->next)
        add_list_entry(group_list, group->name);
    select_list_entry(group_list, 0);
    show_group(first);
}

void on_group_list_change()
{
    show_group(selected_list_group());
}

void on_member_list_change()
{
    show_member(selected_list_member(selected_list_group()));
}
