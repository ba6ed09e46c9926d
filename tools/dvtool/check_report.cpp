#include "tools/dvtool/check_report.h"

#include "convert/conversion.h"
#include "database/unit_database.h"
#include "tools/dvtool/name_form.h"

#include <cmath>
#include <cstring>

namespace {

const char empty_note[] = "; the program starts with an empty database.\n";

std::string number(long value)
{
    return std::to_string(value);
}

std::string count_of(long value, const char* thing)
{
    return number(value) + " " + thing + (value == 1 ? "" : "s");
}

std::string shown_name(const char* field, bool group_name)
{
    char text[name_text_size];
    return escape_name(name_text(field, text), group_name);
}

std::string describe_stop(const FileCheck& check)
{
    std::string where = "group " + number(check.stop_group) + " of " + number(check.group_count);
    if (check.stop_member > 0)
        where = "member " + number(check.stop_member) + " of " + where;
    return "cut off at byte " + number(check.size) + ", in the " + check.stop_field + " of " + where + " (" +
           number(check.field_size) + " bytes from byte " + number(check.field_offset) + ")";
}

std::string describe_verdict(const FileCheck& check)
{
    switch (check.outcome) {
    case CheckOutcome::loads:
        return "loads " + count_of(check.group_count, "group") + " with " + count_of(check.member_total, "member") +
               " (" + number(check.used) + " bytes).\n";
    case CheckOutcome::missing: return std::string("missing") + empty_note;
    case CheckOutcome::unopenable: return std::string("cannot be opened") + empty_note;
    case CheckOutcome::unreadable: return std::string("cannot be read") + empty_note;
    case CheckOutcome::too_short:
        return "too short (" + number(check.size) + " bytes; the group count needs 4)" + empty_note;
    case CheckOutcome::count_below_one: return "group count " + number(check.group_count) + " is below 1" + empty_note;
    case CheckOutcome::cut_off: return describe_stop(check) + empty_note;
    }
    return "";
}

// What a name field holds beyond a plain GBK text.
void note_name(std::string& notes, const std::string& who, const char* field)
{
    const char* zero = static_cast<const char*>(std::memchr(field, 0, name_size));
    if (!zero) {
        notes += "  " + who + ": the name fills all 16 bytes and has no terminator.\n";
        return;
    }
    char text[name_text_size];
    if (!is_plain_gbk(name_text(field, text)))
        notes += "  " + who + ": the name holds bytes that are not printable GBK text (shown as \\xHH).\n";
    for (const char* rest = zero; rest < field + name_size; ++rest)
        if (*rest) {
            notes += "  " + who +
                     ": bytes after the name's terminator are not zero;"
                     " dvtool build writes zeros there.\n";
            return;
        }
}

void note_member(std::string& notes, const std::string& who, const UnitMember* member)
{
    note_name(notes, who, member->name);
    if (member->a == 0 || std::isnan(member->a))
        notes += "  " + who + ": a is 0 or not a number, so its conversions show null.\n";
    else if (!std::isfinite(member->a) || !std::isfinite(member->b))
        notes += "  " + who + ": a coefficient is not finite, so its conversions show null.\n";
}

void describe_group(std::string& out, std::string& notes, const UnitGroup* group, int position)
{
    std::string who = "group " + number(position);
    int members = member_count(group);
    out += "  " + number(position) + ". [" + shown_name(group->name, true) + "] " + number(members) + ":";
    note_name(notes, who, group->name);
    if (members == 0)
        notes += "  " + who + ": has no members.\n";
    if (members > field_count)
        notes += "  " + who + ": has " + number(members) + " members; the Convert page shows the first " +
                 number(field_count) + ".\n";
    int index = 0;
    for (const UnitMember* member = group->header.next; member; member = member->next) {
        out += (index == 0 ? " " : ", ") + shown_name(member->name, false);
        note_member(notes, who + " member " + number(++index), member);
    }
    out += "\n";
}

}  // namespace

std::string describe_check(const FileCheck& check)
{
    std::string out = describe_verdict(check);
    if (check.outcome != CheckOutcome::loads)
        return out;
    std::string notes;
    int position = 0;
    for (const UnitGroup* group = unit_database.next; group; group = group->next)
        describe_group(out, notes, group, ++position);
    if (check.size > check.used)
        notes += "  " + count_of(check.size - check.used, "byte") + " after the last group " +
                 (check.size - check.used == 1 ? "is" : "are") + " not read.\n";
    if (!notes.empty())
        out += "notes:\n" + notes;
    return out;
}
