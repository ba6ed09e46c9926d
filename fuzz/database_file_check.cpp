// dv.dat reader and writer: whatever the bytes, the loaded database is the
// one the file layout describes (or empty after a read error), and a loaded
// database saved and loaded again is identical, byte for byte on disk.
#include "fuzz/fuzz_check.h"
#include "database/database_file.h"
#include "database/unit_database.h"
#include "testing/file_bytes.h"
#include "testing/files.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

const char target[] = "database_file";

struct MemberImage {
    uint8_t name[name_size];
    uint32_t a;
    uint32_t b;
};

struct GroupImage {
    uint8_t name[name_size];
    std::vector<MemberImage> members;
};

using DatabaseImage = std::vector<GroupImage>;

bool same_members(const MemberImage& x, const MemberImage& y)
{
    return std::memcmp(x.name, y.name, name_size) == 0 && x.a == y.a && x.b == y.b;
}

// ignore_last_b: the file ended inside the last member's b, whose missing
// bytes the reader may fill as it likes.
bool same_database(const DatabaseImage& x, const DatabaseImage& y, bool ignore_last_b)
{
    if (x.size() != y.size())
        return false;
    for (size_t g = 0; g < x.size(); g++) {
        if (std::memcmp(x[g].name, y[g].name, name_size) != 0)
            return false;
        if (x[g].members.size() != y[g].members.size())
            return false;
        for (size_t m = 0; m < x[g].members.size(); m++) {
            MemberImage a = x[g].members[m];
            MemberImage b = y[g].members[m];
            if (ignore_last_b && g + 1 == x.size() && m + 1 == x[g].members.size())
                a.b = b.b;
            if (!same_members(a, b))
                return false;
        }
    }
    return true;
}

uint32_t float_bits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// The database in memory, walked through its own chains.
DatabaseImage snapshot()
{
    DatabaseImage image;
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        GroupImage g;
        std::memcpy(g.name, group->name, name_size);
        for (UnitMember* member = group->header.next; member; member = member->next) {
            MemberImage m;
            std::memcpy(m.name, member->name, name_size);
            m.a = float_bits(member->a);
            m.b = float_bits(member->b);
            g.members.push_back(m);
        }
        image.push_back(g);
    }
    return image;
}

// The lookups by position and the counts must agree with the chains.
void walk(const DatabaseImage& image)
{
    if (group_count() != static_cast<int>(image.size()))
        report_violation(target, "group_count differs from the chain");
    if (unit_database.header.next)
        report_violation(target, "the root holds members");
    int position = 0;
    for (UnitGroup* group = unit_database.next; group; group = group->next, position++) {
        if (group_at(position) != group)
            report_violation(target, "group_at does not follow the chain");
        int count = member_count(group);
        if (count != static_cast<int>(image[position].members.size()))
            report_violation(target, "member_count differs from the chain");
        char text[name_text_size];
        if (std::strlen(name_text(group->name, text)) > name_size)
            report_violation(target, "name_text of a group is too long");
        for (int k = 0; k < count; k++) {
            UnitMember* member = member_at(group, k);
            if (!member || std::strlen(name_text(member->name, text)) > name_size)
                report_violation(target, "member_at or name_text of a member is wrong");
        }
        if (member_at(group, count) != nullptr)
            report_violation(target, "member_at past the end is not none");
    }
    if (group_at(position) != nullptr)
        report_violation(target, "group_at past the end is not none");
}

struct FileReader {
    const uint8_t* data;
    size_t size;
    size_t at;

    bool take(void* out, size_t count)
    {
        if (size - at < count)
            return false;
        std::memcpy(out, data + at, count);
        at += count;
        return true;
    }
    bool take_u32(uint32_t* out)
    {
        uint8_t b[4];
        if (!take(b, 4))
            return false;
        *out = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
};

enum class Expectation { exactly, either };

// What the file layout says the database is. A read error empties it; a
// file ending one to three bytes into the very last b may be taken either
// way, so the caller gets Expectation::either and the loaded image.
Expectation expected_database(const uint8_t* data, size_t size, DatabaseImage* image)
{
    FileReader in = {data, size, 0};
    image->clear();
    uint32_t count;
    if (!in.take_u32(&count) || static_cast<int32_t>(count) < 1)
        return Expectation::exactly;
    for (int32_t g = 0; g < static_cast<int32_t>(count); g++) {
        GroupImage group;
        uint32_t members;
        if (!in.take_u32(&members) || !in.take(group.name, name_size))
            break;
        image->push_back(group);
        GroupImage& back = image->back();
        for (int32_t m = 0; m < static_cast<int32_t>(members); m++) {
            MemberImage member;
            if (!in.take(member.name, name_size) || !in.take_u32(&member.a))
                break;
            if (!in.take_u32(&member.b)) {
                bool last = g + 1 == static_cast<int32_t>(count) && m + 1 == static_cast<int32_t>(members);
                if (last && in.size - in.at >= 1) {
                    member.b = 0;
                    back.members.push_back(member);
                    return Expectation::either;
                }
                break;
            }
            back.members.push_back(member);
        }
        if (static_cast<int32_t>(back.members.size()) != (members > 0x7fffffffu ? 0 : static_cast<int32_t>(members)))
            break;
        if (g + 1 == static_cast<int32_t>(count))
            return Expectation::exactly;
    }
    image->clear();
    return Expectation::exactly;
}

// The bytes a database must be saved as: the layout has no freedom left
// once the name fields are what memory holds.
std::string file_bytes(const DatabaseImage& image)
{
    std::string out;
    put_int32(out, static_cast<uint32_t>(image.size()));
    for (const GroupImage& group : image) {
        put_int32(out, static_cast<uint32_t>(group.members.size()));
        out.append(reinterpret_cast<const char*>(group.name), name_size);
        for (const MemberImage& member : group.members) {
            out.append(reinterpret_cast<const char*>(member.name), name_size);
            put_int32(out, member.a);
            put_int32(out, member.b);
        }
    }
    return out;
}

}  // namespace

void check_database_file(const uint8_t* data, size_t size)
{
    std::string input = scratch_path("input.dat");
    std::string output = scratch_path("output.dat");
    if (!write_file(input, std::string(reinterpret_cast<const char*>(data), size)))
        return;

    free_database();
    load_database(input.c_str());
    DatabaseImage loaded = snapshot();
    walk(loaded);

    DatabaseImage expected;
    Expectation expectation = expected_database(data, size, &expected);
    bool matches = same_database(loaded, expected, expectation == Expectation::either);
    if (expectation == Expectation::either && loaded.empty())
        matches = true;
    if (!matches)
        report_violation(target, "the loaded database is not the one the file describes");

    if (!loaded.empty()) {
        if (!save_database(output.c_str()))
            report_violation(target, "save_database failed on a writable folder");
        if (read_file(output) != file_bytes(loaded))
            report_violation(target, "the saved file is not the loaded database");
        free_database();
        load_database(output.c_str());
        if (!same_database(snapshot(), loaded, false))
            report_violation(target, "saving and loading again changed the database");
    }
    free_database();
    std::remove(input.c_str());
    std::remove(output.c_str());
}
