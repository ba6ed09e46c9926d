#include "editor/editor_commands.h"
#include <windows.h>
#include "convert/number_text.h"
#include "editor/settings_page.h"
#include "resources/resource.h"
#include "shell/document.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/window_text.h"

namespace {

// The name of every group and member that the page creates.
const char new_entry_name[] = "新建项目";

}  // namespace

bool is_editor_command(int id)
{
    return id >= IDC_GROUP_ADD && id <= IDC_SAVE && (id - IDC_GROUP_ADD) % 4 == 0;
}

namespace {

void add_group()
{
    UnitGroup* group = append_group(new_entry_name);
    // Out of memory: nothing was added, so the list still mirrors the chain.
    if (!group)
        return;
    append_member(group, new_entry_name, 0, 0);
    add_list_entry(group_list, group->name);
    select_list_entry(group_list, list_count(group_list) - 1);
    show_group(group);
}

void delete_group_command()
{
    int s = list_selection(group_list);
    if (list_count(group_list) < 2 || s < 0)
        return;
    // unlink_group needs a second group and an existing position.
    if (!unit_database.next || !unit_database.next->next || !group_at(s))
        return;
    UnitGroup* shown = unlink_group(s);
    SendMessageA(group_list, LB_DELETESTRING, static_cast<WPARAM>(s), 0);
    if (s >= list_count(group_list))
        s--;
    select_list_entry(group_list, s);
    show_group(shown);
}

// Exchanges the groups at upper and upper + 1 and selects the moved one.
// The edits and member_list still belong to it, so they stay as they are.
void swap_groups(int upper, int selection)
{
    UnitGroup* group = group_at(upper);
    if (!group || !group->next)
        return;
    swap_adjacent_groups(group);
    replace_list_entry(group_list, upper, group->name);
    replace_list_entry(group_list, upper + 1, group->next->name);
    select_list_entry(group_list, selection);
}

void move_group_up()
{
    int s = list_selection(group_list);
    if (s <= 0)
        return;
    swap_groups(s - 1, s - 1);
}

void move_group_down()
{
    int s = list_selection(group_list);
    if (s < 0 || s >= list_count(group_list) - 1)
        return;
    swap_groups(s, s + 1);
}

void add_member()
{
    UnitGroup* group = selected_list_group();
    if (!group)
        return;
    UnitMember* member = append_member(group, new_entry_name, 0, 0);
    if (!member)
        return;
    add_list_entry(member_list, member->name);
    select_list_entry(member_list, list_count(member_list) - 1);
    show_member(member);
}

void delete_member_command()
{
    UnitGroup* group = selected_list_group();
    int t = list_selection(member_list);
    if (list_count(member_list) < 2 || !group || t < 0)
        return;
    UnitMember* member = member_at(group, t);
    // remove_member needs a member of the group, and the group must keep one.
    if (!member || !group->header.next->next)
        return;
    remove_member(group, member);
    SendMessageA(member_list, LB_DELETESTRING, static_cast<WPARAM>(t), 0);
    if (t > list_count(member_list) - 1)
        t = list_count(member_list) - 1;
    select_list_entry(member_list, t);
    show_member(member_at(group, t));
}

// Exchanges the members at upper and upper + 1 of the group and selects the
// moved one; the member fields still show it.
void swap_members(UnitGroup* group, int upper, int selection)
{
    UnitMember* member = member_at(group, upper);
    if (!member || !member->next)
        return;
    swap_adjacent_members(member);
    replace_list_entry(member_list, upper, member->name);
    replace_list_entry(member_list, upper + 1, member->next->name);
    select_list_entry(member_list, selection);
}

void move_member_up()
{
    UnitGroup* group = selected_list_group();
    int t = list_selection(member_list);
    if (!group || t <= 0)
        return;
    swap_members(group, t - 1, t - 1);
}

void move_member_down()
{
    UnitGroup* group = selected_list_group();
    int t = list_selection(member_list);
    if (!group || t < 0 || t >= list_count(member_list) - 1)
        return;
    swap_members(group, t, t + 1);
}

// A name field the user changed is read whole and cut to what a name holds.
void take_name(HWND edit, char* name)
{
    char text[read_text_size];
    if (!field_edited(edit, text))
        return;
    write_name(name, text);
    field_taken(edit, text);
}

void rename_group()
{
    int s = list_selection(group_list);
    UnitGroup* group = selected_list_group();
    if (!unit_database.next || !group)
        return;
    take_name(group_name_edit, group->name);
    // group_name_edit keeps the text as typed.
    replace_list_entry(group_list, s, group->name);
    select_list_entry(group_list, s);
}

void take_coefficient(HWND edit, float& value)
{
    char text[read_text_size];
    if (!field_edited(edit, text))
        return;
    value = static_cast<float>(read_decimal(text));
    field_taken(edit, text);
}

// Only the fields the user changed are taken: the others show the stored
// values in a shortened form, and reading that back would change them.
void change_member()
{
    int t = list_selection(member_list);
    UnitMember* member = selected_list_member(selected_list_group());
    if (!unit_database.next || !member)
        return;
    take_name(member_name_edit, member->name);
    take_coefficient(coefficient_a_edit, member->a);
    take_coefficient(coefficient_b_edit, member->b);
    // The fields keep the texts as typed; the "%g" form shows on the next
    // selection only.
    replace_list_entry(member_list, t, member->name);
    select_list_entry(member_list, t);
}

}  // namespace

void run_editor_command(int id)
{
    switch (id) {
    case IDC_GROUP_ADD: add_group(); break;
    case IDC_GROUP_DELETE: delete_group_command(); break;
    case IDC_GROUP_UP: move_group_up(); break;
    case IDC_GROUP_DOWN: move_group_down(); break;
    case IDC_MEMBER_ADD: add_member(); break;
    case IDC_MEMBER_DELETE: delete_member_command(); break;
    case IDC_MEMBER_UP: move_member_up(); break;
    case IDC_MEMBER_DOWN: move_member_down(); break;
    case IDC_GROUP_RENAME: rename_group(); break;
    case IDC_MEMBER_CHANGE: change_member(); break;
    case IDC_SAVE: save_document(); break;
    }
}
