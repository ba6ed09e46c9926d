// The decimal reader and the two number texts against their glibc
// references: read_decimal is atof without hexadecimal, infinities or NaN;
// format_general is "%g" with a three-digit exponent; format_result is the
// 17-digit "%.3lf" with trailing zeros trimmed, "null" when not finite.
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_text.h"
#include "convert/conversion.h"
#include "convert/number_text.h"
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool same_bits(double x, double y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

// The output buffers get exactly their promised size, so a byte written or
// read past them is a sanitizer finding; the fill shows a missing zero.
std::string general_text(const char* target, double value)
{
    std::vector<char> out(general_text_size, 'x');
    format_general(value, out.data());
    size_t length = strnlen(out.data(), general_text_size);
    if (length == (size_t)general_text_size) {
        report_violation(target, "format_general left its text unterminated");
        return std::string();
    }
    return std::string(out.data(), length);
}

std::string result_text(const char* target, double value)
{
    std::vector<char> out(result_size, 'x');
    format_result(value, out.data());
    size_t length = strnlen(out.data(), result_size);
    if (length == (size_t)result_size) {
        report_violation(target, "format_result left its text unterminated");
        return std::string();
    }
    return std::string(out.data(), length);
}

void check_general(const char* target, double value)
{
    std::string text = general_text(target, value);
    std::string expected;
    if (reference_general(value, &expected) && text != expected)
        report_violation(target, "format_general differs from %g");
    // Reading a "%g" text back and writing it again gives the same text;
    // subnormal numbers carry fewer than six digits, so they may not.
    bool normal = std::isfinite(value) && std::fabs(value) >= DBL_MIN;
    if (normal && general_text(target, read_decimal(text.c_str())) != text)
        report_violation(target, "format_general is not stable through read_decimal");
}

void check_result(const char* target, double value)
{
    std::string text = result_text(target, value);
    if (!std::isfinite(value)) {
        if (text != "null")
            report_violation(target, "a value that is not finite did not give null");
        return;
    }
    if (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.'))
        report_violation(target, "format_result left a trailing zero or point");
    std::string expected;
    if (!reference_result(value, &expected))
        return;
    if (value == 0 && (text == "0" || text == "-0"))
        return;
    if (text != expected)
        report_violation(target, "format_result differs from the 17-digit %.3lf rule");
}

// Any 20 bytes, terminated or not: trimming stays inside its capacity and
// follows the rule whenever there is a text to trim.
void check_trim(const char* target, const uint8_t* data, size_t size)
{
    const int capacity = 20;
    std::vector<char> text(capacity, '0');
    std::memcpy(text.data(), data, size < (size_t)capacity ? size : capacity);
    size_t length = strnlen(text.data(), capacity);
    std::string before(text.data(), length);
    trim_trailing_zeros(text.data(), capacity);
    if (length < (size_t)capacity && std::string(text.data()) != reference_trim(before))
        report_violation(target, "trim_trailing_zeros breaks the trailing-zero rule");
}

} // namespace

void check_read_decimal(const uint8_t* data, size_t size)
{
    const char target[] = "read_decimal";
    std::vector<char> text(data, data + size);
    text.push_back(0);
    double value = read_decimal(text.data());
    if (!same_bits(value, reference_decimal(text.data())))
        report_violation(target, "read_decimal differs from strtod on the number's prefix");
    check_general(target, value);
}

void check_result_text(const uint8_t* data, size_t size)
{
    const char target[] = "result_text";
    uint8_t bytes[8] = {};
    std::memcpy(bytes, data, size < 8 ? size : 8);
    double value;
    std::memcpy(&value, bytes, 8);
    check_result(target, value);
    check_general(target, value);
    if (size > 8)
        check_trim(target, data + 8, size - 8);
}
