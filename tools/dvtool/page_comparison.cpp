#include "tools/dvtool/page_comparison.h"

#include "database/unit_database.h"
#include "tools/dvtool/quotation_page.h"
#include "update/quotation_scan.h"

#include <cmath>

std::vector<MiddleRate> middle_rates(const std::string& page)
{
    // A group of our own, outside the database, as a download into a new
    // group would fill it.
    UnitGroup trial = {};
    scan_quotation(page.c_str(), &trial, middle_column);
    std::vector<MiddleRate> rates;
    char name[name_text_size];
    for (UnitMember* member = trial.header.next; member; member = member->next) {
        // The scan keeps a = 100 / price.
        double price = member->a != 0 ? 100.0 / member->a : 0;
        rates.push_back(MiddleRate{name_text(member->name, name), price > 0 ? price : 0});
    }
    while (trial.header.next)
        remove_member(&trial, trial.header.next);
    return rates;
}

std::vector<RateChange> rate_changes(const std::vector<MiddleRate>& old_rates, const std::vector<MiddleRate>& new_rates)
{
    std::vector<RateChange> changes;
    for (const MiddleRate& old_rate : old_rates) {
        if (old_rate.price == 0)
            continue;
        double new_price = 0;
        for (const MiddleRate& new_rate : new_rates)
            if (new_rate.name == old_rate.name)
                new_price = new_rate.price;
        if (new_price == 0 || std::fabs(new_price - old_rate.price) > largest_move * old_rate.price)
            changes.push_back(RateChange{old_rate.name, old_rate.price, new_price});
    }
    return changes;
}
