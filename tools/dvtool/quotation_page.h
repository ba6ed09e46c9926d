#pragma once
// The quotation page that a host serves to the program's Update page, made
// from the European Central Bank's euro reference rates and, optionally, a
// table of the host's own prices (price_table.h). Pure: bytes in, bytes out;
// the XML is read elsewhere (reference_rates_xml.cpp).
#include "update/calendar_date.h"

#include <string>
#include <vector>

// One day of the bank's file: units of each currency per euro.
struct ReferenceRate {
    std::string code;  // ISO 4217, three capital letters
    double rate;
};
struct ReferenceRates {
    std::string date;  // the day the rates are for, as the file writes it
    std::vector<ReferenceRate> rates;
};

// One row of the page: the currency's Chinese name (GBK; empty while it has
// none) and prices of 100 units in yuan, in the order of the program's five
// tables; an empty text is a price nobody published.
const int price_columns = 5;
const int middle_column = 3;  // 中间价
// Seven characters; a member name holds 15 bytes, and a 15th could only be
// half of an eighth.
const size_t longest_currency_name = 14;
struct QuotationRow {
    std::string code;
    std::string name;
    std::string prices[price_columns];
};

// Whether a text is an ISO 4217 code: three capital letters.
bool is_currency_code(const std::string& text);
// Whether a text is a date written YYYY-MM-DD that the calendar has.
bool read_date(const std::string& text, CalendarDate& date);
// Whether the first date comes after the second.
bool after(const CalendarDate& date, const CalendarDate& other);

// The rows for the bank's rates: the euro first, then the file's order,
// without the yuan, which is the base; each named from currency_names.h, or
// unnamed. Returns an empty text, or what is wrong (no yuan, a date that is
// missing, malformed or after today).
std::string reference_rows(const ReferenceRates& rates, const CalendarDate& today, std::vector<QuotationRow>& rows);

// The whole page in GBK, one table cell a line, as the scan reads it. Every
// row has its name.
std::string quotation_page(const std::string& date, const std::vector<QuotationRow>& rows, bool own_prices);

// The date of the rates a page of quotation_page holds, as it wrote it, or
// an empty text for bytes that hold none.
std::string page_date(const std::string& page);

// A price of 100 units in yuan, rounded once to six significant digits,
// written without an exponent.
std::string price_text(double price);
