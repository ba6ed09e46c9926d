#include "tools/unitcheck/accuracy.h"

#include "convert/conversion.h"
#include "database/unit_database.h"
#include "tools/unitcheck/group_definitions.h"
#include "tools/unitcheck/reference_number.h"
#include "tools/unitcheck/units_program.h"

const std::vector<std::string> default_typed_values = {"1", "7", "100", "2.5", "12345", "99999", "0.001"};

namespace {

int fields_of(const UnitGroup* group)
{
    int members = member_count(group);
    return members < field_count ? members : field_count;
}

}  // namespace

bool measure_accuracy(const std::vector<UnitDefinition>& definitions, const std::vector<std::string>& typed_values,
                      std::vector<GroupAccuracy>& groups, std::string* mismatches, std::string& error)
{
    std::vector<GroupDefinitions> by_group = definitions_by_group(definitions);
    // One query per shown result, in the order they are compared below.
    std::vector<UnitsQuery> queries;
    size_t position = 0;
    for (UnitGroup* group = unit_database.next; group; group = group->next, ++position) {
        const std::vector<const UnitDefinition*>& known = by_group[position].members;
        int fields = fields_of(group);
        for (int i = 0; i < fields; ++i)
            if (!known[size_t(i)]) {
                error = "[" + shown_name(group->name) + "] " + shown_name(member_at(group, i)->name) +
                        ": no definition to compute the exact results from";
                return false;
            }
        for (int source = 0; source < fields; ++source)
            for (const std::string& typed : typed_values)
                for (int target = 0; target < fields; ++target)
                    if (target != source)
                        queries.push_back(
                            UnitsQuery{quantity_in(known[size_t(source)]->text, typed), known[size_t(target)]->text});
    }
    std::vector<UnitsAnswer> answers;
    if (!ask_units(queries, answers, error))
        return false;

    groups.clear();
    size_t next_answer = 0;
    for (UnitGroup* group = unit_database.next; group; group = group->next) {
        int fields = fields_of(group);
        GroupAccuracy accuracy = {shown_name(group->name), fields, 0, 0};
        for (int source = 0; source < fields; ++source)
            for (const std::string& typed : typed_values) {
                FieldUpdate updates[field_count - 1];
                int count = convert_from_field(group, source, typed.c_str(), updates);
                for (int k = 0; k < count; ++k) {
                    const UnitsAnswer& answer = answers[next_answer++];
                    if (!answer.ok) {
                        error = answer.text;
                        return false;
                    }
                    ++accuracy.texts;
                    if (shows_exactly(updates[k].text, answer.text)) {
                        ++accuracy.exact;
                    } else if (mismatches) {
                        *mismatches += "[" + accuracy.name + "] " + typed + " " +
                                       shown_name(member_at(group, source)->name) + " -> " +
                                       shown_name(member_at(group, updates[k].index)->name) + ": shows " +
                                       updates[k].text + ", exact " + exact_result_text(answer.text) +
                                       " (units: " + answer.text + ")\n";
                    }
                }
            }
        groups.push_back(accuracy);
    }
    return true;
}
