// unitcheck: the unit database's text checked against GNU units.
#include "database/unit_database.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/dvtool/units_text.h"
#include "tools/unitcheck/accuracy.h"
#include "tools/unitcheck/coefficient_check.h"
#include "tools/whole_file.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char usage[] = "usage: unitcheck coefficients TEXT\n"
                     "           check that every a and b is the float nearest to its definition\n"
                     "       unitcheck accuracy [--list] [--values V,V,...] TEXT\n"
                     "           per group, the share of shown results equal to the exact ones, for\n"
                     "           every ordered pair of members and each typed value (by default\n"
                     "           1,7,100,2.5,12345,99999,0.001); --list prints every result that differs\n";

struct Options {
    std::string command;
    std::string file;
    bool list = false;
    std::vector<std::string> values = default_typed_values;
};

// What the key filter of a conversion field lets through, with a digit.
bool is_typed_value(const std::string& text)
{
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

bool parse_values(const std::string& list, std::vector<std::string>& values)
{
    values.clear();
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        values.push_back(list.substr(start, end - start));
        if (!is_typed_value(values.back()))
            return false;
        start = end + 1;
    }
    return true;
}

bool parse_options(const std::vector<std::string>& words, Options& options)
{
    if (words.empty())
        return false;
    options.command = words[0];
    bool accuracy = options.command == "accuracy";
    if (!accuracy && options.command != "coefficients")
        return false;
    for (size_t i = 1; i < words.size(); ++i) {
        if (accuracy && words[i] == "--list") {
            options.list = true;
        } else if (accuracy && words[i] == "--values" && i + 1 < words.size()) {
            if (!parse_values(words[++i], options.values))
                return false;
        } else if (options.file.empty() && !words[i].empty() && words[i][0] != '-') {
            options.file = words[i];
        } else {
            return false;
        }
    }
    return !options.file.empty();
}

void print_utf8(FILE* stream, const std::string& gbk)
{
    std::string utf8 = utf8_for_message(gbk);
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool read_text(const char* file_name, std::vector<UnitDefinition>& definitions)
{
    std::string text;
    if (!read_whole_file(file_name, text)) {
        std::fprintf(stderr, "unitcheck: %s: cannot be read\n", file_name);
        return false;
    }
    std::string error;
    if (!read_units_text(text, false, file_name, error, &definitions)) {
        print_utf8(stderr, error + "\n");
        return false;
    }
    return true;
}

std::string percent(int part, int whole)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", whole ? 100.0 * part / whole : 0.0);
    return text;
}

std::string table_row(const std::string& name, int members, int texts, int exact)
{
    return "| " + name + " | " + std::to_string(members) + " | " + std::to_string(texts) + " | " +
           std::to_string(exact) + " | " + percent(exact, texts) + " |\n";
}

int accuracy_command(const std::vector<UnitDefinition>& definitions, const Options& options)
{
    std::vector<GroupAccuracy> groups;
    std::string mismatches;
    std::string error;
    if (!measure_accuracy(definitions, options.values, groups, options.list ? &mismatches : nullptr, error)) {
        print_utf8(stderr, "unitcheck: " + error + "\n");
        return 2;
    }
    print_utf8(stdout, mismatches);
    std::string table = "| group | members | results | equal to the exact result | share |\n"
                        "|---|---:|---:|---:|---:|\n";
    int members = 0;
    int texts = 0;
    int exact = 0;
    for (const GroupAccuracy& group : groups) {
        table += table_row(group.name, group.members, group.texts, group.exact);
        members += group.members;
        texts += group.texts;
        exact += group.exact;
    }
    table += table_row("all", members, texts, exact);
    print_utf8(stdout, table);
    return 0;
}

int coefficients_command(const std::vector<UnitDefinition>& definitions, const char* file_name)
{
    std::string report;
    std::string error;
    if (!check_coefficients(definitions, file_name, report, error)) {
        std::fprintf(stderr, "unitcheck: %s\n", error.c_str());
        return 2;
    }
    if (!report.empty()) {
        print_utf8(stdout, report);
        return 1;
    }
    int members = 0;
    for (const UnitGroup* group = unit_database.next; group; group = group->next)
        members += member_count(group);
    std::printf("%s: the coefficients of all %d members are the floats nearest to their "
                "definitions.\n",
                file_name, members);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse_options(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::vector<UnitDefinition> definitions;
    if (!read_text(options.file.c_str(), definitions))
        return 2;
    int status = options.command == "accuracy" ? accuracy_command(definitions, options)
                                               : coefficients_command(definitions, options.file.c_str());
    free_database();
    return status;
}
