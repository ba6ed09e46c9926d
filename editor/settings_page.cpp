#include "editor/settings_page.h"
#include <cstdio>
#include <cstring>
#include "convert/number_text.h"
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
    if (s < 0)
        return nullptr;
    return group_at(s);
}

UnitMember* selected_list_member(UnitGroup* group)
{
    int t = list_selection(member_list);
    if (!group || t < 0)
        return nullptr;
    return member_at(group, t);
}

namespace {

// An edit's whole text as GBK: more than any name or number the page shows.
void read_edit_text(HWND edit, char* text)
{
    read_window_text(edit, text, read_text_size);
}

// The text each Settings edit held when the page last filled it, read back
// from the edit so that it compares with what the user sees.
struct ShownField {
    HWND* edit;
    char text[read_text_size];
};
ShownField shown_fields[] = {
    {&group_name_edit, ""}, {&member_name_edit, ""}, {&coefficient_a_edit, ""}, {&coefficient_b_edit, ""}};

ShownField* shown_field(HWND edit)
{
    for (ShownField& field : shown_fields)
        if (*field.edit == edit)
            return &field;
    return nullptr;
}

void show_field(HWND edit, const char* text)
{
    set_window_text(edit, text);
    ShownField* field = shown_field(edit);
    if (field)
        read_edit_text(edit, field->text);
}

}  // namespace

bool field_edited(HWND edit, char* text)
{
    read_edit_text(edit, text);
    ShownField* field = shown_field(edit);
    return !field || std::strcmp(field->text, text) != 0;
}

void field_taken(HWND edit, const char* text)
{
    ShownField* field = shown_field(edit);
    if (field)
        std::snprintf(field->text, sizeof field->text, "%s", text);
}

void show_member(UnitMember* member)
{
    if (!member)
        return;
    char text[name_text_size];
    show_field(member_name_edit, name_text(member->name, text));
    char number[general_text_size];
    format_general(static_cast<double>(member->a), number);
    show_field(coefficient_a_edit, number);
    format_general(static_cast<double>(member->b), number);
    show_field(coefficient_b_edit, number);
}

namespace {

// The member names of the group into the emptied member_list, and the first
// of them shown; the caller selects entry 0.
void list_members(UnitGroup* group)
{
    BulkFill fill = begin_bulk_fill(member_list);
    SendMessageA(member_list, LB_RESETCONTENT, 0, 0);
    if (group && group->header.next) {
        show_member(group->header.next);
        for (UnitMember* member = group->header.next; member; member = member->next)
            add_list_entry(member_list, member->name);
    }
    end_bulk_fill(fill);
}

}  // namespace

void show_group(UnitGroup* group)
{
    if (!group)
        return;
    char text[name_text_size];
    show_field(group_name_edit, name_text(group->name, text));
    list_members(group);
    // With an empty list this selects nothing.
    select_list_entry(member_list, 0);
}

void fill_editor_lists()
{
    UnitGroup* first = unit_database.next;
    if (!first)
        return;
    BulkFill fill = begin_bulk_fill(group_list);
    SendMessageA(group_list, LB_RESETCONTENT, 0, 0);
    for (UnitGroup* group = first; group; group = group->next)
        add_list_entry(group_list, group->name);
    select_list_entry(group_list, 0);
    end_bulk_fill(fill);
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
