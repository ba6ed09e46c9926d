#include "tools/dvtool/quotation_page.h"

#include "tools/dvtool/currency_names.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const int significant_digits = 6;
// Outside these bounds a price would need more than a short line of its
// own, or round to nothing; no real currency comes near them.
const double smallest_price = 1e-6;
const double largest_price = 1e12;

bool is_code(const std::string& text)
{
    if (text.size() != 3)
        return false;
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

int days_in_month(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A date written YYYY-MM-DD that the calendar has.
bool read_date(const std::string& text, CalendarDate& date)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    int year = std::atoi(text.c_str());
    int month = std::atoi(text.c_str() + 5);
    int day = std::atoi(text.c_str() + 8);
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month))
        return false;
    date = {uint16_t(year), uint16_t(month), uint16_t(day)};
    return true;
}

bool after(const CalendarDate& date, const CalendarDate& today)
{
    if (date.year != today.year)
        return date.year > today.year;
    if (date.month != today.month)
        return date.month > today.month;
    return date.day > today.day;
}

std::string date_text(const CalendarDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.year, date.month, date.day);
    return text;
}

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
        else if (c != ' ' && c != '\t')
            cells.back() += c;
    }
    return cells;
}

std::string table_line(const std::string& line, std::vector<QuotationRow>& rows, std::vector<std::string>& seen)
{
    std::vector<std::string> cells = split_cells(line);
    if (cells.size() != 1 + price_columns)
        return "wants a currency code and five prices, separated by commas";
    const std::string& code = cells[0];
    if (!is_code(code))
        return "\"" + code + "\" is not a currency code of three capital letters";
    if (code == "CNY")
        return "CNY is the base of every table and has no row";
    for (const std::string& other : seen)
        if (other == code)
            return code + " appears twice";
    seen.push_back(code);
    QuotationRow* row = find_row(rows, code);
    if (row == nullptr) {
        rows.push_back(QuotationRow{code, {}});
        row = &rows.back();
    }
    for (int column = 0; column < price_columns; ++column) {
        const std::string& cell = cells[1 + column];
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

// The name line of a row: the Chinese name, then the code for readers of
// the page; the scan keeps only the first word.
std::string name_cell(const std::string& code)
{
    const char* name = currency_name(code.c_str());
    return name ? std::string(name) + " " + code : code;
}

}  // namespace

std::string price_text(double price)
{
    int magnitude = int(std::floor(std::log10(price)));
    int decimals = significant_digits - 1 - magnitude;
    if (decimals < 0)
        decimals = 0;
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, price, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string reference_rows(const ReferenceRates& rates, const CalendarDate& today, std::vector<QuotationRow>& rows)
{
    rows.clear();
    CalendarDate date;
    if (rates.date.empty())
        return "no date";
    if (!read_date(rates.date, date))
        return "\"" + rates.date + "\" is not a date";
    if (after(date, today))
        return "dated " + rates.date + ", after today (" + date_text(today) + ", UTC)";
    double yuan = 0;
    for (const ReferenceRate& rate : rates.rates)
        if (rate.code == "CNY")
            yuan = rate.rate;
    if (yuan == 0)
        return "no rate for CNY, the yuan, which every price is in";
    rows.push_back(QuotationRow{"EUR", {}});
    rows.back().prices[middle_column] = price_text(100 * yuan);
    for (size_t i = 0; i < rates.rates.size(); ++i) {
        const ReferenceRate& rate = rates.rates[i];
        if (!is_code(rate.code))
            return "\"" + rate.code + "\" is not a currency code of three capital letters";
        if (rate.code == "EUR")
            return "a rate for EUR, which every rate is against";
        for (size_t k = 0; k < i; ++k)
            if (rates.rates[k].code == rate.code)
                return rate.code + " appears twice";
        if (rate.code == "CNY")
            continue;
        double price = 100 * yuan / rate.rate;
        if (!(price >= smallest_price && price <= largest_price))
            return rate.code + ": a rate of " + std::to_string(rate.rate) + " gives no price that the page can carry";
        rows.push_back(QuotationRow{rate.code, {}});
        rows.back().prices[middle_column] = price_text(price);
    }
    return "";
}

std::string add_table_prices(const std::string& table, std::vector<QuotationRow>& rows)
{
    std::vector<std::string> seen;
    size_t start = 0;
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

std::string quotation_page(const std::string& date, const std::vector<QuotationRow>& rows, bool own_prices)
{
    // The program counts lines: the first line that begins with <TD and the
    // ten after it are the header, then every row is seven lines, one cell
    // a line, and no other line begins with <TD.
    std::string page = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
                       "<html>\n<head>\n"
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n"
                       "<title>外汇牌价</title>\n"
                       "</head>\n<body>\n"
                       "<h1>外汇牌价</h1>\n"
                       "<p>中间价：欧洲中央银行参考汇率，仅供参考。数据日期：" +
                       date + "。</p>\n";
    if (own_prices)
        page += "<p>现汇买入价、现钞买入价、卖出价、基准价由本站提供。</p>\n";
    page += "<table border=1>\n"
            "<TR>\n"
            "<TD>货币名称</TD>\n"
            "<TD>现汇买入价</TD>\n"
            "<TD>现钞买入价</TD>\n"
            "<TD>卖出价</TD>\n"
            "<TD>中间价</TD>\n"
            "<TD>基准价</TD>\n"
            "</TR>\n"
            "<TR>\n"
            "<TH colspan=6>单位：人民币/100外币</TH>\n"
            "</TR>\n"
            "<!-- 以下每种货币占 7 行：开行单元格、名称、五个牌价 -->\n";
    for (const QuotationRow& row : rows) {
        page += "<TR>\n  <TD align=center>\n    " + name_cell(row.code) + "</TD>\n";
        for (const std::string& price : row.prices)
            page += "  <TD align=right>" + (price.empty() ? std::string("&nbsp;") : price) + "</TD>\n";
        page += "</TR>\n";
    }
    page += "</table>\n</body>\n</html>\n";
    return page;
}
