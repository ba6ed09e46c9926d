// The native build reads the reference rates with pugixml.
#include "tools/dvtool/page_command.h"

#include "platform/replace_file.h"
#include "tools/dvtool/quotation_page.h"
#include "tools/dvtool/reference_rates_xml.h"
#include "tools/whole_file.h"

#include <ctime>

namespace {

// Rates are published for a day in Frankfurt; a file dated after today's
// date in UTC, which is never behind Frankfurt's by the time a day's rates
// come out, is not a real one.
CalendarDate today_utc()
{
    std::time_t now = std::time(nullptr);
    std::tm parts = {};
    gmtime_r(&now, &parts);
    return {uint16_t(parts.tm_year + 1900), uint16_t(parts.tm_mon + 1), uint16_t(parts.tm_mday)};
}

int refuse(std::string& err, const std::string& file, const std::string& what)
{
    err += "dvtool: " + file + ": " + what + "\n";
    return 1;
}

// A web server may send the page while it is being written: it sees the old
// page or the new one, never half of one.
bool write_page(const std::string& file, const std::string& page)
{
    FileReplacement replacement;
    if (!begin_replacement(replacement, file.c_str()))
        return false;
    write_bytes(replacement, page.data(), page.size());
    return finish_replacement(replacement);
}

}  // namespace

int page_command(const std::vector<std::string>& words, std::string& out, std::string& err)
{
    const std::string& xml_file = words[1];
    const std::string& page_file = words[2];
    std::string xml;
    if (!read_whole_file(xml_file.c_str(), xml))
        return refuse(err, xml_file, "cannot be read");
    ReferenceRates rates;
    std::string error = read_reference_rates(xml, rates);
    std::vector<QuotationRow> rows;
    if (error.empty())
        error = reference_rows(rates, today_utc(), rows);
    if (!error.empty())
        return refuse(err, xml_file, error + "; " + page_file + " not written");
    bool own_prices = words.size() > 3;
    if (own_prices) {
        const std::string& table_file = words[3];
        std::string table;
        if (!read_whole_file(table_file.c_str(), table))
            return refuse(err, table_file, "cannot be read; " + page_file + " not written");
        error = add_table_prices(table, rows);
        if (!error.empty())
            return refuse(err, table_file, error + "; " + page_file + " not written");
    }
    if (!write_page(page_file, quotation_page(rates.date, rows, own_prices)))
        return refuse(err, page_file, "could not be written; an old page of that name is unchanged");
    out += page_file + ": written (" + std::to_string(rows.size()) + " currencies, rates of " + rates.date + ").\n";
    return 0;
}
