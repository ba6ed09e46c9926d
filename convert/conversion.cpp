#include "convert/conversion.h"
#include "convert/number_text.h"
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool usable_coefficient(float a)
{
    return a == a && a != 0.0f;  // a NaN compares unequal to itself
}

}  // namespace

bool convert_value(double x, const UnitMember& source, const UnitMember& target, double* y)
{
    if (!usable_coefficient(source.a) || !usable_coefficient(target.a))
        return false;
    // Back to the base first, then out into the target unit: dividing
    // before multiplying is the order the results have always shown.
    double t = x - static_cast<double>(source.b);
    t = t / static_cast<double>(source.a);
    t = t * static_cast<double>(target.a);
    *y = t + static_cast<double>(target.b);
    return true;
}

// value = d0.d1 d2 ... x 10^exponent, d0 the digit of 10^exponent; count 0
// is zero. No digit past the last non-zero one is kept.
struct ResultDigits {
    int count;
    int exponent;
    char digit[18];
};

namespace {

void strip_trailing_zero_digits(ResultDigits* digits)
{
    while (digits->count > 0 && digits->digit[digits->count - 1] == '0')
        digits->count--;
}

// Keeps the first keep digits; a first dropped digit of 5 or more adds one
// to the last kept digit, so a tie goes away from zero.
void round_away(ResultDigits* digits, int keep)
{
    if (keep >= digits->count)
        return;
    bool up = keep >= 0 && digits->digit[keep] >= '5';
    digits->count = keep < 0 ? 0 : keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && digits->digit[i] == '9')
            i--;
        if (i >= 0) {
            digits->digit[i]++;
            digits->count = i + 1;
        } else {
            digits->digit[0] = '1';
            digits->count = 1;
            digits->exponent++;
        }
    }
    strip_trailing_zero_digits(digits);
}

// |y| to 17 significant digits. The 18th digit alone decides the rounding,
// but only cut from the exact expansion (every double has at most 767
// significant digits): to_chars rounding at 18 digits could turn a 4 into a 5.
void seventeen_digits(double y, ResultDigits* digits)
{
    char text[767 + 16];
    char* end = std::to_chars(text, text + sizeof text, std::fabs(y), std::chars_format::scientific, 766).ptr;
    // text is d.ddd...e+dd
    digits->digit[0] = text[0];
    std::memcpy(digits->digit + 1, text + 2, 17);
    digits->count = 18;
    const char* e = text + 2 + 766;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, digits->exponent);
    round_away(digits, 17);
}

// The digit of 10^place, '0' outside the kept digits.
char digit_at_place(const ResultDigits& digits, int place)
{
    int index = digits.exponent - place;
    if (index < 0 || index >= digits.count)
        return '0';
    return digits.digit[index];
}

}  // namespace

void format_result(double y, char* out)
{
    if (!std::isfinite(y)) {
        std::strcpy(out, "null");
        return;
    }
    // The magnitude is first taken to 17 significant digits and only then
    // rounded at the third decimal, both times half away from zero, so a double
    // just below ...5 whose 17 digits read ...5 still rounds up.
    ResultDigits digits;
    seventeen_digits(y, &digits);
    round_away(&digits, digits.exponent + 1 + 3);

    char* end = out;
    if (std::signbit(y))
        *end++ = '-';  // also for a value that now reads 0.000
    if (digits.count == 0 || digits.exponent < 0) {
        *end++ = '0';
    } else {
        for (int place = digits.exponent; place >= 0; place--)
            *end++ = digit_at_place(digits, place);
    }
    *end++ = '.';
    for (int place = -1; place >= -3; place--)
        *end++ = digit_at_place(digits, place);
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

int convert_from_field(UnitGroup* group, int source_index, const char* source_text, FieldUpdate* updates)
{
    // Only the fields of existing members can be typed into; anything else
    // is no conversion at all rather than a walk through a missing member.
    if (!group || !source_text || source_index < 0 || source_index >= field_count)
        return 0;
    const UnitMember* source = member_at(group, source_index);
    if (!source)
        return 0;

    double x = read_decimal(source_text);
    int count = 0;
    // The cursor walks the members beside j, so the chain is walked once.
    const UnitMember* target = group->header.next;
    for (int j = 0; j < field_count; j++, target = target ? target->next : nullptr) {
        if (j == source_index)
            continue;
        FieldUpdate* update = &updates[count];
        if (source_text[0] == 0) {
            update->index = j;
            update->text[0] = 0;
            count++;
            continue;
        }
        if (!target)
            break;
        update->index = j;
        double y;
        if (convert_value(x, *source, *target, &y))
            format_result(y, update->text);
        else
            std::strcpy(update->text, "null");
        count++;
    }
    return count;
}
