// Reading the units text: what dvtool build turns into a dv.dat.
#include "tools/dvtool/units_text.h"

#include "database/unit_database.h"
#include "tools/dvtool/blank_text.h"
#include "tools/dvtool/coefficient_form.h"
#include "tools/dvtool/name_form.h"

#include <string>

namespace {

const char utf8_mark[] = "\xEF\xBB\xBF";

struct LineReader {
    const std::string* text;
    bool gbk_input;
    const char* file_name;
    int line_number;
    UnitGroup* group;         // the last group read, the chain's last
    UnitMember* last_member;  // the last member of that group, or its header
    int group_position;
    int member_position;
    std::string* error;
    std::vector<UnitDefinition>* definitions;
};

bool fail(LineReader& reader, const std::string& what)
{
    *reader.error = std::string(reader.file_name) + ":" + std::to_string(reader.line_number) + ": " + what;
    return false;
}

// The name's bytes, checked against the 16-byte field it must fit.
bool read_name(LineReader& reader, const std::string& text, std::string& name)
{
    if (const char* problem = unescape_name(text, reader.gbk_input, name))
        return fail(reader, std::string(problem) + ": " + text);
    if (name.find('\0') != std::string::npos)
        return fail(reader, "a name cannot hold a zero byte: " + text);
    if (name.size() > size_t(name_size - 1))
        return fail(reader,
                    "the name " + text + " is " + std::to_string(name.size()) + " bytes in GBK; at most 15 fit");
    return true;
}

bool read_group_line(LineReader& reader, const std::string& line)
{
    if (line.size() < 2 || line[line.size() - 1] != ']')
        return fail(reader, "a group line must end with ]");
    std::string name;
    if (!read_name(reader, trimmed(line.substr(1, line.size() - 2)), name))
        return false;
    // Linked after the last one read: appending would walk the whole chain
    // for every group, and the members likewise.
    UnitGroup* group = link_group_after(reader.group ? reader.group : &unit_database, name.c_str());
    if (!group)
        return fail(reader, "out of memory");
    reader.group = group;
    reader.last_member = &group->header;
    ++reader.group_position;
    reader.member_position = -1;
    return true;
}

// Splits off the last blank-separated token of a line.
std::string last_token(std::string& line)
{
    size_t start = line.size();
    while (start > 0 && !is_blank(line[start - 1]))
        --start;
    std::string token = line.substr(start);
    line = trimmed(line.substr(0, start));
    return token;
}

bool read_number(LineReader& reader, const char* which, const std::string& token, float& value)
{
    if (const char* problem = read_coefficient(token.c_str(), value))
        return fail(reader, std::string(which) + " " + token + ": " + problem);
    return true;
}

bool read_member_line(LineReader& reader, std::string line)
{
    std::string b_text = last_token(line);
    std::string a_text = last_token(line);
    if (line.empty())
        return fail(reader, "a unit line needs a name, a and b");
    if (!reader.group)
        return fail(reader, "a unit comes before the first [group] line");
    float a;
    float b;
    std::string name;
    if (!read_number(reader, "a", a_text, a) || !read_number(reader, "b", b_text, b) || !read_name(reader, line, name))
        return false;
    UnitMember* member = link_member_after(reader.last_member, name.c_str(), a, b);
    if (!member)
        return fail(reader, "out of memory");
    reader.last_member = member;
    ++reader.member_position;
    return true;
}

// Everything after the first '=' of a line; names never hold a bare '='.
bool split_definition(LineReader& reader, std::string& line, std::string& definition)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return true;
    definition = trimmed(line.substr(equals + 1));
    line = trimmed(line.substr(0, equals));
    if (line.empty())
        return fail(reader, "a definition needs a [group] or unit line before its =");
    if (definition.empty())
        return fail(reader, "nothing follows the =");
    for (char c : definition)
        if (c < 0x20 || c > 0x7E)
            return fail(reader, "a definition is printable ASCII (the syntax of GNU units): " + definition);
    return true;
}

bool read_line(LineReader& reader, std::string line)
{
    if (!line.empty() && line[line.size() - 1] == '\r')
        line.erase(line.size() - 1);
    // '#' is never the trail byte of a GBK character, so this cut is safe in
    // either encoding.
    size_t comment = line.find('#');
    if (comment != std::string::npos)
        line.erase(comment);
    line = trimmed(line);
    if (line.empty())
        return true;
    std::string definition;
    if (!split_definition(reader, line, definition))
        return false;
    bool group_line = line[0] == '[';
    if (!(group_line ? read_group_line(reader, line) : read_member_line(reader, line)))
        return false;
    if (reader.definitions && !definition.empty())
        reader.definitions->push_back(
            {reader.line_number, reader.group_position, group_line ? -1 : reader.member_position, definition});
    return true;
}

bool read_lines(LineReader& reader, size_t start)
{
    const std::string& text = *reader.text;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++reader.line_number;
        if (!read_line(reader, text.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    if (!unit_database.next) {
        *reader.error =
            std::string(reader.file_name) + ": holds no group; the program would start with an empty database";
        return false;
    }
    return true;
}

}  // namespace

bool read_units_text(const std::string& text, bool gbk_input, const char* file_name, std::string& error,
                     std::vector<UnitDefinition>* definitions)
{
    free_database();
    if (definitions)
        definitions->clear();
    LineReader reader = {&text, gbk_input, file_name, 0, nullptr, nullptr, -1, -1, &error, definitions};
    size_t start = 0;
    if (text.compare(0, 3, utf8_mark) == 0) {
        if (gbk_input) {
            error = std::string(file_name) + ":1: starts with a UTF-8 mark; read it without --gbk";
            return false;
        }
        start = 3;
    }
    if (read_lines(reader, start))
        return true;
    free_database();
    if (definitions)
        definitions->clear();
    return false;
}
