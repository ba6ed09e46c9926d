#pragma once
// How close the Convert page's results come to exact ones. For every
// ordered pair of members within a group and each of a few typed values,
// the text the program shows is compared with the exact value (from GNU
// units and the members' definitions) written in the same "%.3lf" form.
#include "tools/dvtool/units_text.h"

#include <string>
#include <vector>

// The values typed by default: small and large, whole and not.
extern const std::vector<std::string> default_typed_values;

struct GroupAccuracy {
    std::string name;  // GBK
    int members;       // those with a conversion field (the first 24)
    int texts;         // results shown
    int exact;         // of those, the ones equal to the exact result's text
};

// For the database that read_units_text made of the text, with its
// definitions; every member must have one. Each typed value is a text as
// the user would type it into a field. mismatches, when given, gets a
// line for each result that differs (GBK). Returns false, with error set,
// when a definition is missing or units could not be run or answer.
bool measure_accuracy(const std::vector<UnitDefinition>& definitions, const std::vector<std::string>& typed_values,
                      std::vector<GroupAccuracy>& groups, std::string* mismatches, std::string& error);
