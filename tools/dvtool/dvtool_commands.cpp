#include "tools/dvtool/dvtool_commands.h"

#include "database/database_file.h"
#include "database/unit_database.h"
#include "platform/whole_file.h"
#include "tools/dvtool/check_report.h"
#include "tools/dvtool/file_check.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/dvtool/units_text.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char usage[] =
    "usage: dvtool dump [--gbk] FILE          print a dv.dat as units text\n"
    "       dvtool build [--gbk] TEXT FILE    write a dv.dat from units text\n"
    "       dvtool check [--gbk] FILE         tell what the program would load from a dv.dat\n"
    "       dvtool --help\n";

const char help_text[] =
    "\n"
    "Units text is UTF-8 (a byte-order mark is allowed) unless --gbk is given.\n"
    "It holds a [group] line before each group's members and one member a line:\n"
    "    [group name]\n"
    "    name  a  b        value in this unit = a * base + b\n"
    "Everything after # is a comment. In names, \\\\ is a backslash, \\xHH the byte\n"
    "HH, and \"\" alone the empty name; a and b are decimals, or 0x and the eight\n"
    "hex digits of a 32-bit float. Names hold at most 15 bytes of GBK text.\n"
    "A line may end with = and a definition that GNU units reads: the group's\n"
    "base on a group line, the unit on a member line (\"[length] = km\",\n"
    "\"mile  0.6213712  0  = mile\"). dv.dat does not keep them; they let the\n"
    "coefficients be checked. A name holding = writes it as \\x3D.\n"
    "\n"
    "dump prints names as the file holds them: bytes that are not GBK text\n"
    "appear as \\xHH, and a name without a terminator gets a comment (build\n"
    "refuses it as too long). dump then build gives back the same file when\n"
    "the bytes after each name's terminator are zero.\n"
    "build checks the whole text first and writes nothing when any line is\n"
    "wrong; the old file survives a failed write. check reports the groups and\n"
    "members, or why the program would start with an empty database.\n"
    "\n"
    "Exit status: 0 done; 1 the file loads as an empty database (dump, check),\n"
    "or the text has errors or could not be saved (build); 2 wrong usage or a\n"
    "missing input file.\n";

struct Arguments {
    std::vector<std::string> words;
    bool gbk;
    bool help;
};

int usage_error(std::string& err, const std::string& what)
{
    err += "dvtool: " + what + "\n" + usage;
    return 2;
}

int input_error(std::string& err, const std::string& file, const char* what)
{
    err += "dvtool: " + file + ": " + what + "\n";
    return 2;
}

// Returns 0 when the arguments parse, else the exit status.
int parse_arguments(int argc, const char* const* argv, Arguments& arguments, std::string& err)
{
    arguments.gbk = false;
    arguments.help = false;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (options_done || word.size() < 2 || word[0] != '-')
            arguments.words.push_back(word);
        else if (word == "--")
            options_done = true;
        else if (word == "--gbk")
            arguments.gbk = true;
        else if (word == "--help" || word == "-h")
            arguments.help = true;
        else
            return usage_error(err, "unknown option " + word);
    }
    return 0;
}

// Everything dvtool writes about the database is formed in GBK and leaves
// in the encoding the user asked for.
void append_output(std::string& stream, const std::string& gbk, bool gbk_output)
{
    std::string utf8;
    if (gbk_output)
        stream += gbk;
    else if (gbk_to_utf8(gbk, utf8))
        stream += utf8;
    else
        stream += "(text without a UTF-8 form; use --gbk)\n";
}

int dump_command(const Arguments& arguments, std::string& out, std::string& err)
{
    const std::string& file = arguments.words[1];
    FileCheck check;
    check_database_file(file.c_str(), check);
    if (check.outcome == check_missing)
        return input_error(err, file, "no such file");
    if (check.outcome != check_loads) {
        err += file + ": ";
        append_output(err, describe_check(check), arguments.gbk);
        return 1;
    }
    load_database(file.c_str());
    append_output(out, write_units_text(), arguments.gbk);
    free_database();
    return 0;
}

int build_command(const Arguments& arguments, std::string& out, std::string& err)
{
    const std::string& text_file = arguments.words[1];
    const std::string& file = arguments.words[2];
    std::string text;
    if (!read_whole_file(text_file.c_str(), text))
        return input_error(err, text_file, "cannot be read");
    std::string error;
    if (!read_units_text(text, arguments.gbk, text_file.c_str(), error)) {
        err += error + "\n" + file + ": not written.\n";
        return 1;
    }
    int groups = group_count();
    int members = 0;
    for (const UnitGroup* group = unit_database.next; group; group = group->next)
        members += member_count(group);
    bool saved = save_database(file.c_str());
    free_database();
    if (!saved) {
        err += file + ": could not be written; an old file of that name is unchanged.\n";
        return 1;
    }
    out += file + ": written (groups " + std::to_string(groups) + ", members "
           + std::to_string(members) + ").\n";
    return 0;
}

int check_command(const Arguments& arguments, std::string& out)
{
    const std::string& file = arguments.words[1];
    FileCheck check;
    check_database_file(file.c_str(), check);
    if (check.outcome == check_loads)
        load_database(file.c_str());
    out += file + ": ";
    append_output(out, describe_check(check), arguments.gbk);
    free_database();
    return check.outcome == check_loads ? 0 : 1;
}

} // namespace

int run_dvtool(int argc, const char* const* argv, std::string& out, std::string& err)
{
    Arguments arguments;
    if (int status = parse_arguments(argc, argv, arguments, err))
        return status;
    if (arguments.help) {
        out += std::string(usage) + help_text;
        return 0;
    }
    if (arguments.words.empty())
        return usage_error(err, "no command given");
    const std::string& command = arguments.words[0];
    size_t wanted = command == "build" ? 3 : 2;
    if (command != "dump" && command != "build" && command != "check")
        return usage_error(err, "unknown command " + command);
    if (arguments.words.size() != wanted)
        return usage_error(err, command + " takes " + (wanted == 3 ? "TEXT and FILE" : "one FILE"));
    if (command == "dump")
        return dump_command(arguments, out, err);
    if (command == "build")
        return build_command(arguments, out, err);
    return check_command(arguments, out);
}
