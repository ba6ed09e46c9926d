// The quotation scanner on any reply that fits the download's reply buffer
// (real pages run well beyond 30000 bytes): every line operation stays
// inside its 301-byte buffer and keeps its promises, and a scan of any
// column keeps the group sound: no member lost or duplicated, b untouched,
// a row counted as rated writes a member, and a second download of the
// same page changes nothing.
#include "fuzz/fuzz_check.h"
#include "database/unit_database.h"
#include "update/quotation_scan.h"
#include "update/rate_download.h"
#include <cstring>
#include <vector>

namespace {

const char target[] = "quotation_scan";

// Line buffers get exactly the room the scanner promises and no more, so the
// sanitizer sees the first byte past them. The bytes after a line's zero are
// filled with '&', which the line operations would consume greedily if they
// walked past the terminator.
struct LineBuffer {
    std::vector<char> bytes;
    explicit LineBuffer(const char* text) : bytes(line_limit + 1, '&')
    {
        size_t length = strnlen(text, line_limit);
        std::memcpy(bytes.data(), text, length);
        bytes[length] = 0;
    }
    char* text() { return bytes.data(); }
    size_t length() const { return strnlen(bytes.data(), line_limit + 1); }
};

bool holds_any(const char* text, const char* bytes)
{
    return std::strpbrk(text, bytes) != nullptr;
}

void check_line_operations(const char* line)
{
    LineBuffer trimmed(line);
    trim_leading_spaces(trimmed.text(), line_limit);
    const char* first = line + std::strspn(line, " ");
    if (std::strcmp(trimmed.text(), first) != 0)
        report_violation(target, "trim_leading_spaces did more than drop leading blanks");

    LineBuffer stripped(line);
    strip_tags(stripped.text(), line_limit);
    if (stripped.length() > std::strlen(line))
        report_violation(target, "strip_tags made a line longer");
    if (holds_any(stripped.text(), "<\n"))
        report_violation(target, "strip_tags left a '<' or a line feed");
    if (!std::strchr(line, '<') && !std::strchr(line, '&') && std::strcmp(stripped.text(), line) != 0)
        report_violation(target, "strip_tags changed a line without markup");

    size_t before = stripped.length();
    clean_number(stripped.text(), line_limit);
    size_t after = stripped.length();
    if (after == 0 || after > (before > 1 ? before : 1))
        report_violation(target, "clean_number gave an empty or longer text");
    if (std::strcmp(stripped.text(), "0") != 0 && holds_any(stripped.text(), " ,\r&"))
        report_violation(target, "clean_number left a blank, comma, carriage return or '&'");
}

// read_line must cut the text into lines that put together give it back.
void check_lines(const char* reply)
{
    std::vector<char> line(line_limit + 1);
    const char* cursor = reply;
    const char* next;
    while ((next = read_line(cursor, line.data(), line_limit)) != nullptr) {
        size_t length = strnlen(line.data(), line_limit + 1);
        if (length > static_cast<size_t>(line_limit) || std::memcmp(line.data(), cursor, length) != 0) {
            report_violation(target, "read_line copied something else than the line");
            return;
        }
        // A full line ends where the limit cut it, even right before a line
        // feed, which then ends an empty line of its own.
        const char* expected = length == static_cast<size_t>(line_limit) ? cursor + length
                               : cursor[length] == '\n'                  ? cursor + length + 1
                               : cursor[length] == 0                     ? cursor + length
                                                                         : nullptr;
        if (next != expected || next == cursor) {
            report_violation(target, "read_line returned the wrong cursor");
            return;
        }
        check_line_operations(line.data());
        cursor = next;
    }
    if (*cursor != 0)
        report_violation(target, "read_line ended before the end of the text");
}

struct MemberState {
    char name[name_text_size];
    float a;
    float b;
};

std::vector<MemberState> members_of(UnitGroup* group)
{
    std::vector<MemberState> members;
    for (UnitMember* member = group->header.next; member; member = member->next) {
        MemberState state;
        name_text(member->name, state.name);
        state.a = member->a;
        state.b = member->b;
        members.push_back(state);
    }
    return members;
}

bool same_bits(float x, float y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

void check_group(const std::vector<MemberState>& members)
{
    if (members.empty() || std::strcmp(members[0].name, "人民币") != 0)
        report_violation(target, "the base member lost its place");
    for (size_t i = 0; i < members.size(); i++) {
        if (!same_bits(members[i].b, 0.0f))
            report_violation(target, "a scan changed a coefficient b");
        for (size_t j = 0; j < i; j++)
            if (std::strcmp(members[i].name, members[j].name) == 0)
                report_violation(target, "two members bear one name: a row was not found again");
    }
}

void check_scan(const char* reply, int column)
{
    free_database();
    UnitGroup* group = append_group("汇率");
    append_member(group, "人民币", 1.0f, 0.0f);

    int rows = scan_quotation(reply, group, column);
    std::vector<MemberState> first = members_of(group);
    check_group(first);
    if (rows > 0 && first.size() < 2)
        report_violation(target, "rows counted as rated wrote no member");

    // Downloading the same page again finds every member again.
    int rows_again = scan_quotation(reply, group, column);
    std::vector<MemberState> second = members_of(group);
    if (rows_again != rows || second.size() != first.size()) {
        report_violation(target, "a second scan of the same page changed the members");
    } else {
        for (size_t i = 0; i < first.size(); i++)
            if (!same_bits(first[i].a, second[i].a) || std::strcmp(first[i].name, second[i].name) != 0)
                report_violation(target, "a second scan of the same page changed a rate");
    }
    free_database();
}

}  // namespace

void check_quotation_scan(const uint8_t* data, size_t size)
{
    size_t limit = static_cast<size_t>(reply_limit);
    size_t length = size < limit ? size : limit;
    std::vector<char> reply(data, data + length);
    reply.push_back(0);

    check_lines(reply.data());
    for (int column = 0; column < 5; column++)
        check_scan(reply.data(), column);
}
