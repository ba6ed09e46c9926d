#pragma once
// Slow, obviously right versions of the system's number texts, built on
// glibc, whose strtod and printf are exact. They judge the fast code in the
// fuzzers; they are never part of the program.
#include <cstddef>
#include <string>

// Length of the longest prefix of text that atof reads as a number (leading
// white space, sign, digits with at most one point, an exponent only when
// it has digits); 0 when there is none.
size_t decimal_prefix(const char* text);

// atof of the text, correctly rounded, with nothing but decimal numbers.
double reference_decimal(const char* text);

// The result text of a finite y: 17 significant digits, half away from zero
// at the third decimal, "%.3lf" shape, trailing zeros trimmed. Returns false
// when y lies exactly halfway at its 17th digit, where rounding to nearest
// leaves the choice open.
bool reference_result(double y, std::string* text);

// "%g" with the exponent written with at least three digits. Returns false
// for a value that is not finite or lies exactly halfway at its 6th digit,
// where the tie rule is the C library's choice.
bool reference_general(double value, std::string* text);

// The trailing-zero rule on a terminated text.
std::string reference_trim(const std::string& text);
