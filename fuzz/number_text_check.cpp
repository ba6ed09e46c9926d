// The decimal reader and the two number texts: their buffers stay whole and
// terminated, and their texts keep the shapes the program relies on. The
// exact digits are the standard library's; the unit tests hold the rules.
#include "fuzz/fuzz_check.h"
#include "convert/conversion.h"
#include "convert/number_text.h"
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The output buffers get exactly their promised size, so a byte written or
// read past them is a sanitizer finding; the fill shows a missing zero.
std::string general_text(const char* target, double value)
{
    std::vector<char> out(general_text_size, 'x');
    format_general(value, out.data());
    size_t length = strnlen(out.data(), general_text_size);
    if (length == static_cast<size_t>(general_text_size)) {
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
    if (length == static_cast<size_t>(result_size)) {
        report_violation(target, "format_result left its text unterminated");
        return std::string();
    }
    return std::string(out.data(), length);
}

void check_general(const char* target, double value)
{
    std::string text = general_text(target, value);
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
    size_t point = text.find('.');
    if (point != std::string::npos && (text.back() == '0' || text.back() == '.' || text.size() - point > 4))
        report_violation(target, "format_result left a trailing zero or point, or a fourth decimal");
    // The text is within half a thousandth of the value, give or take the
    // 17-digit step.
    double shown = read_decimal(text.c_str());
    if (std::fabs(shown - value) > 0.0005000001 + std::fabs(value) * 1e-15)
        report_violation(target, "format_result is further than half a thousandth off");
}

// Any 20 bytes, terminated or not: trimming stays inside its capacity and
// only ever cuts the text short.
void check_trim(const char* target, const uint8_t* data, size_t size)
{
    const int capacity = 20;
    std::vector<char> text(capacity, '0');
    std::memcpy(text.data(), data, size < static_cast<size_t>(capacity) ? size : capacity);
    size_t length = strnlen(text.data(), capacity);
    std::string before(text.data(), length);
    trim_trailing_zeros(text.data(), capacity);
    if (length < static_cast<size_t>(capacity) && before.compare(0, std::strlen(text.data()), text.data()) != 0)
        report_violation(target, "trim_trailing_zeros changed more than the text's end");
}

}  // namespace

void check_read_decimal(const uint8_t* data, size_t size)
{
    const char target[] = "read_decimal";
    std::vector<char> text(data, data + size);
    text.push_back(0);
    double value = read_decimal(text.data());
    if (std::isnan(value))
        report_violation(target, "read_decimal gave a NaN");
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
