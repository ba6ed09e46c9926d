#pragma once
// A lookup table over one group's members by name, for work that looks up
// and appends many members at once (a downloaded page of thousands of
// rows): each lookup and each append then costs the same, however long
// the chain. The chain stays the one record of the members; the index only
// points into it and is valid while nothing else changes the group.
#include "database/unit_database.h"

struct MemberIndex {
    UnitGroup* group;
    UnitMember** slots;  // open addressing; null marks a free slot
    unsigned capacity;   // a power of two, at least twice count
    unsigned count;
    UnitMember* last;  // the chain's last member, or the group's header
    bool complete;     // false once memory ran out
};

// Indexes the group's members; the first of several with one name is the
// one found, as find_member finds it. When memory runs out the lookups walk
// the chain instead: slower, with the same answers.
void open_member_index(MemberIndex& index, UnitGroup* group);
void close_member_index(MemberIndex& index);

// As find_member and append_member do on the group.
UnitMember* find_indexed_member(MemberIndex& index, const char* text);
UnitMember* append_indexed_member(MemberIndex& index, const char* name, float a, float b);
