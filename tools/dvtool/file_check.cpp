#include "tools/dvtool/file_check.h"

#include "database/unit_database.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace {

struct Walk {
    FILE* file;
    FileCheck* check;
};

int32_t signed_value(const unsigned char* bytes)
{
    uint32_t bits = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return bits < 0x80000000u ? int32_t(bits) : -int32_t(~bits) - 1;
}

// Reads one field as the loader does: it counts only when every byte came.
bool read_field(Walk& walk, unsigned char* bytes, int size, int group, int member, const char* field)
{
    size_t got = fread(bytes, 1, size, walk.file);
    FileCheck& check = *walk.check;
    check.size += long(got);
    if (got == size_t(size)) {
        check.used += size;
        return true;
    }
    check.outcome = ferror(walk.file) ? CheckOutcome::unreadable : CheckOutcome::cut_off;
    check.stop_group = group;
    check.stop_member = member;
    check.stop_field = field;
    check.field_offset = check.used;
    check.field_size = size;
    return false;
}

bool walk_group(Walk& walk, int group)
{
    unsigned char bytes[name_size];
    if (!read_field(walk, bytes, 4, group, 0, "member count"))
        return false;
    int32_t members = signed_value(bytes);
    if (!read_field(walk, bytes, name_size, group, 0, "name"))
        return false;
    // A count below 1 gives a group without members, as in the loader.
    for (int32_t member = 1; member <= members; ++member) {
        if (!read_field(walk, bytes, name_size, group, member, "name") ||
            !read_field(walk, bytes, 4, group, member, "a") || !read_field(walk, bytes, 4, group, member, "b"))
            return false;
        ++walk.check->member_total;
    }
    return true;
}

void walk_groups(Walk& walk)
{
    FileCheck& check = *walk.check;
    unsigned char bytes[4];
    size_t got = fread(bytes, 1, 4, walk.file);
    check.size = long(got);
    if (got < 4) {
        check.outcome = ferror(walk.file) ? CheckOutcome::unreadable : CheckOutcome::too_short;
        return;
    }
    check.used = 4;
    check.group_count = signed_value(bytes);
    if (check.group_count < 1) {
        check.outcome = CheckOutcome::count_below_one;
        return;
    }
    for (int group = 1; group <= check.group_count; ++group)
        if (!walk_group(walk, group))
            return;
    check.outcome = CheckOutcome::loads;
}

// The bytes after the last group record, which the loader never reads.
void count_rest(Walk& walk)
{
    unsigned char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, walk.file)) > 0)
        walk.check->size += long(got);
}

}  // namespace

void check_database_file(const char* file_name, FileCheck& check)
{
    check = FileCheck();
    check.stop_field = "";
    errno = 0;
    FILE* file = fopen(file_name, "rb");
    if (!file) {
        check.outcome = errno == ENOENT ? CheckOutcome::missing : CheckOutcome::unopenable;
        return;
    }
    Walk walk = {file, &check};
    walk_groups(walk);
    if (check.outcome == CheckOutcome::loads)
        count_rest(walk);
    fclose(file);
}
