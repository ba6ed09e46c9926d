#pragma once
#include "convert/field_count.h"
#include "database/unit_database.h"

// Holds the fixed "%.3lf" form of any finite double (309 integer digits,
// sign, point, three decimals), so no result is ever cut.
const int result_size = 320;

struct FieldUpdate {
    int index;
    char text[result_size];
};

// Converts x from the source unit into the target unit. Returns false (no
// result) when either coefficient a is zero or not a number.
bool convert_value(double x, const UnitMember& source, const UnitMember& target, double* y);

// The result text: "%.3lf" with the 17-digit half-away-from-zero rule,
// trailing zeros trimmed; "null" for an infinite or not-a-number y.
void format_result(double y, char* out /* result_size */);

void trim_trailing_zeros(char* text, int capacity);

// The texts of the fields to rewrite after the source field changed, in
// increasing field index. Returns their number (at most field_count - 1).
int convert_from_field(UnitGroup* group, int source_index, const char* source_text,
                       FieldUpdate* updates /* field_count - 1 */);
