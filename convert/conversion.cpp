#include "convert/conversion.h"
#include "convert/exact_decimal.h"
#include "convert/number_text.h"
#include <cmath>
#include <string.h>

static bool usable_coefficient(float a)
{
    return a == a && a != 0.0f;  // a NaN compares unequal to itself
}

bool convert_value(double x, const UnitMember& source, const UnitMember& target, double* y)
{
    if (!usable_coefficient(source.a) || !usable_coefficient(target.a))
        return false;
    // Back to the base first, then out into the target unit: dividing
    // before multiplying is the order the results have always shown.
    double t = x - (double)source.b;
    t = t / (double)source.a;
    t = t * (double)target.a;
    *y = t + (double)target.b;
    return true;
}

void format_result(double y, char* out)
{
    if (!std::isfinite(y)) {
        strcpy(out, "null");
        return;
    }
    // The magnitude is first taken to 17 significant digits and only then
    // rounded at the third decimal, both times half away from zero, so a double
    // just below ...5 whose 17 digits read ...5 still rounds up.
    DecimalDigits digits;
    exact_decimal(y, &digits);
    round_digits(&digits, 17, ties_away_from_zero);
    round_digits(&digits, digits.exponent + 1 + 3, ties_away_from_zero);

    char* end = out;
    if (std::signbit(y))
        *end++ = '-';  // also for a value that now reads 0.000
    if (digits.count == 0 || digits.exponent < 0) {
        *end++ = '0';
    } else {
        for (int place = digits.exponent; place >= 0; place--)
            *end++ = digit_at_place(&digits, place);
    }
    *end++ = '.';
    for (int place = -1; place >= -3; place--)
        *end++ = digits.count == 0 ? '0' : digit_at_place(&digits, place);
    *end = 0;
    trim_trailing_zeros(out, result_size);
}

void trim_trailing_zeros(char* text, int capacity)
{
    int length = 0;
    while (length < capacity && text[length] != 0)
        length++;
    // Without a terminator inside the buffer there is no text to trim, and
    // looking at the byte past its end would read outside it.
    if (length == capacity)
        return;
    int cut = length;
    bool seen = false;
    for (int p = length; p >= 0; p--) {
        char c = text[p];
        if (c == '0' && !seen)
            cut = p;
        if (c != '0' && c != 0)
            seen = true;
        if (c == '.') {
            if (p == cut - 1)
                cut = p;
            text[cut] = 0;
            return;
        }
    }
}

int convert_from_field(UnitGroup* group, int source_index, const char* source_text,
                       FieldUpdate* updates)
{
    // Only the fields of existing members can be typed into; anything else
    // is no conversion at all rather than a walk through a missing member.
    if (group == 0 || source_text == 0 || source_index < 0 || source_index >= field_count)
        return 0;
    const UnitMember* source = member_at(group, source_index);
    if (source == 0)
        return 0;

    double x = read_decimal(source_text);
    int count = 0;
    for (int j = 0; j < field_count; j++) {
        if (j == source_index)
            continue;
        FieldUpdate* update = &updates[count];
        if (source_text[0] == 0) {
            update->index = j;
            update->text[0] = 0;
            count++;
            continue;
        }
        const UnitMember* target = member_at(group, j);
        if (target == 0)
            break;
        update->index = j;
        double y;
        if (convert_value(x, *source, *target, &y))
            format_result(y, update->text);
        else
            strcpy(update->text, "null");
        count++;
    }
    return count;
}
