#include "tools/dvtool/coefficient_form.h"

#include "convert/number_text.h"
#include "tools/dvtool/hex_digits.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

uint32_t float_bits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

float float_of_bits(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void format_bits(uint32_t bits, char* out)
{
    out[0] = '0';
    out[1] = 'x';
    for (int i = 0; i < 8; ++i)
        out[2 + i] = hex_digit(bits >> (28 - 4 * i));
    out[10] = 0;
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

bool read_bits(const char* token, uint32_t& bits)
{
    if (token[0] != '0' || (token[1] != 'x' && token[1] != 'X') || std::strlen(token) != 10)
        return false;
    bits = 0;
    for (int i = 2; i < 10; ++i) {
        int digit = hex_value(token[i]);
        if (digit < 0)
            return false;
        bits = bits << 4 | uint32_t(digit);
    }
    return true;
}

// The whole token must be a decimal: read_decimal alone would take "12kg"
// as 12 and "abc" as 0 without a word.
bool is_decimal(const char* text, bool& all_zero)
{
    all_zero = true;
    if (*text == '+' || *text == '-')
        ++text;
    int digits = 0;
    for (; is_digit(*text); ++text, ++digits)
        all_zero = all_zero && *text == '0';
    if (*text == '.')
        for (++text; is_digit(*text); ++text, ++digits)
            all_zero = all_zero && *text == '0';
    if (digits == 0)
        return false;
    if (*text == 'e' || *text == 'E') {
        ++text;
        if (*text == '+' || *text == '-')
            ++text;
        if (!is_digit(*text))
            return false;
        while (is_digit(*text))
            ++text;
    }
    return *text == 0;
}

}  // namespace

void format_coefficient(float value, char* out)
{
    if (std::isfinite(value)) {
        for (int precision = 6; precision <= 9; ++precision) {
            format_general_digits(value, precision, out);
            if (float_bits(float(read_decimal(out))) == float_bits(value))
                return;
        }
    }
    format_bits(float_bits(value), out);
}

const char* read_coefficient(const char* token, float& value)
{
    uint32_t bits;
    if (read_bits(token, bits)) {
        value = float_of_bits(bits);
        return nullptr;
    }
    bool all_zero;
    if (!is_decimal(token, all_zero))
        return "not a number";
    double wide = read_decimal(token);
    // From here up a float rounds to infinity; the cast itself would be
    // undefined for a value out of the float's range.
    const double float_limit = std::ldexp(2.0 - std::ldexp(1.0, -24), 127);
    if (!(std::fabs(wide) < float_limit))
        return "too large for a 32-bit float";
    value = float(wide);
    // A coefficient that silently became 0 would make its unit show "null".
    if (value == 0 && !all_zero)
        return "too small for a 32-bit float";
    return nullptr;
}
