#pragma once
// GNU units, the independent reference for the default database. It always
// runs with the same options and environment (C locale, US definitions, the
// system's units file and no personal one, 15 significant digits), so its
// answers do not depend on who runs it.
#include <string>
#include <vector>

struct UnitsQuery {
    std::string have;
    std::string want;
};

struct UnitsAnswer {
    bool ok;
    std::string text;  // the number as units prints it, or what units said
};

// "value in the unit of this definition" as units reads it: tempF(7) for a
// plain name, which may be a function such as tempF as well as a unit, and
// 7 (lbf ft) for anything else.
std::string quantity_in(const std::string& definition, const std::string& value);

// Asks every query in one run of units. A query that units cannot answer
// gets ok false and units' own message. Returns false, with error set, only
// when units could not be run at all.
bool ask_units(const std::vector<UnitsQuery>& queries, std::vector<UnitsAnswer>& answers, std::string& error);
