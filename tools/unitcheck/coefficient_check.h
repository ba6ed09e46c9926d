#pragma once
// Every coefficient of a units text against GNU units: a member's a and b
// must be the floats nearest to what its definition gives in its group's
// base. For a unit like tempF, which is not a multiple of the base, b is
// its value at base 0 and a the step from there to base 1.
#include "tools/dvtool/units_text.h"

#include <string>
#include <vector>

// For the database that read_units_text made of the text, with the
// definitions it read. Every fault, a missing definition included, adds a
// line "file:line: ..." (names in GBK) to report. Returns false, with error
// set, only when units could not be run.
bool check_coefficients(const std::vector<UnitDefinition>& definitions, const char* file_name, std::string& report,
                        std::string& error);
