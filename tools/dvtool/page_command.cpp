// The native build reads the reference rates with pugixml.
#include "tools/dvtool/page_command.h"

#include "convert/number_text.h"
#include "platform/replace_file.h"
#include "tools/dvtool/page_comparison.h"
#include "tools/dvtool/price_table.h"
#include "tools/dvtool/quotation_page.h"
#include "tools/dvtool/reference_rates_xml.h"
#include "tools/dvtool/text_encoding.h"
#include "tools/whole_file.h"

#include <cstdio>
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

// Returns an empty text, or why the input cannot be taken.
std::string read_input(const std::string& file, std::string& bytes)
{
    switch (read_file_within(file.c_str(), largest_input, bytes)) {
    case BoundedRead::read: return "";
    case BoundedRead::too_large:
        return "larger than 1 MB (" + std::to_string(largest_input) + " bytes), which no table of rates needs";
    default: return "cannot be read";
    }
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

// Reads the rates and the host's table into rows. Returns an empty text, or
// the refusal, naming its file.
std::string read_rows(const std::vector<std::string>& words, ReferenceRates& rates, std::vector<QuotationRow>& rows,
                      std::string& notes)
{
    const std::string& xml_file = words[1];
    std::string xml;
    std::string error = read_input(xml_file, xml);
    if (error.empty())
        error = read_reference_rates(xml, rates);
    if (error.empty())
        error = reference_rows(rates, today_utc(), rows);
    if (!error.empty())
        return xml_file + ": " + error;
    if (words.size() > 3) {
        const std::string& table_file = words[3];
        std::string table;
        error = read_input(table_file, table);
        if (error.empty())
            error = add_table_prices(table, rows);
        if (!error.empty())
            return table_file + ": " + error;
    }
    // A currency the bank has only just begun to publish: under its code it
    // would reach users as a member to be renamed later, that is, a second
    // one. It waits for a name.
    for (size_t i = 0; i < rows.size();) {
        if (!rows[i].name.empty()) {
            ++i;
            continue;
        }
        notes += "dvtool: " + xml_file + ": " + rows[i].code + " has no Chinese name; left off the page until " +
                 "the price table names it (" + rows[i].code + ",,,,,,NAME)\n";
        rows.erase(rows.begin() + long(i));
    }
    return "";
}

std::string general(double value)
{
    char text[general_text_size];
    format_general(value, text);
    return text;
}

// The code a page writes after a currency's name, or an empty text.
std::string code_on_page(const std::string& page, const std::string& name)
{
    std::string before = "\n    " + name + " ";
    size_t at = page.find(before);
    if (at == std::string::npos)
        return "";
    std::string code = page.substr(at + before.size(), 3);
    for (char c : code)
        if (c < 'A' || c > 'Z')
            return "";
    return code;
}

// A currency as a deployer knows it: the name users store it by, in UTF-8
// for the journal, and its code, or both codes of a re-based currency.
std::string currency_shown(const std::string& name, const std::string& old_page, const std::string& new_page)
{
    std::string shown = utf8_for_message(name);
    std::string code = code_on_page(old_page, name);
    std::string new_code = code_on_page(new_page, name);
    if (!code.empty())
        shown += " " + code;
    if (!new_code.empty() && new_code != code)
        shown += " (" + new_code + " in the new one)";
    return shown;
}

std::string describe_change(const RateChange& change, const std::string& old_page, const std::string& new_page)
{
    std::string line =
        "  " + currency_shown(change.name, old_page, new_page) + ": " + general(change.old_price) + " on the page, ";
    if (change.new_price == 0)
        return line + "none in the new one\n";
    // A tenth of a percent near the limit; a re-basing needs no decimals.
    double percent = 100 * (change.new_price / change.old_price - 1);
    char move[32];
    std::snprintf(move, sizeof move, "%+.*f %%", percent < 100 && percent > -100 ? 1 : 0, percent);
    return line + general(change.new_price) + " in the new one (" + move + ")\n";
}

// What keeps the new page from replacing the old one unasked, naming the
// file it is about: an older day, or a currency left out or moved too far.
// Empty when nothing does.
std::string objections(const std::vector<std::string>& words, const std::string& old_page, const std::string& new_date,
                       const std::string& new_page)
{
    const std::string& xml_file = words[1];
    const std::string& page_file = words[2];
    std::string old_date = page_date(old_page);
    CalendarDate old_day;
    CalendarDate new_day;
    if (!read_date(old_date, old_day))
        return page_file + ": holds no date of rates; it is no page of dvtool page\n";
    if (!read_date(new_date, new_day))
        return "";
    if (after(old_day, new_day))
        return xml_file + ": its rates are of " + new_date + ", older than those of " + old_date + " on " + page_file +
               "\n";
    std::vector<RateChange> changes = rate_changes(middle_rates(old_page), middle_rates(new_page));
    if (changes.empty())
        return "";
    std::string text = xml_file + ": against the middle rates of " + old_date + " on " + page_file + ", those of " +
                       new_date + " leave out a currency or move one by more than 10 %:\n";
    for (const RateChange& change : changes)
        text += describe_change(change, old_page, new_page);
    return text;
}

}  // namespace

int page_command(const std::vector<std::string>& words, bool force, std::string& out, std::string& err)
{
    const std::string& page_file = words[2];
    ReferenceRates rates;
    std::vector<QuotationRow> rows;
    std::string notes;
    std::string error = read_rows(words, rates, rows, notes);
    if (!error.empty()) {
        err += "dvtool: " + error + "; " + page_file + " not written\n";
        return 1;
    }
    err += notes;
    std::string page = quotation_page(rates.date, rows, words.size() > 3);

    // The page being replaced is the record of what users have downloaded:
    // its date and its rates.
    std::string old_page;
    std::string objection;
    switch (read_file_within(page_file.c_str(), largest_input, old_page)) {
    case BoundedRead::missing: break;
    case BoundedRead::read:
        if (old_page == page) {
            // Nothing new, as on every day the bank publishes nothing: the
            // page keeps its bytes and its time.
            out += page_file + ": unchanged (rates of " + rates.date + ", as on the page).\n";
            return 0;
        }
        objection = objections(words, old_page, rates.date, page);
        break;
    case BoundedRead::too_large: objection = page_file + ": larger than 1 MB; it is no page of dvtool page\n"; break;
    case BoundedRead::unreadable: objection = page_file + ": cannot be read, to compare the rates with\n"; break;
    }
    if (!objection.empty() && !force) {
        err += "dvtool: " + objection + "dvtool: " + page_file +
               " not written; after a look, dvtool page --force takes the file\n";
        return 1;
    }
    if (!write_page(page_file, page))
        return refuse(err, page_file, "could not be written; an old page of that name is unchanged");
    if (!objection.empty())
        out += "taken with --force: " + objection;
    out += page_file + ": written (" + std::to_string(rows.size()) + " currencies, rates of " + rates.date + ").\n";
    return 0;
}
