#pragma once
// The definitions of a units text arranged by the groups of the database it
// was read into.
#include "tools/dvtool/units_text.h"

#include <string>
#include <vector>

struct GroupDefinitions {
    const UnitDefinition* base;                  // null when the group line gives none
    std::vector<const UnitDefinition*> members;  // one per member, null where none is given
};

// One entry per group of the database, in chain order.
std::vector<GroupDefinitions> definitions_by_group(const std::vector<UnitDefinition>& definitions);

// A group's or member's name as the text shows it, for messages (GBK).
std::string shown_name(const char* field);
