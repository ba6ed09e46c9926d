// dv.dat: a group count, then each group's member count and name, then its
// members' names and coefficients. Every field is assembled byte by byte,
// little-endian, so the file is the same whichever compiler built us.
#include "database/database_file.h"

#include "database/unit_database.h"
#include "platform/replace_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

bool read_field(FILE* file, void* bytes, size_t size)
{
    return fread(bytes, 1, size, file) == size;
}

bool read_int32(FILE* file, int32_t& value)
{
    unsigned char bytes[4];
    if (!read_field(file, bytes, 4))
        return false;
    uint32_t bits = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8
                    | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    // Two's complement spelled out rather than left to the conversion.
    value = bits < 0x80000000u ? int32_t(bits) : -int32_t(~bits) - 1;
    return true;
}

// A coefficient must arrive whole: a file cut inside the last b is as broken
// as one cut anywhere else.
bool read_float(FILE* file, float& value)
{
    int32_t bits;
    if (!read_int32(file, bits))
        return false;
    uint32_t pattern = uint32_t(bits);
    memcpy(&value, &pattern, 4);
    return true;
}

bool read_member(FILE* file, UnitMember*& last)
{
    UnitMember* member = new_member();
    if (!member)
        return false;
    // Linked before it is read, so a read error releases it with the rest.
    last->next = member;
    last = member;
    return read_field(file, member->name, name_size) && read_float(file, member->a)
           && read_float(file, member->b);
}

bool read_group(FILE* file, UnitGroup*& last)
{
    int32_t members;
    if (!read_int32(file, members))
        return false;
    UnitGroup* group = new_group();
    if (!group)
        return false;
    last->next = group;
    last = group;
    // The 16 bytes are kept as they are, terminated or not, so a save gives
    // the file back unchanged.
    if (!read_field(file, group->name, name_size))
        return false;
    UnitMember* last_member = &group->header;
    for (int32_t i = 0; i < members; ++i)
        if (!read_member(file, last_member))
            return false;
    return true;
}

void put_uint32(unsigned char* bytes, uint32_t bits)
{
    bytes[0] = bits & 0xFF;
    bytes[1] = (bits >> 8) & 0xFF;
    bytes[2] = (bits >> 16) & 0xFF;
    bytes[3] = (bits >> 24) & 0xFF;
}

void write_int32(FileReplacement& file, int32_t value)
{
    unsigned char bytes[4];
    put_uint32(bytes, uint32_t(value));
    write_bytes(file, bytes, 4);
}

void write_float(FileReplacement& file, float value)
{
    uint32_t bits;
    memcpy(&bits, &value, 4);
    unsigned char bytes[4];
    put_uint32(bytes, bits);
    write_bytes(file, bytes, 4);
}

} // namespace

void load_database(const char* file_name)
{
    free_database();
    FILE* file = fopen(file_name, "rb");
    if (!file)
        return;
    int32_t groups;
    if (!read_int32(file, groups)) {
        fclose(file);
        return;
    }
    UnitGroup* last = &unit_database;
    for (int32_t i = 0; i < groups; ++i) {
        if (!read_group(file, last)) {
            // No partial database: a damaged file loads as none at all.
            free_database();
            break;
        }
    }
    fclose(file);
}

bool save_database(const char* file_name)
{
    FileReplacement file;
    if (!begin_replacement(file, file_name))
        return false;
    write_int32(file, group_count());
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        write_int32(file, member_count(group));
        write_bytes(file, group->name, name_size);
        for (UnitMember* member = group->header.next; member; member = member->next) {
            write_bytes(file, member->name, name_size);
            write_float(file, member->a);
            write_float(file, member->b);
        }
    }
    return finish_replacement(file);
}
