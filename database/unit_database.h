#pragma once
// The unit database: one chain of unit groups, each holding a chain of
// members. Chain order is display order, field order and file order.

const int name_size = 16;       // a name field: at most 15 bytes of text and a zero
const int name_text_size = 17;  // room for any name field as a terminated text

struct UnitMember {
    float a;
    float b;
    char name[name_size];
    UnitMember* next;
};

struct UnitGroup {
    UnitMember header;  // header.next heads the member chain; nothing else is used
    char name[name_size];
    UnitGroup* next;
};

// The root record: its next link is the first group.
using UnitDatabase = UnitGroup;
extern UnitDatabase unit_database;

// A zeroed record, or null when memory is out; released with free().
UnitGroup* new_group();
UnitMember* new_member();

UnitGroup* append_group(const char* name);
// A new group right after before (a group or the database's root), for a
// reader that appends many without walking the chain each time.
UnitGroup* link_group_after(UnitGroup* before, const char* name);
UnitGroup* group_at(int position);
UnitGroup* find_group(const char* text);
UnitGroup* unlink_group(int position);
void delete_group(UnitGroup* group);
void swap_adjacent_groups(UnitGroup* group);

UnitMember* append_member(UnitGroup* group, const char* name, float a, float b);
// A new member right after before (a member or a group's header).
UnitMember* link_member_after(UnitMember* before, const char* name, float a, float b);
UnitMember* member_at(UnitGroup* group, int position);
UnitMember* find_member(UnitGroup* group, const char* text);
UnitMember* remove_member(UnitGroup* group, UnitMember* member);
void swap_adjacent_members(UnitMember* member);

void free_database();

int group_count();
int member_count(const UnitGroup* group);

// Writes a text into a name field as the system's formatted copy does, but
// bounded: a text of 16 bytes or more keeps its first 15 bytes without
// splitting a GBK double-byte character. The bytes after the zero are zero.
void write_name(char* field, const char* text);

// A name field as a terminated text, whether or not the field holds a zero
// (a field read from a file may not). Returns text.
const char* name_text(const char* field, char* text /* name_text_size */);

// Whether a name field holds the text in the form write_name would store it.
bool name_matches(const char* field, const char* text);
