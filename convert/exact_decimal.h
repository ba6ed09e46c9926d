#pragma once
// The exact decimal digits of a double, and their rounding. Every double is
// a finite decimal fraction (at most 767 significant digits), so the number
// texts are built from these digits instead of the C library's printf.

const int decimal_digit_size = 800;

// value = d0.d1 d2 d3 ... x 10^exponent: d0 is the digit of 10^exponent.
// count 0 means zero. No digit past the last non-zero one is stored.
struct DecimalDigits {
    int count;
    int exponent;
    char digit[decimal_digit_size];  // '0'..'9'
};

enum TieRule { ties_to_even, ties_away_from_zero };

// The digits of the magnitude of a finite value.
void exact_decimal(double value, DecimalDigits* digits);

// Keeps the first keep digits (counted from d0; 0 or less keeps none) and
// rounds by what follows: to nearest, a tie by the rule. A carry out of the
// first digit raises the exponent; rounding everything away gives zero.
void round_digits(DecimalDigits* digits, int keep, TieRule tie);

// The digit of 10^place, '0' outside the stored digits.
char digit_at_place(const DecimalDigits* digits, int place);
