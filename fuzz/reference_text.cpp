#include "fuzz/reference_text.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// All significant digits of |value| (a double's decimal expansion ends
// within 767 of them) and the decimal exponent of the first.
std::string exact_digits(double value, int* exponent)
{
    static char text[1200];
    std::snprintf(text, sizeof text, "%.1100e", std::fabs(value));
    std::string digits;
    const char* p = text;
    for (; *p && *p != 'e'; p++)
        if (is_digit(*p))
            digits += *p;
    *exponent = std::atoi(p + 1);
    size_t end = digits.find_last_not_of('0');
    digits.erase(end == std::string::npos ? 1 : end + 1);
    return digits;
}

// Whether value lies exactly halfway between two numbers of n significant
// digits.
bool halfway_at(double value, int n)
{
    int exponent;
    std::string digits = exact_digits(value, &exponent);
    return (int)digits.size() == n + 1 && digits[n] == '5';
}

// Adds one unit to the last digit of a decimal digit string.
void increment(std::string& digits)
{
    int i = (int)digits.size() - 1;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i < 0)
        digits.insert(digits.begin(), '1');
    else
        digits[i]++;
}

} // namespace

size_t decimal_prefix(const char* text)
{
    size_t p = 0;
    while (is_blank(text[p]))
        p++;
    if (text[p] == '+' || text[p] == '-')
        p++;
    size_t digits = 0;
    while (is_digit(text[p])) {
        p++;
        digits++;
    }
    if (text[p] == '.') {
        p++;
        while (is_digit(text[p])) {
            p++;
            digits++;
        }
    }
    if (digits == 0)
        return 0;
    if (text[p] == 'e' || text[p] == 'E') {
        size_t q = p + 1;
        if (text[q] == '+' || text[q] == '-')
            q++;
        if (is_digit(text[q])) {
            while (is_digit(text[q]))
                q++;
            p = q;
        }
    }
    return p;
}

double reference_decimal(const char* text)
{
    size_t length = decimal_prefix(text);
    if (length == 0)
        return 0.0;
    std::string number(text, length);
    return std::strtod(number.c_str(), nullptr);
}

namespace {

// The fixed three-decimal text of the 17 significant digits digits × 10^e
// (the first digit's place value), half away from zero at the third decimal.
std::string fixed_text(bool negative, const std::string& digits, int exponent)
{
    auto digit_at = [&](int place) {
        int index = exponent - place;
        return index >= 0 && index < (int)digits.size() ? digits[index] : '0';
    };
    std::string thousandths;
    for (int place = exponent > 0 ? exponent : 0; place >= -3; place--)
        thousandths += digit_at(place);
    if (digit_at(-4) >= '5')
        increment(thousandths);

    std::string whole = thousandths.substr(0, thousandths.size() - 3);
    size_t first = whole.find_first_not_of('0');
    whole = first == std::string::npos ? "0" : whole.substr(first);
    return reference_trim((negative ? "-" : "") + whole + "." + thousandths.substr(thousandths.size() - 3));
}

// digits rounded to 17 places, up or down; a carry out of the first digit
// raises the exponent.
std::string seventeen_digits(const std::string& digits, bool up, int* exponent)
{
    std::string kept = digits.substr(0, 17);
    kept.resize(17, '0');
    if (up) {
        increment(kept);
        if (kept.size() > 17) {
            kept.resize(17);
            ++*exponent;
        }
    }
    return kept;
}

} // namespace

bool reference_result(double y, std::string* text)
{
    if (!std::isfinite(y))
        return false;
    int exponent;
    std::string digits = exact_digits(y, &exponent);
    bool halfway = digits.size() == 18 && digits[17] == '5';
    bool up = digits.size() > 17 && digits[17] >= '5';

    int e = exponent;
    std::string result = fixed_text(y < 0, seventeen_digits(digits, up, &e), e);
    if (halfway) {
        // Rounding to nearest leaves an exact tie open; it matters only
        // when the two choices give different texts.
        int e_down = exponent;
        if (fixed_text(y < 0, seventeen_digits(digits, false, &e_down), e_down) != result)
            return false;
    }
    *text = result;
    return true;
}

bool reference_general(double value, std::string* text)
{
    if (!std::isfinite(value) || halfway_at(value, 6))
        return false;
    char general[40];
    std::snprintf(general, sizeof general, "%g", value);
    std::string out = general;
    size_t e = out.find('e');
    if (e != std::string::npos) {
        std::string exponent = out.substr(e + 2);
        while (exponent.size() < 3)
            exponent = "0" + exponent;
        out = out.substr(0, e + 2) + exponent;
    }
    *text = out;
    return true;
}

std::string reference_trim(const std::string& text)
{
    size_t point = text.rfind('.');
    if (point == std::string::npos)
        return text;
    size_t end = text.find_last_not_of('0');
    if (end < point)
        end = point;
    if (end == point)
        return text.substr(0, point);
    return text.substr(0, end + 1);
}
