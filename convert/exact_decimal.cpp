#include "convert/exact_decimal.h"
#include "convert/big_number.h"
#include <stdint.h>
#include <string.h>

static void strip_trailing_zero_digits(DecimalDigits* digits)
{
    while (digits->count > 0 && digits->digit[digits->count - 1] == '0')
        digits->count--;
}

// The decimal digits of n, most significant first; n is used up.
static int write_digits(BigNumber* n, char* out)
{
    char reversed[decimal_digit_size + 9];
    int count = 0;
    while (!big_is_zero(n) && count <= decimal_digit_size) {
        uint32_t group = big_divide_small(n, 1000000000u);
        for (int i = 0; i < 9; i++) {
            reversed[count++] = (char)('0' + group % 10);
            group /= 10;
        }
    }
    while (count > 0 && reversed[count - 1] == '0')
        count--;
    if (count > decimal_digit_size)
        count = decimal_digit_size;
    for (int i = 0; i < count; i++)
        out[i] = reversed[count - 1 - i];
    return count;
}

void exact_decimal(double value, DecimalDigits* digits)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    int biased = (int)((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((1ull << 52) - 1);
    int binary_exponent = -1074;
    if (biased != 0) {
        mantissa |= 1ull << 52;
        binary_exponent = biased - 1075;
    }
    digits->count = 0;
    digits->exponent = 0;
    if (mantissa == 0)
        return;

    // m * 2^e with e < 0 is m * 5^-e / 10^-e: an integer and a point shift.
    BigNumber n;
    big_set(&n, mantissa);
    int point_shift = 0;
    if (binary_exponent >= 0) {
        big_shift_left(&n, binary_exponent);
    } else {
        big_multiply_power(&n, 5, -binary_exponent);
        point_shift = binary_exponent;
    }
    digits->count = write_digits(&n, digits->digit);
    digits->exponent = digits->count - 1 + point_shift;
    strip_trailing_zero_digits(digits);
}

void round_digits(DecimalDigits* digits, int keep, TieRule tie)
{
    if (keep >= digits->count)
        return;
    if (keep < 0) {
        digits->count = 0;
        return;
    }
    char first = digits->digit[keep];
    bool up = first >= '5';
    if (first == '5' && tie == ties_to_even) {
        bool beyond = false;
        for (int i = keep + 1; i < digits->count; i++) {
            if (digits->digit[i] != '0')
                beyond = true;
        }
        bool odd = keep > 0 && (digits->digit[keep - 1] - '0') % 2 == 1;
        up = beyond || odd;
    }
    digits->count = keep;
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

char digit_at_place(const DecimalDigits* digits, int place)
{
    int index = digits->exponent - place;
    if (index < 0 || index >= digits->count)
        return '0';
    return digits->digit[index];
}
