#pragma once
// The host's own price table, which fills the page's other four columns and
// names the currencies that dvtool's table of names lacks.
#include "tools/dvtool/quotation_page.h"

#include <string>
#include <vector>

// Adds the host's own table to the rows: UTF-8 text, one line a currency,
// its code, five prices (cells may be empty) and, for a code without a name
// of its own, a seventh cell with its Chinese name. Returns an empty text,
// or what is wrong, with the line number.
std::string add_table_prices(const std::string& table, std::vector<QuotationRow>& rows);
