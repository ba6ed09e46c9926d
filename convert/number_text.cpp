#include "convert/number_text.h"
#include "convert/exact_decimal.h"
#include <cmath>
#include <string.h>

static char* append_text(char* out, const char* text)
{
    while (*text != 0)
        *out++ = *text++;
    return out;
}

// Fixed form: the digits with the point where the exponent puts it.
static char* write_fixed(const DecimalDigits* digits, char* out)
{
    int exponent = digits->exponent;
    if (exponent < 0) {
        *out++ = '0';
    } else {
        for (int place = exponent; place >= 0; place--)
            *out++ = digit_at_place(digits, place);
    }
    int last_place = exponent - (digits->count - 1);
    if (last_place < 0) {
        *out++ = '.';
        for (int place = -1; place >= last_place; place--)
            *out++ = digit_at_place(digits, place);
    }
    return out;
}

// Exponent form: the system's C library writes a sign and at least three
// exponent digits (1.23457e+006), unlike glibc and MinGW (1.23457e+06).
static char* write_exponent(const DecimalDigits* digits, char* out)
{
    *out++ = digits->digit[0];
    if (digits->count > 1) {
        *out++ = '.';
        for (int i = 1; i < digits->count; i++)
            *out++ = digits->digit[i];
    }
    *out++ = 'e';
    int exponent = digits->exponent;
    *out++ = exponent < 0 ? '-' : '+';
    if (exponent < 0)
        exponent = -exponent;
    char reversed[8];
    int count = 0;
    while (count < 3 || exponent != 0) {
        reversed[count++] = (char)('0' + exponent % 10);
        exponent /= 10;
    }
    while (count > 0)
        *out++ = reversed[--count];
    return out;
}

void format_general_digits(double value, int precision, char* out)
{
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;
    char* end = out;
    if (std::signbit(value))
        *end++ = '-';
    if (std::isnan(value)) {
        strcpy(end, "1.#QNAN");
        return;
    }
    if (std::isinf(value)) {
        strcpy(end, "1.#INF");
        return;
    }

    // Like printf, round the exact binary value; a tie is then a real tie.
    DecimalDigits digits;
    exact_decimal(value, &digits);
    round_digits(&digits, precision, ties_to_even);
    if (digits.count == 0)
        end = append_text(end, "0");
    else if (digits.exponent >= -4 && digits.exponent < precision)
        end = write_fixed(&digits, end);
    else
        end = write_exponent(&digits, end);
    *end = 0;
}

void format_general(double value, char* out)
{
    format_general_digits(value, 6, out);
}
