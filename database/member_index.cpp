#include "database/member_index.h"

#include <cstdlib>
#include <cstring>

namespace {

const unsigned first_capacity = 64;

// FNV-1a over a name as it is stored, up to its zero or its 16th byte.
unsigned hash_name(const char* field)
{
    unsigned hash = 2166136261u;
    for (int i = 0; i < name_size && field[i] != 0; ++i)
        hash = (hash ^ static_cast<unsigned char>(field[i])) * 16777619u;
    return hash;
}

bool same_name(const char* field, const char* other)
{
    return std::strncmp(field, other, name_size) == 0;
}

// The slot holding the name, or the free slot where it belongs.
UnitMember** slot_of(const MemberIndex& index, const char* field)
{
    unsigned mask = index.capacity - 1;
    for (unsigned at = hash_name(field) & mask;; at = (at + 1) & mask) {
        UnitMember** slot = &index.slots[at];
        if (*slot == nullptr || same_name((*slot)->name, field))
            return slot;
    }
}

bool grow(MemberIndex& index)
{
    UnitMember** old_slots = index.slots;
    unsigned old_capacity = index.capacity;
    UnitMember** slots = static_cast<UnitMember**>(calloc(old_capacity * 2, sizeof *slots));
    if (!slots)
        return false;
    index.slots = slots;
    index.capacity = old_capacity * 2;
    for (unsigned i = 0; i < old_capacity; ++i)
        if (old_slots[i])
            *slot_of(index, old_slots[i]->name) = old_slots[i];
    free(old_slots);
    return true;
}

// Keeps a member already there: the first of one name stays the one found.
bool add(MemberIndex& index, UnitMember* member)
{
    if (2 * (index.count + 1) > index.capacity && !grow(index))
        return false;
    UnitMember** slot = slot_of(index, member->name);
    if (*slot == nullptr) {
        *slot = member;
        ++index.count;
    }
    return true;
}

}  // namespace

void open_member_index(MemberIndex& index, UnitGroup* group)
{
    index.group = group;
    index.capacity = first_capacity;
    index.count = 0;
    index.last = group ? &group->header : nullptr;
    index.slots = static_cast<UnitMember**>(calloc(index.capacity, sizeof *index.slots));
    index.complete = index.slots != nullptr;
    if (!group)
        return;
    for (UnitMember* member = group->header.next; member; member = member->next) {
        if (index.complete && !add(index, member))
            index.complete = false;
        index.last = member;
    }
}

void close_member_index(MemberIndex& index)
{
    free(index.slots);
    index.slots = nullptr;
    index.capacity = 0;
    index.count = 0;
    index.complete = false;
}

UnitMember* find_indexed_member(MemberIndex& index, const char* text)
{
    if (!index.group)
        return nullptr;
    if (!index.complete)
        return find_member(index.group, text);
    // The name in the form it would be stored, so that a long name is
    // found again under the 15 bytes it keeps.
    char stored[name_size];
    write_name(stored, text);
    return *slot_of(index, stored);
}

UnitMember* append_indexed_member(MemberIndex& index, const char* name, float a, float b)
{
    if (!index.group)
        return nullptr;
    UnitMember* member = link_member_after(index.last, name, a, b);
    if (!member)
        return nullptr;
    index.last = member;
    // Without room in the table the member is still in the chain; lookups
    // then walk the chain, slowly but with the same answers.
    if (index.complete && !add(index, member))
        index.complete = false;
    return member;
}
