#include "tools/dvtool/price_table.h"

#include "tools/dvtool/blank_text.h"
#include "tools/dvtool/currency_names.h"
#include "tools/dvtool/text_encoding.h"

#include <charconv>

namespace {

QuotationRow* find_row(std::vector<QuotationRow>& rows, const std::string& code)
{
    for (QuotationRow& row : rows)
        if (row.code == code)
            return &row;
    return nullptr;
}

// A price as the host's table may give it: digits with at most one point,
// above zero. The page carries the text as it is, so nothing else may pass
// ("inf" is a number to from_chars, and no rate to the program's scan).
bool is_price(const std::string& text)
{
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value > 0;
}

std::vector<std::string> split_cells(const std::string& line)
{
    std::vector<std::string> cells(1);
    for (char c : line) {
        if (c == ',')
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

// A code or a price: blanks anywhere are only spacing.
std::string without_blanks(const std::string& cell)
{
    std::string text;
    for (char c : cell)
        if (!is_blank(c))
            text += c;
    return text;
}

// A name that the table gives, in GBK as the page carries it. The scan
// reads a name line up to its first blank, drops markup, commas and carriage
// returns and swallows & with four bytes after it: a name holding any of
// them would reach users as another name.
std::string given_name(const std::string& cell, std::string& name)
{
    if (!utf8_to_gbk(cell, name))
        return "the name \"" + cell + "\" is not UTF-8 text that GBK can hold";
    if (name.size() > longest_currency_name)
        return "the name \"" + cell + "\" is " + std::to_string(name.size()) + " bytes in GBK; at most " +
               std::to_string(longest_currency_name) + " (seven Chinese characters)";
    for (char c : name) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '<' || c == '>' || c == '&')
            return "the name \"" + cell + "\" is not one word: no blanks, control characters, <, > or &";
    }
    if (name == currency_name("CNY"))
        return "the name \"" + cell + "\" is the yuan's, the base of every table";
    return "";
}

// The Chinese name of a row: its own from the table of names, or the one the
// line gives; no other row of the page may have it.
std::string name_row(QuotationRow& row, const std::string& cell, const std::vector<QuotationRow>& rows)
{
    const char* known = currency_name(row.code.c_str());
    std::string name = known ? known : row.name;
    if (!cell.empty()) {
        std::string given;
        std::string error = given_name(cell, given);
        if (!error.empty())
            return row.code + ": " + error;
        if (known && given != known)
            return row.code + " is " + utf8_for_message(known) +
                   " on every page; a second name would reach users as a second currency: leave the seventh "
                   "cell empty";
        const char* owner = currency_code_named(given.c_str());
        if (owner && row.code != owner)
            return row.code + ": the name \"" + cell + "\" is " + owner + "'s";
        name = given;
    }
    if (name.empty())
        return row.code + " has no Chinese name in dvtool's table; give it one in a seventh cell (" + row.code +
               ",,,,,,NAME)";
    for (const QuotationRow& other : rows)
        if (&other != &row && other.name == name)
            return row.code + ": the name " + utf8_for_message(name) + " is " + other.code + "'s";
    row.name = name;
    return "";
}

std::string table_line(const std::string& line, std::vector<QuotationRow>& rows, std::vector<std::string>& seen)
{
    std::vector<std::string> cells = split_cells(line);
    if (cells.size() != 1 + price_columns && cells.size() != 2 + price_columns)
        return "wants a currency code, five prices and, optionally, a name, separated by commas";
    std::string code = without_blanks(cells[0]);
    if (!is_currency_code(code))
        return "\"" + code + "\" is not a currency code of three capital letters";
    if (code == "CNY")
        return "CNY is the base of every table and has no row";
    for (const std::string& other : seen)
        if (other == code)
            return code + " appears twice";
    seen.push_back(code);
    QuotationRow* row = find_row(rows, code);
    if (row == nullptr) {
        rows.push_back(QuotationRow{code, "", {}});
        row = &rows.back();
    }
    std::string error = name_row(*row, cells.size() > 1 + price_columns ? trimmed(cells.back()) : "", rows);
    if (!error.empty())
        return error;
    for (int column = 0; column < price_columns; ++column) {
        std::string cell = without_blanks(cells[1 + column]);
        if (cell.empty())
            continue;
        if (!is_price(cell))
            return code + ": \"" + cell + "\" is not a price above zero";
        if (!row->prices[column].empty())
            return code + ": its middle rate comes from the reference rates; leave that cell empty";
        row->prices[column] = cell;
    }
    return "";
}

}  // namespace

std::string add_table_prices(const std::string& table, std::vector<QuotationRow>& rows)
{
    std::vector<std::string> seen;
    // A table saved by Windows' Notepad starts with a byte-order mark.
    size_t start = table.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start < table.size(); ++number) {
        size_t end = table.find('\n', start);
        if (end == std::string::npos)
            end = table.size();
        std::string line = table.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        std::string error = table_line(line, rows, seen);
        if (!error.empty())
            return "line " + std::to_string(number) + ": " + error;
    }
    return "";
}
