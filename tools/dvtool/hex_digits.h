#pragma once
// The hexadecimal digits of the units text: \xHH escapes in names and
// 0xHHHHHHHH coefficient bits.

// The value of a digit of either case, or -1.
int hex_value(char c);
// The upper-case digit of a value 0..15.
char hex_digit(unsigned value);
