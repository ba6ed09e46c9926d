#include "tools/dvtool/scan_report.h"

#include "convert/number_text.h"
#include "database/unit_database.h"
#include "tools/dvtool/name_form.h"
#include "tools/dvtool/page_encoding.h"
#include "update/download_log.h"
#include "update/quotation_scan.h"
#include "update/rate_download.h"

namespace {

std::string general(double value)
{
    char text[general_text_size];
    format_general(value, text);
    return text;
}

// The scan writes into a group; a group of our own, outside the database,
// shows what the download would write into a new one.
std::string describe_table(const std::string& page, int column, bool& rated)
{
    UnitGroup trial = {};
    int rows = scan_quotation(page.c_str(), &trial, column);
    rated = rows > 0;
    std::string report = std::string("[") + quotation_tables[column].group_name + "] ";
    if (!rated) {
        report += "no row holds a rate: the download says 下载失败：网页中没有汇率表！ and changes nothing\n";
    } else {
        report += std::to_string(rows) + " of " + std::to_string(member_count(&trial)) +
                  " currencies with a rate (price of 100 in yuan, then a)\n";
        char name[name_text_size];
        for (UnitMember* member = trial.header.next; member; member = member->next) {
            // The scan keeps a = 100 / price, so the price it read is 100 / a.
            std::string price = member->a != 0 ? general(100.0 / member->a) : "no price";
            // A page in another encoding leaves bytes in names that no
            // character stands for: they show as \xHH, as dump shows them.
            std::string shown = name_text(member->name, name);
            if (!is_plain_gbk(shown))
                shown = escape_name(shown, false);
            report += "  " + shown + "  " + price + "  " + general(member->a) + "\n";
        }
    }
    while (trial.header.next)
        remove_member(&trial, trial.header.next);
    return report;
}

}  // namespace

std::string describe_scan(const std::string& page, int& rated_tables, bool& gbk)
{
    rated_tables = 0;
    gbk = true;
    // The reply holds the server's header lines too.
    if (page.size() + 1024 > size_t(reply_limit))
        return "too large: with a server's header lines the reply passes " + std::to_string(reply_limit) +
               " bytes, and the download takes none of it\n";
    std::string report = encoding_problem(page);
    gbk = report.empty();
    for (int column = 0; column < quotation_table_count; ++column) {
        bool rated = false;
        report += describe_table(page, column, rated);
        if (rated)
            ++rated_tables;
    }
    return report;
}
