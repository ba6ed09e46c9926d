#pragma once
// What a new quotation page changes against the page it replaces, as users'
// downloads see it: the middle rates (中间价) of both pages, read by the
// program's own scanner, currency by currency under the names the downloads
// store them by.
#include <string>
#include <vector>

// A currency of a page's middle rates: its name as the scan stores it
// (GBK) and its price of 100 units in yuan, 0 where the page gives none.
struct MiddleRate {
    std::string name;
    double price;
};

std::vector<MiddleRate> middle_rates(const std::string& page);

// No market moves a currency this far in a day; a file that does has lost
// a digit or a decimal point, or the currency has been re-based.
const double largest_move = 0.10;

// A currency with a middle rate on the old page that the new page leaves
// without one (new_price 0), or moves by more than largest_move of it.
struct RateChange {
    std::string name;
    double old_price;
    double new_price;
};

std::vector<RateChange> rate_changes(const std::vector<MiddleRate>& old_rates,
                                     const std::vector<MiddleRate>& new_rates);
