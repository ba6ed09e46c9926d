#include "tools/dvtool/hex_digits.h"

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char hex_digit(unsigned value)
{
    return "0123456789ABCDEF"[value & 15];
}
