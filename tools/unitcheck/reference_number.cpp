#include "tools/unitcheck/reference_number.h"

#include "convert/conversion.h"

#include <cmath>
#include <cstdlib>
#include <vector>

long double reference_value(const std::string& number)
{
    return std::strtold(number.c_str(), nullptr);
}

std::string exact_result_text(const std::string& number)
{
    bool negative = !number.empty() && number[0] == '-';
    std::string digits;
    int point = 0;  // digits before the decimal point
    bool point_seen = false;
    int exponent = 0;
    for (size_t i = negative ? 1 : 0; i < number.size(); ++i) {
        char c = number[i];
        if (c == '.') {
            point = int(digits.size());
            point_seen = true;
        } else if (c == 'e' || c == 'E') {
            exponent = std::atoi(number.c_str() + i + 1);
            break;
        } else {
            digits += c;
        }
    }
    point = (point_seen ? point : int(digits.size())) + exponent;
    if (point < 0) {
        digits.insert(0, size_t(-point), '0');
        point = 0;
    }
    // Keep three decimals; the first digit dropped decides, so a value
    // exactly halfway goes away from zero as the program's results do.
    if (digits.size() < size_t(point) + 4)
        digits.append(size_t(point) + 4 - digits.size(), '0');
    bool round_up = digits[size_t(point) + 3] >= '5';
    digits.resize(size_t(point) + 3);
    for (size_t i = digits.size(); round_up; --i) {
        if (i == 0) {
            digits.insert(0, "1");
            ++point;
            break;
        }
        round_up = digits[i - 1] == '9';
        digits[i - 1] = round_up ? '0' : char(digits[i - 1] + 1);
    }
    std::string integer = digits.substr(0, size_t(point));
    size_t first = integer.find_first_not_of('0');
    integer = first == std::string::npos ? "0" : integer.substr(first);
    std::string text = (negative ? "-" : "") + integer + "." + digits.substr(size_t(point), 3);
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    trim_trailing_zeros(buffer.data(), int(buffer.size()));
    return buffer.data();
}

bool shows_exactly(const std::string& shown, const std::string& number)
{
    if (shown == exact_result_text(number))
        return true;
    long double value = reference_value(number);
    if (value == 0)
        return false;
    // The place of the fifteenth significant digit.
    int last_place = int(std::floor(std::log10(std::fabs(value)))) - 14;
    if (last_place <= -4)
        return false;
    long double half_unit = 0.5L * std::pow(10.0L, last_place);
    return std::fabs(reference_value(shown) - value) <= half_unit;
}

FloatRange nearest_floats(long double center, long double radius)
{
    // Converting to float rounds to nearest: the two ends give the first
    // and the last float that is nearest to some value in between.
    return FloatRange{float(center - radius), float(center + radius)};
}

bool in_range(float value, const FloatRange& range)
{
    return value >= range.low && value <= range.high;
}
