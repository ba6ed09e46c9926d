#pragma once
// A small unsigned big integer for exact decimal <-> binary conversion.
// Fixed size: the largest value needed is a 781-digit decimal mantissa
// scaled by 2^1130 or 10^1104 (under 3,900 bits); 5,120 bits leave room.
#include <stdint.h>

const int big_limb_count = 160;

struct BigNumber {
    int size;                       // limbs in use; no zero limb at the top
    uint32_t limb[big_limb_count];  // least significant first
};

void big_set(BigNumber* n, uint64_t value);
bool big_is_zero(const BigNumber* n);
int big_bit_length(const BigNumber* n);

// n = n * factor + addend
void big_multiply_add(BigNumber* n, uint32_t factor, uint32_t addend);
void big_multiply_power(BigNumber* n, uint32_t base, int exponent);
void big_shift_left(BigNumber* n, int bits);
void big_shift_right_one(BigNumber* n);

// -1, 0 or 1 as a is less than, equal to or greater than b.
int big_compare(const BigNumber* a, const BigNumber* b);
// a = a - b; requires a >= b.
void big_subtract(BigNumber* a, const BigNumber* b);
// n = n / divisor; returns the remainder.
uint32_t big_divide_small(BigNumber* n, uint32_t divisor);
