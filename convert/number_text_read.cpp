#include "convert/number_text.h"
#include "convert/big_number.h"
#include <stdint.h>
#include <string.h>

// A point halfway between two doubles has at most 768 significant digits,
// so 780 digits decide every rounding; of a longer text the rest only
// counts as "something non-zero follows".
const int kept_digit_limit = 780;

// Exponents this large already decide the result (infinity or zero); the
// limit keeps a text like 1e999999999999 from overflowing the sum.
const long long exponent_limit = 100000000;

struct DecimalText {
    bool negative;
    int count;                          // significant digits kept
    char digit[kept_digit_limit + 1];   // room for the non-zero mark
    long long exponent;                 // value = digits as an integer x 10^exponent
};

static bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// An exponent part needs at least one digit; otherwise it is not read.
static long long scan_exponent(const char* text)
{
    if (*text != 'e' && *text != 'E')
        return 0;
    const char* p = text + 1;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    long long value = 0;
    for (; is_digit(*p); p++) {
        if (value < exponent_limit)
            value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

// False when the text does not begin with a number.
static bool scan_decimal(const char* text, DecimalText* number)
{
    const char* p = text;
    while (is_space(*p))
        p++;
    number->negative = false;
    if (*p == '+' || *p == '-') {
        number->negative = *p == '-';
        p++;
    }
    number->count = 0;
    number->exponent = 0;
    bool any_digit = false;
    bool seen_point = false;
    bool dropped_nonzero = false;
    for (;; p++) {
        if (*p == '.' && !seen_point) {
            seen_point = true;
            continue;
        }
        if (!is_digit(*p))
            break;
        any_digit = true;
        if (*p == '0' && number->count == 0) {
            if (seen_point)
                number->exponent--;
        } else if (number->count < kept_digit_limit) {
            number->digit[number->count++] = *p;
            if (seen_point)
                number->exponent--;
        } else {
            if (*p != '0')
                dropped_nonzero = true;
            if (!seen_point)
                number->exponent++;
        }
    }
    if (!any_digit)
        return false;
    number->exponent += scan_exponent(p);
    if (dropped_nonzero) {
        number->digit[number->count++] = '1';
        number->exponent--;
    }
    return true;
}

static void digits_to_big(const DecimalText* number, int count, BigNumber* n)
{
    big_set(n, 0);
    for (int start = 0; start < count; start += 9) {
        uint32_t group = 0;
        uint32_t scale = 1;
        for (int i = start; i < count && i < start + 9; i++) {
            group = group * 10 + (uint32_t)(number->digit[i] - '0');
            scale *= 10;
        }
        big_multiply_add(n, scale, group);
    }
}

// a / b = numerator / denominator / 2^k, both kept integers.
static void scale_pair(const BigNumber* numerator, const BigNumber* denominator, int k,
                       BigNumber* a, BigNumber* b)
{
    *a = *numerator;
    *b = *denominator;
    if (k >= 0)
        big_shift_left(b, k);
    else
        big_shift_left(a, -k);
}

static double from_bits(bool negative, uint64_t bits)
{
    if (negative)
        bits |= 1ull << 63;
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

static const uint64_t infinity_bits = 0x7FFull << 52;
static const uint64_t hidden_bit = 1ull << 52;

static double decimal_to_double(const DecimalText* number)
{
    int count = number->count;
    long long exponent = number->exponent;
    while (count > 0 && number->digit[count - 1] == '0') {
        count--;
        exponent++;
    }
    // value lies in [10^(count+exponent-1), 10^(count+exponent)).
    if (count == 0 || count + exponent <= -324)
        return from_bits(number->negative, 0);
    if (count + exponent > 309)
        return from_bits(number->negative, infinity_bits);

    BigNumber numerator, denominator;
    digits_to_big(number, count, &numerator);
    big_set(&denominator, 1);
    if (exponent >= 0)
        big_multiply_power(&numerator, 10, (int)exponent);
    else
        big_multiply_power(&denominator, 10, (int)-exponent);

    // Find k with 2^52 <= value / 2^k < 2^53; the bit lengths miss it by
    // at most one. Below the normal range the step stays at 2^-1074.
    int k = big_bit_length(&numerator) - big_bit_length(&denominator) - 53;
    if (k < -1074)
        k = -1074;
    BigNumber a, b, shifted;
    scale_pair(&numerator, &denominator, k, &a, &b);
    shifted = b;
    big_shift_left(&shifted, 53);
    if (big_compare(&a, &shifted) >= 0) {
        k++;
        scale_pair(&numerator, &denominator, k, &a, &b);
    }
    if (k > 971)
        return from_bits(number->negative, infinity_bits);

    uint64_t q = 0;
    shifted = b;
    big_shift_left(&shifted, 52);
    for (int bit = 52; bit >= 0; bit--) {
        if (big_compare(&a, &shifted) >= 0) {
            big_subtract(&a, &shifted);
            q |= 1ull << bit;
        }
        big_shift_right_one(&shifted);
    }
    // a is now the remainder: round to nearest, a tie to even.
    big_shift_left(&a, 1);
    int half = big_compare(&a, &b);
    if (half > 0 || (half == 0 && (q & 1) != 0))
        q++;
    if (q == 2 * hidden_bit) {
        q = hidden_bit;
        k++;
        if (k > 971)
            return from_bits(number->negative, infinity_bits);
    }
    if (q < hidden_bit)
        return from_bits(number->negative, q);  // below the normal range
    return from_bits(number->negative, ((uint64_t)(k + 1075) << 52) | (q - hidden_bit));
}

double read_decimal(const char* text)
{
    DecimalText number;
    if (text == 0 || !scan_decimal(text, &number))
        return 0.0;
    return decimal_to_double(&number);
}
