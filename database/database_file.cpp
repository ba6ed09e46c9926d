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

uint32_t uint32_at(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool read_int32(FILE* file, int32_t& value)
{
    unsigned char bytes[4];
    if (!read_field(file, bytes, 4))
        return false;
    uint32_t bits = uint32_at(bytes);
    // Two's complement spelled out rather than left to the conversion.
    value = bits < 0x80000000u ? int32_t(bits) : -int32_t(~bits) - 1;
    return true;
}

float float_at(const unsigned char* bytes)
{
    uint32_t pattern = uint32_at(bytes);
    float value;
    std::memcpy(&value, &pattern, 4);
    return value;
}

// A member is read whole, name, a and b, in one read: a large file holds
// tens of thousands of them, and each read of the stream costs. A file cut
// inside the last b is as broken as one cut anywhere else.
bool read_member(FILE* file, UnitMember*& last)
{
    UnitMember* member = new_member();
    if (!member)
        return false;
    // Linked before it is read, so a read error releases it with the rest.
    last->next = member;
    last = member;
    unsigned char bytes[name_size + 8];
    if (!read_field(file, bytes, sizeof bytes))
        return false;
    std::memcpy(member->name, bytes, name_size);
    member->a = float_at(bytes + name_size);
    member->b = float_at(bytes + name_size + 4);
    return true;
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

// Where the database's bytes go: the file being replaced, or the digest.
struct FileSink {
    FileReplacement& file;
    void put(const void* bytes, size_t size) { write_bytes(file, bytes, size); }
};

// 64-bit FNV-1a.
struct DigestSink {
    uint64_t digest = 14695981039346656037ull;
    void put(const void* bytes, size_t size)
    {
        const unsigned char* byte = static_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < size; ++i)
            digest = (digest ^ byte[i]) * 1099511628211ull;
    }
};

template <class Sink> void put_int32(Sink& sink, int32_t value)
{
    unsigned char bytes[4];
    put_uint32(bytes, uint32_t(value));
    sink.put(bytes, 4);
}

template <class Sink> void put_float(Sink& sink, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    unsigned char bytes[4];
    put_uint32(bytes, bits);
    sink.put(bytes, 4);
}

template <class Sink> void put_database(Sink& sink)
{
    put_int32(sink, group_count());
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        put_int32(sink, member_count(group));
        sink.put(group->name, name_size);
        for (UnitMember* member = group->header.next; member; member = member->next) {
            sink.put(member->name, name_size);
            put_float(sink, member->a);
            put_float(sink, member->b);
        }
    }
}

}  // namespace

DatabaseFileState load_database(const char* file_name)
{
    free_database();
    FILE* file = fopen(file_name, "rb");
    if (!file)
        return DatabaseFileState::missing;
    int32_t groups;
    DatabaseFileState state = DatabaseFileState::damaged;
    if (read_int32(file, groups) && groups > 0) {
        UnitGroup* last = &unit_database;
        int32_t i = 0;
        while (i < groups && read_group(file, last))
            ++i;
        // No partial database: a damaged file loads as none at all.
        if (i < groups)
            free_database();
        else
            state = DatabaseFileState::loaded;
    }
    fclose(file);
    return state;
}

bool save_database(const char* file_name)
{
    FileReplacement file;
    if (!begin_replacement(file, file_name))
        return false;
    FileSink sink = {file};
    put_database(sink);
    return finish_replacement(file);
}

uint64_t database_digest()
{
    DigestSink sink;
    put_database(sink);
    return sink.digest;
}

bool copy_file_bytes(const char* source, const char* copy)
{
    FILE* file = fopen(source, "rb");
    if (!file)
        return false;
    FileReplacement replacement;
    bool ok = begin_replacement(replacement, copy);
    char buffer[4096];
    size_t got;
    while (ok && (got = fread(buffer, 1, sizeof buffer, file)) > 0)
        write_bytes(replacement, buffer, got);
    bool read_whole = !ferror(file);
    fclose(file);
    if (!ok)
        return false;
    if (!read_whole)
        replacement.failed = true;
    return finish_replacement(replacement);
}
