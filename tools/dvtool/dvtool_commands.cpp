#include "tools/dvtool/dvtool_commands.h"

#include "database/database_file.h"
#include "database/unit_database.h"
#include "tools/dvtool/check_report.h"
#include "tools/dvtool/file_check.h"
#include "tools/dvtool/page_command.h"
#include "tools/dvtool/scan_report.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/dvtool/units_text.h"
#include "tools/whole_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char usage[] = "usage: dvtool dump [--gbk] FILE          print a dv.dat as units text\n"
                     "       dvtool build [--gbk] TEXT FILE    write a dv.dat from units text\n"
                     "       dvtool check [--gbk] FILE         tell what the program would load from a dv.dat\n"
                     "       dvtool page [--force] ECB_XML OUT_HTML [TABLE_CSV]\n"
                     "                                         write a quotation page from the ECB's reference rates\n"
                     "       dvtool scan [--gbk] PAGE          tell what each download table would store from a page\n"
                     "       dvtool --help\n";

const char help_text[] = "\n"
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
                         "page reads the European Central Bank's eurofxref-daily.xml and writes the\n"
                         "quotation page that the Update page downloads (GBK, one cell a line): one\n"
                         "row per currency and the euro, each under its Chinese name, with the middle\n"
                         "rate 100 x rate(CNY) / rate(currency) to six significant digits. TABLE_CSV,\n"
                         "optional, fills the other columns: UTF-8 text, one line a currency, CODE and\n"
                         "the five prices of 100 units in yuan in the order of the download list (spot\n"
                         "buying, cash buying, selling, middle, reference), separated by commas; cells\n"
                         "may be empty, # starts a comment line, and a middle rate may be given only\n"
                         "for a currency the ECB file lacks. A code without a Chinese name of dvtool's\n"
                         "own needs one in a seventh cell (MOP,,,,85.62,,NAME: at most 14 bytes in\n"
                         "GBK, one word without < > &). An empty column is &nbsp; on the page, and\n"
                         "downloading that table fails. A refused input (over 1 MB, not the ECB's\n"
                         "file, no CNY, a rate that is not a positive number, no date or one after\n"
                         "today) leaves OUT_HTML as it was; the page replaces it in one step.\n"
                         "OUT_HTML, when it is there, is what users have downloaded: rates older than\n"
                         "its date, or a currency of its middle rates left out or moved by more than\n"
                         "10 %, are refused, naming the dates or each currency with both rates, and\n"
                         "the same rates again leave it untouched. --force takes such a file, after a\n"
                         "look: the ECB has dropped a currency, or one has been re-based. Linux dvtool\n"
                         "only.\n"
                         "scan reads a page with the program's own scanner and prints, for each of\n"
                         "the five tables, whether a download would take it and each currency's\n"
                         "price and coefficient a; it says when the page is not GBK.\n"
                         "\n"
                         "Exit status: 0 done; 1 the file loads as an empty database (dump, check),\n"
                         "or the text has errors or could not be saved (build); 2 wrong usage or a\n"
                         "missing input file. page: 1 an input refused or the page not written.\n"
                         "scan: 1 no table would take the page, or the page is not GBK.\n";

struct Arguments {
    std::vector<std::string> words;
    bool gbk;
    bool force;
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
    arguments.force = false;
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
        else if (word == "--force")
            arguments.force = true;
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
    if (check.outcome == CheckOutcome::missing)
        return input_error(err, file, "no such file");
    if (check.outcome != CheckOutcome::loads) {
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
    out += file + ": written (groups " + std::to_string(groups) + ", members " + std::to_string(members) + ").\n";
    return 0;
}

int check_command(const Arguments& arguments, std::string& out)
{
    const std::string& file = arguments.words[1];
    FileCheck check;
    check_database_file(file.c_str(), check);
    if (check.outcome == CheckOutcome::loads)
        load_database(file.c_str());
    out += file + ": ";
    append_output(out, describe_check(check), arguments.gbk);
    free_database();
    return check.outcome == CheckOutcome::loads ? 0 : 1;
}

int scan_command(const Arguments& arguments, std::string& out, std::string& err)
{
    const std::string& file = arguments.words[1];
    std::string page;
    // Far more than a download takes: what it says of such a page is all
    // the same, and the file is read no further.
    BoundedRead read = read_file_within(file.c_str(), largest_input, page);
    if (read == BoundedRead::missing || read == BoundedRead::unreadable)
        return input_error(err, file, "cannot be read");
    out += file + ":\n";
    if (read == BoundedRead::too_large) {
        out += "too large: more than 1 MB, and the download takes none of it\n";
        return 1;
    }
    int rated_tables = 0;
    bool gbk_page = true;
    std::string report = describe_scan(page, rated_tables, gbk_page);
    append_output(out, report, arguments.gbk);
    return rated_tables > 0 && gbk_page ? 0 : 1;
}

// How many words (the command's own included) each command takes.
bool takes_words(const std::string& command, size_t words, const char*& wanted)
{
    if (command == "build") {
        wanted = "TEXT and FILE";
        return words == 3;
    }
    if (command == "page") {
        wanted = "ECB_XML and OUT_HTML, then optionally TABLE_CSV";
        return words == 3 || words == 4;
    }
    wanted = command == "scan" ? "one PAGE" : "one FILE";
    return words == 2;
}

}  // namespace

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
    if (command != "dump" && command != "build" && command != "check" && command != "page" && command != "scan")
        return usage_error(err, "unknown command " + command);
    const char* wanted = "";
    if (!takes_words(command, arguments.words.size(), wanted))
        return usage_error(err, command + " takes " + wanted);
    if (arguments.force && command != "page")
        return usage_error(err, "--force is for page only");
    if (command == "page")
        return page_command(arguments.words, arguments.force, out, err);
    if (command == "scan")
        return scan_command(arguments, out, err);
    if (command == "dump")
        return dump_command(arguments, out, err);
    if (command == "build")
        return build_command(arguments, out, err);
    return check_command(arguments, out);
}
