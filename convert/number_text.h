#pragma once
// The system's own number texts. Both builds produce these byte for byte:
// they stand on std::from_chars and std::to_chars, which are exact and
// ignore the locale, never on the C library's printf or atof.

// Reads the decimal number at the start of a text as the system's atof does:
// leading white space, an optional sign, digits with at most one point, an
// optional exponent. Nothing else is a number ("0x1A", "inf", "nan" give 0;
// "12.5kg" gives 12.5; "1.23457e+" gives 1.23457). Correctly rounded.
double read_decimal(const char* text);
// Whether read_decimal finds a number there at all: "0.00" and "-5" hold
// one, "", "-" and "abc" none (and give 0).
bool starts_with_decimal(const char* text);

// "%g" as the system writes it: six significant digits, trailing zeros
// dropped, and in the exponent form always a sign and three digits
// (1.23457e+006, 1e-007). out must hold at least general_text_size bytes.
const int general_text_size = 32;
void format_general(double value, char* out);

// The same "%.*g" form with any precision from 1 to 17 (format_general is
// precision 6); 17 digits always read back to the same double.
void format_general_digits(double value, int precision, char* out);
