#include "bench/bench_data.h"
#include <cstdio>
#include <cstring>
#include <vector>
#include "testing/file_bytes.h"
#include "testing/files.h"

std::string unit_name(int k)
{
    char name[name_text_size];
    std::snprintf(name, sizeof name, "unit%d", k);
    return name;
}

bool write_database_file(const std::string& path, int groups, int members)
{
    return write_database_file(path, std::vector<int>(groups, members));
}

bool write_database_file(const std::string& path, const std::vector<int>& member_counts)
{
    std::vector<SampleGroup> database(member_counts.size());
    for (size_t g = 0; g < member_counts.size(); g++) {
        database[g].name = unit_name(int(g));
        for (int m = 0; m < member_counts[g]; m++)
            database[g].members.push_back({unit_name(m), 1.0f + 0.25f * m, 0.5f * m});
    }
    return write_file(path, database_bytes(database));
}

UnitGroup* build_group(int members)
{
    UnitGroup* group = append_group("bench");
    for (int k = 0; k < members; k++)
        append_member(group, unit_name(k).c_str(), 1.0f + 0.25f * k, 0.5f * k);
    return group;
}

std::string quotation_page(int size, int* rows)
{
    std::string page = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<table><TR>\r\n";
    page += "<TD width=80>name</TD>\r\n";
    for (int k = 0; k < 10; k++)
        page += "<TD width=80>column</TD>\r\n";
    page += "</TR>\r\n";
    *rows = 0;
    for (;;) {
        char row[400];
        int n = *rows;
        std::snprintf(row, sizeof row,
                      "<TR>\r\n  <TD align=center>\r\n<a href=#>cur%d</a></TD>\r\n"
                      "<TD>%d.50</TD>\r\n<TD>%d.02</TD>\r\n<TD>1,%03d.22</TD>\r\n"
                      "<TD>%d.86</TD>\r\n<TD>&nbsp;</TD>\r\n</TR>\r\n",
                      n, 600 + n % 300, 590 + n % 300, n % 1000, 601 + n % 300);
        if (page.size() + std::strlen(row) + 10 > static_cast<size_t>(size))
            break;
        page += row;
        ++*rows;
    }
    page += "</table>\r\n";
    return page;
}

std::string crowded_quotation_page(int size, int* rows)
{
    std::string page = "<TD\n\n\n\n\n\n\n\n\n\n\n";
    *rows = 0;
    for (;;) {
        std::string row = "<TD\n" + std::to_string(*rows) + "\n1\n2\n3\n4\n5\n";
        if (page.size() + row.size() > static_cast<size_t>(size))
            break;
        page += row;
        ++*rows;
    }
    return page;
}
