#include "convert/number_text.h"
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

// Exponents this large already decide the direction; the cap keeps a text
// like 1e99999999999999999999 from overflowing the sum.
const long long exponent_cap = 100000000;

namespace {

// from_chars leaves a number beyond the doubles to its caller. Such a
// number is not zero: it lies above the largest double when its first
// significant digit, moved by the exponent, stands above the units, and
// below the least one otherwise.
bool beyond_largest(const char* p)
{
    while (*p == '0')
        p++;
    long long place = 0;
    for (; is_digit(*p); p++)
        place++;
    if (*p == '.') {
        p++;
        if (place == 0) {
            for (; *p == '0'; p++)
                place--;
        }
        while (is_digit(*p))
            p++;
    }
    long long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        p++;
        bool negative = *p == '-';
        if (*p == '+' || *p == '-')
            p++;
        for (; is_digit(*p); p++) {
            if (exponent < exponent_cap)
                exponent = exponent * 10 + (*p - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    return place + exponent > 0;
}

// Past the white space and the sign, where the digits begin.
const char* after_sign(const char* text)
{
    const char* p = text;
    while (is_space(*p))
        p++;
    if (*p == '+' || *p == '-')
        p++;
    return p;
}

}  // namespace

bool starts_with_decimal(const char* text)
{
    if (!text)
        return false;
    // from_chars also reads "inf" and "nan"; a decimal number starts with a
    // digit, or a point and a digit.
    const char* p = after_sign(text);
    return is_digit(*p) || (*p == '.' && is_digit(p[1]));
}

double read_decimal(const char* text)
{
    if (!starts_with_decimal(text))
        return 0.0;
    const char* p = after_sign(text);
    bool negative = p != text && p[-1] == '-';
    double value = 0.0;
    if (std::from_chars(p, p + std::strlen(p), value).ec == std::errc::result_out_of_range)
        value = beyond_largest(p) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

void format_general_digits(double value, int precision, char* out)
{
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;
    if (std::isnan(value) || std::isinf(value)) {
        std::strcpy(out, std::signbit(value) ? "-" : "");
        std::strcat(out, std::isnan(value) ? "1.#QNAN" : "1.#INF");
        return;
    }
    // Room for the widened exponent: the longest text is 24 bytes.
    char* end = std::to_chars(out, out + general_text_size - 2, value, std::chars_format::general, precision).ptr;
    *end = 0;
    // The system's C library writes at least three exponent digits
    // (1.23457e+006), to_chars and glibc at least two (1.23457e+06).
    char* e = std::strchr(out, 'e');
    if (e && end - (e + 2) < 3) {
        std::memmove(e + 3, e + 2, end - (e + 2) + 1);
        e[2] = '0';
    }
}

void format_general(double value, char* out)
{
    format_general_digits(value, 6, out);
}
