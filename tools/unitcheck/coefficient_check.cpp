#include "tools/unitcheck/coefficient_check.h"

#include "database/unit_database.h"
#include "tools/unitcheck/group_definitions.h"
#include "tools/unitcheck/reference_number.h"
#include "tools/unitcheck/units_program.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// One line of the report to come, in the order of the text: a fault known
// at once, or a member whose answers are awaited.
struct MemberCheck {
    std::string fault;
    const UnitMember* member;
    const UnitDefinition* definition;
    size_t first_query;  // its value at base 0, then at base 1
};

// The shortest decimal that reads back as the float, as one would write it
// into the text.
std::string float_text(float value)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string long_text(long double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15Lg", value);
    return text;
}

void check_one(const std::string& where, const char* which, float stored, long double center, long double radius,
               std::string& report)
{
    FloatRange nearest = nearest_floats(center, radius);
    if (in_range(stored, nearest))
        return;
    report += where + ": " + which + " is " + float_text(stored) + ", but the float nearest to " + long_text(center) +
              " is " + float_text(nearest.low) +
              (nearest.high != nearest.low ? " or " + float_text(nearest.high) : "") + "\n";
}

}  // namespace

bool check_coefficients(const std::vector<UnitDefinition>& definitions, const char* file_name, std::string& report,
                        std::string& error)
{
    std::vector<GroupDefinitions> by_group = definitions_by_group(definitions);
    std::vector<MemberCheck> checks;
    std::vector<UnitsQuery> queries;
    size_t position = 0;
    for (const UnitGroup* group = unit_database.next; group; group = group->next, ++position) {
        const GroupDefinitions& known = by_group[position];
        std::string where = std::string(file_name) + ": [" + shown_name(group->name) + "]";
        if (!known.base) {
            checks.push_back(MemberCheck{where + ": the group line gives no base (= definition)", nullptr, nullptr, 0});
            continue;
        }
        size_t index = 0;
        for (const UnitMember* member = group->header.next; member; member = member->next, ++index) {
            const UnitDefinition* definition = known.members[index];
            if (!definition) {
                checks.push_back(
                    MemberCheck{where + " " + shown_name(member->name) + ": no definition", nullptr, nullptr, 0});
                continue;
            }
            checks.push_back(MemberCheck{"", member, definition, queries.size()});
            queries.push_back(UnitsQuery{quantity_in(known.base->text, "0"), definition->text});
            queries.push_back(UnitsQuery{quantity_in(known.base->text, "1"), definition->text});
        }
    }
    std::vector<UnitsAnswer> answers;
    if (!ask_units(queries, answers, error))
        return false;
    for (const MemberCheck& check : checks) {
        if (!check.definition) {
            report += check.fault + "\n";
            continue;
        }
        std::string where = std::string(file_name) + ":" + std::to_string(check.definition->line) + ": " +
                            shown_name(check.member->name);
        const UnitsAnswer& at_zero = answers[check.first_query];
        const UnitsAnswer& at_one = answers[check.first_query + 1];
        if (!at_zero.ok || !at_one.ok) {
            report += where + ": " + (at_zero.ok ? at_one.text : at_zero.text) + "\n";
            continue;
        }
        long double b = reference_value(at_zero.text);
        long double one = reference_value(at_one.text);
        long double b_error = reference_tolerance * std::fabs(b);
        check_one(where, "a", check.member->a, one - b, reference_tolerance * std::fabs(one) + b_error, report);
        check_one(where, "b", check.member->b, b, b_error, report);
    }
    return true;
}
