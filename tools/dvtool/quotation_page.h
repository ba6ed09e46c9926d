#pragma once
// The quotation page that a host serves to the program's Update page, made
// from the European Central Bank's euro reference rates and, optionally, a
// table of the host's own prices. Pure: bytes in, bytes out; the XML is read
// elsewhere (reference_rates_xml.cpp).
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

// One row of the page: prices of 100 units in yuan, in the order of the
// program's five tables; an empty text is a price nobody published.
const int price_columns = 5;
const int middle_column = 3;  // 中间价
struct QuotationRow {
    std::string code;
    std::string prices[price_columns];
};

// The rows for the bank's rates: the euro first, then the file's order,
// without the yuan, which is the base. Returns an empty text, or what is
// wrong (no yuan, a date that is missing, malformed or after today).
std::string reference_rows(const ReferenceRates& rates, const CalendarDate& today, std::vector<QuotationRow>& rows);

// Adds the host's own table (one line a currency: code and five prices,
// cells may be empty) to the rows. Returns an empty text, or what is wrong,
// with the line number.
std::string add_table_prices(const std::string& table, std::vector<QuotationRow>& rows);

// The whole page in GBK, one table cell a line, as the scan reads it.
std::string quotation_page(const std::string& date, const std::vector<QuotationRow>& rows, bool own_prices);

// A price of 100 units in yuan, rounded once to six significant digits,
// written without an exponent.
std::string price_text(double price);
