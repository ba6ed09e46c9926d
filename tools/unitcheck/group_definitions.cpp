#include "tools/unitcheck/group_definitions.h"

#include "database/unit_database.h"

std::vector<GroupDefinitions> definitions_by_group(const std::vector<UnitDefinition>& definitions)
{
    std::vector<GroupDefinitions> groups;
    for (const UnitGroup* group = unit_database.next; group; group = group->next)
        groups.push_back(
            GroupDefinitions{nullptr, std::vector<const UnitDefinition*>(size_t(member_count(group)), nullptr)});
    for (const UnitDefinition& definition : definitions) {
        GroupDefinitions& group = groups.at(size_t(definition.group));
        if (definition.member < 0)
            group.base = &definition;
        else
            group.members.at(size_t(definition.member)) = &definition;
    }
    return groups;
}

std::string shown_name(const char* field)
{
    char text[name_text_size];
    return name_text(field, text);
}
