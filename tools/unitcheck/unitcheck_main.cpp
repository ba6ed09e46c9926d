// unitcheck: the unit database's text checked against GNU units.
//   unitcheck coefficients TEXT     every coefficient is the float nearest to its definition
//   unitcheck accuracy [--list] TEXT  how many shown results equal the exact ones, per group
#include "database/unit_database.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/dvtool/units_text.h"
#include "tools/unitcheck/accuracy.h"
#include "tools/unitcheck/coefficient_check.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "usage: unitcheck coefficients TEXT        check every a and b against GNU units\n"
    "       unitcheck accuracy [--list] TEXT   share of shown results equal to the exact ones\n";

void print_utf8(FILE* stream, const std::string& gbk)
{
    std::string utf8;
    if (!gbk_to_utf8(gbk, utf8))
        utf8 = gbk;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool read_text(const char* file_name, std::vector<UnitDefinition>& definitions)
{
    FILE* file = std::fopen(file_name, "rb");
    if (!file) {
        std::fprintf(stderr, "unitcheck: %s: cannot be read\n", file_name);
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    std::fclose(file);
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
    return "| " + name + " | " + std::to_string(members) + " | " + std::to_string(texts) + " | "
           + std::to_string(exact) + " | " + percent(exact, texts) + " |\n";
}

int accuracy_command(const std::vector<UnitDefinition>& definitions, bool list)
{
    std::vector<GroupAccuracy> groups;
    std::string mismatches;
    std::string error;
    if (!measure_accuracy(definitions, groups, list ? &mismatches : nullptr, error)) {
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

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> words(argv + 1, argv + argc);
    bool list = false;
    if (words.size() == 3 && words[0] == "accuracy" && words[1] == "--list") {
        list = true;
        words.erase(words.begin() + 1);
    }
    if (words.size() != 2 || (words[0] != "coefficients" && words[0] != "accuracy")) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::vector<UnitDefinition> definitions;
    if (!read_text(words[1].c_str(), definitions))
        return 2;
    int status = words[0] == "accuracy" ? accuracy_command(definitions, list)
                                        : coefficients_command(definitions, words[1].c_str());
    free_database();
    return status;
}
