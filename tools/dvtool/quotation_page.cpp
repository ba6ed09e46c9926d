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

}  // namespace

bool is_currency_code(const std::string& text)
{
    if (text.size() != 3)
        return false;
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

namespace {

int days_in_month(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string date_text(const CalendarDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.year, date.month, date.day);
    return text;
}

// The page's words before the date of its rates.
const char date_label[] = "数据日期：";

}  // namespace

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

bool after(const CalendarDate& date, const CalendarDate& other)
{
    if (date.year != other.year)
        return date.year > other.year;
    if (date.month != other.month)
        return date.month > other.month;
    return date.day > other.day;
}

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
    rows.push_back(QuotationRow{"EUR", currency_name("EUR"), {}});
    rows.back().prices[middle_column] = price_text(100 * yuan);
    for (size_t i = 0; i < rates.rates.size(); ++i) {
        const ReferenceRate& rate = rates.rates[i];
        if (!is_currency_code(rate.code))
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
        const char* name = currency_name(rate.code.c_str());
        rows.push_back(QuotationRow{rate.code, name ? name : "", {}});
        rows.back().prices[middle_column] = price_text(price);
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
                       "<p>中间价：欧洲中央银行参考汇率，仅供参考。" +
                       std::string(date_label) + date + "。</p>\n";
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
        // The name, then the code for readers of the page; the scan keeps
        // only the first word.
        page += "<TR>\n  <TD align=center>\n    " + row.name + " " + row.code + "</TD>\n";
        for (const std::string& price : row.prices)
            page += "  <TD align=right>" + (price.empty() ? std::string("&nbsp;") : price) + "</TD>\n";
        page += "</TR>\n";
    }
    page += "</table>\n</body>\n</html>\n";
    return page;
}

std::string page_date(const std::string& page)
{
    size_t at = page.find(date_label);
    if (at == std::string::npos)
        return "";
    std::string date = page.substr(at + sizeof date_label - 1, 10);
    CalendarDate parts;
    return read_date(date, parts) ? date : "";
}
