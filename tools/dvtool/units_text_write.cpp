// Writing the units text: what dvtool dump prints.
#include "tools/dvtool/units_text.h"

#include "database/unit_database.h"
#include "tools/dvtool/coefficient_form.h"
#include "tools/dvtool/name_form.h"

#include <cstring>

namespace {

const size_t name_column = 16;
const size_t a_column = 18;

// A name field is read up to its zero, or as all 16 bytes when it has none,
// as the program itself shows it.
std::string field_text(const char* field, bool& terminated)
{
    terminated = std::memchr(field, 0, name_size) != nullptr;
    char text[name_text_size];
    return name_text(field, text);
}

// Every byte of a GBK text is one column wide on screen, and so is every
// character of an escape.
void pad_to(std::string& line, size_t column)
{
    line += "  ";
    while (line.size() < column + 2)
        line += ' ';
}

void note_unterminated(std::string& out, bool terminated)
{
    if (!terminated)
        out += "# 注意：下一行的名称占满 16 字节，没有结束符。名称最长 15 字节，"
               "重新生成 dv.dat 之前请把它改短。\n";
}

void write_member(std::string& out, const UnitMember* member)
{
    bool terminated;
    std::string name = field_text(member->name, terminated);
    note_unterminated(out, terminated);
    std::string line = escape_name(name, false);
    pad_to(line, name_column);
    char number[coefficient_text_size];
    format_coefficient(member->a, number);
    line += number;
    pad_to(line, name_column + 2 + a_column);
    format_coefficient(member->b, number);
    line += number;
    out += line + "\n";
}

}  // namespace

std::string write_units_text()
{
    std::string out = "# Duvarin 单位数据库（dvtool dump 生成；dvtool build 可由它重新生成 dv.dat）\n"
                      "# [组名] 开始一个单位组；其后每行一个单位：名称  a  b，\n"
                      "# 该单位的数值 = a × 基准值 + b。# 到行尾是注释。\n";
    for (const UnitGroup* group = unit_database.next; group; group = group->next) {
        bool terminated;
        std::string name = field_text(group->name, terminated);
        out += "\n";
        note_unterminated(out, terminated);
        out += "[" + escape_name(name, true) + "]\n";
        for (const UnitMember* member = group->header.next; member; member = member->next)
            write_member(out, member);
    }
    return out;
}
