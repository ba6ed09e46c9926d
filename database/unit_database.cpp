// The chains of unit groups and members, and the bounded name fields.
#include "database/unit_database.h"

#include <cstdlib>
#include <cstring>

#include "database/gbk_text.h"

UnitDatabase unit_database;

namespace {

// How many bytes of the text write_name keeps: a text that fits is kept
// whole, whatever its last byte.
size_t stored_length(const char* text)
{
    size_t length = 0;
    while (length < name_size - 1 && text[length] != 0)
        ++length;
    if (length < name_size - 1 || text[length] == 0)
        return length;
    return gbk_cut_length(text, name_size - 1);
}

UnitGroup* last_group()
{
    UnitGroup* group = &unit_database;
    while (group->next)
        group = group->next;
    return group;
}

}  // namespace

void write_name(char* field, const char* text)
{
    if (!text)
        text = "";
    size_t kept = stored_length(text);
    std::memcpy(field, text, kept);
    std::memset(field + kept, 0, name_size - kept);
}

const char* name_text(const char* field, char* text)
{
    size_t length = 0;
    while (length < name_size && field[length] != 0) {
        text[length] = field[length];
        ++length;
    }
    text[length] = 0;
    return text;
}

bool name_matches(const char* field, const char* text)
{
    char stored[name_size];
    write_name(stored, text);
    char field_text[name_text_size];
    char stored_text[name_text_size];
    return std::strcmp(name_text(field, field_text), name_text(stored, stored_text)) == 0;
}

// Cleared: the parts of the header a group never uses stay defined, so a
// saved file never carries stray memory. Plain C allocation keeps the C++
// exception machinery out of the executable; null when memory is out.
UnitGroup* new_group()
{
    return static_cast<UnitGroup*>(calloc(1, sizeof(UnitGroup)));
}

UnitMember* new_member()
{
    return static_cast<UnitMember*>(calloc(1, sizeof(UnitMember)));
}

UnitGroup* append_group(const char* name)
{
    return link_group_after(last_group(), name);
}

UnitGroup* link_group_after(UnitGroup* before, const char* name)
{
    if (!before)
        return nullptr;
    UnitGroup* group = new_group();
    if (!group)
        return nullptr;
    write_name(group->name, name);
    group->next = before->next;
    before->next = group;
    return group;
}

UnitGroup* group_at(int position)
{
    UnitGroup* group = unit_database.next;
    for (int i = 0; i < position && group; ++i)
        group = group->next;
    return group;
}

UnitGroup* find_group(const char* text)
{
    for (UnitGroup* group = unit_database.next; group; group = group->next)
        if (name_matches(group->name, text))
            return group;
    return nullptr;
}

UnitGroup* unlink_group(int position)
{
    if (position < 0)
        return nullptr;
    UnitGroup* before = &unit_database;
    for (int i = 0; i < position && before->next; ++i)
        before = before->next;
    UnitGroup* removed = before->next;
    // A position past the end removes nothing rather than the wrong group.
    if (!removed)
        return nullptr;
    before->next = removed->next;
    delete_group(removed);
    if (before->next)
        return before->next;
    return before == &unit_database ? nullptr : before;
}

void delete_group(UnitGroup* group)
{
    if (!group)
        return;
    while (group->header.next)
        remove_member(group, group->header.next);
    free(group);
}

void swap_adjacent_groups(UnitGroup* group)
{
    if (!group || !group->next)
        return;
    UnitGroup* other = group->next;
    UnitMember header = group->header;
    group->header = other->header;
    other->header = header;
    // Whole fields, not texts: a name read from a file without a terminator
    // moves with all 16 of its bytes.
    char name[name_size];
    std::memcpy(name, group->name, name_size);
    std::memcpy(group->name, other->name, name_size);
    std::memcpy(other->name, name, name_size);
}

UnitMember* link_member_after(UnitMember* before, const char* name, float a, float b)
{
    if (!before)
        return nullptr;
    UnitMember* member = new_member();
    if (!member)
        return nullptr;
    write_name(member->name, name);
    member->a = a;
    member->b = b;
    member->next = before->next;
    before->next = member;
    return member;
}

UnitMember* append_member(UnitGroup* group, const char* name, float a, float b)
{
    if (!group)
        return nullptr;
    UnitMember* last = &group->header;
    while (last->next)
        last = last->next;
    return link_member_after(last, name, a, b);
}

UnitMember* member_at(UnitGroup* group, int position)
{
    if (!group)
        return nullptr;
    UnitMember* member = group->header.next;
    for (int i = 0; i < position && member; ++i)
        member = member->next;
    return member;
}

UnitMember* find_member(UnitGroup* group, const char* text)
{
    if (!group)
        return nullptr;
    for (UnitMember* member = group->header.next; member; member = member->next)
        if (name_matches(member->name, text))
            return member;
    return nullptr;
}

UnitMember* remove_member(UnitGroup* group, UnitMember* member)
{
    if (!group || !member)
        return nullptr;
    UnitMember* before = &group->header;
    while (before->next && before->next != member)
        before = before->next;
    // Releasing a member of another group would leave that group's chain
    // pointing at freed memory.
    if (before->next != member)
        return nullptr;
    before->next = member->next;
    free(member);
    return before->next;
}

void swap_adjacent_members(UnitMember* member)
{
    if (!member || !member->next)
        return;
    UnitMember* other = member->next;
    float a = member->a;
    float b = member->b;
    member->a = other->a;
    member->b = other->b;
    other->a = a;
    other->b = b;
    char name[name_size];
    std::memcpy(name, member->name, name_size);
    std::memcpy(member->name, other->name, name_size);
    std::memcpy(other->name, name, name_size);
}

void free_database()
{
    UnitGroup* group = unit_database.next;
    while (group) {
        UnitGroup* next = group->next;
        delete_group(group);
        group = next;
    }
    unit_database.next = nullptr;
    unit_database.header.next = nullptr;
}

int group_count()
{
    int count = 0;
    for (UnitGroup* group = unit_database.next; group; group = group->next)
        ++count;
    return count;
}

int member_count(const UnitGroup* group)
{
    if (!group)
        return 0;
    int count = 0;
    for (const UnitMember* member = group->header.next; member; member = member->next)
        ++count;
    return count;
}
