#include "convert/convert_page.h"
#include <cstring>
#include "convert/conversion.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "shell/window_text.h"

int field_index(HWND window)
{
    for (int k = 0; k < field_count; k++)
        if (conversion_fields[k] == window)
            return k;
    return 0;
}

bool contains_char(const char* text, char c)
{
    for (int i = 0; i < field_text_size && text[i]; i++)
        if (text[i] == c)
            return true;
    return false;
}

namespace {

// The field is a Unicode window, so the code is UTF-16; the characters let
// through have the same codes as in GBK.
bool typed_char_allowed(HWND field, WPARAM code)
{
    if (code == '\b')
        return true;
    bool digit = code >= '0' && code <= '9';
    if (!digit && code != '.')
        return false;
    char text[field_text_size];
    read_window_text(field, text, field_text_size);
    if (code == '.' && contains_char(text, '.'))
        return false;
    // The length of the whole text counts, whatever part of it is selected.
    return std::strlen(text) < static_cast<size_t>(typed_length_limit);
}

}  // namespace

LRESULT CALLBACK numeric_edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    int k = field_index(window);
    if (message == WM_CHAR && !typed_char_allowed(window, wparam))
        return 0;
    if (message == WM_RBUTTONDOWN)
        return 0;
    if (!saved_field_procs[k])
        return DefWindowProcW(window, message, wparam, lparam);
    return CallWindowProcW(saved_field_procs[k], window, message, wparam, lparam);
}

UnitGroup* selected_group()
{
    if (!unit_database.next)
        return nullptr;
    int index = static_cast<int>(SendMessageA(group_combo, CB_GETCURSEL, 0, 0));
    // The combobox may still hold an older, longer list: past the end of
    // the chain group_at finds none.
    return group_at(index);
}

// Every paint runs this, so it looks at no more members than there are
// fields, however large the group.
void enable_member_fields()
{
    UnitGroup* group = selected_group();
    const UnitMember* member = group ? group->header.next : nullptr;
    for (int k = 0; k < field_count; k++) {
        EnableWindow(conversion_fields[k], member != nullptr);
        if (member)
            member = member->next;
    }
}

void enable_fields()
{
    enable_member_fields();
    paint_page(with_background);
}

namespace {

void clear_fields()
{
    for (int k = 0; k < field_count; k++)
        set_window_text(conversion_fields[k], "");
}

}  // namespace

void fill_group_combo()
{
    if (!groups_changed)
        return;
    groups_changed = 0;
    BulkFill fill = begin_bulk_fill(group_combo);
    SendMessageA(group_combo, CB_RESETCONTENT, 0, 0);
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        char name[name_text_size];
        send_text_message(group_combo, CB_ADDSTRING, 0, name_text(group->name, name));
    }
    SendMessageA(group_combo, CB_SETCURSEL, 0, 0);
    end_bulk_fill(fill);
    clear_fields();
    enable_fields();
}

void on_group_change()
{
    clear_fields();
    enable_fields();
}

void on_field_change(HWND field)
{
    int k = field_index(field);
    UnitGroup* group = selected_group();
    // Only the fields of existing members are enabled; a change that comes
    // from anywhere else has no unit to convert from.
    if (!group || !member_at(group, k))
        return;
    char text[field_text_size];
    read_window_text(field, text, field_text_size);
    FieldUpdate updates[field_count - 1];
    int n = convert_from_field(group, k, text, updates);
    for (int i = 0; i < n; i++)
        set_window_text(conversion_fields[updates[i].index], updates[i].text);
}
