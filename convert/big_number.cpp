#include "convert/big_number.h"

static void drop_top_zero_limbs(BigNumber* n)
{
    while (n->size > 0 && n->limb[n->size - 1] == 0)
        n->size--;
}

void big_set(BigNumber* n, uint64_t value)
{
    n->limb[0] = (uint32_t)value;
    n->limb[1] = (uint32_t)(value >> 32);
    n->size = 2;
    drop_top_zero_limbs(n);
}

bool big_is_zero(const BigNumber* n)
{
    return n->size == 0;
}

int big_bit_length(const BigNumber* n)
{
    if (n->size == 0)
        return 0;
    int bits = (n->size - 1) * 32;
    for (uint32_t top = n->limb[n->size - 1]; top != 0; top >>= 1)
        bits++;
    return bits;
}

void big_multiply_add(BigNumber* n, uint32_t factor, uint32_t addend)
{
    uint64_t carry = addend;
    for (int i = 0; i < n->size; i++) {
        uint64_t product = (uint64_t)n->limb[i] * factor + carry;
        n->limb[i] = (uint32_t)product;
        carry = product >> 32;
    }
    // The callers' bounds keep every value below big_limb_count limbs.
    if (carry != 0 && n->size < big_limb_count)
        n->limb[n->size++] = (uint32_t)carry;
    drop_top_zero_limbs(n);
}

void big_multiply_power(BigNumber* n, uint32_t base, int exponent)
{
    // Multiply by the largest power of base that fits one limb at a time.
    uint32_t chunk = 1;
    int chunk_exponent = 0;
    while ((uint64_t)chunk * base <= 0xFFFFFFFFu) {
        chunk *= base;
        chunk_exponent++;
    }
    for (; exponent >= chunk_exponent; exponent -= chunk_exponent)
        big_multiply_add(n, chunk, 0);
    uint32_t rest = 1;
    for (; exponent > 0; exponent--)
        rest *= base;
    big_multiply_add(n, rest, 0);
}

void big_shift_left(BigNumber* n, int bits)
{
    if (n->size == 0 || bits <= 0)
        return;
    int limbs = bits / 32;
    int shift = bits % 32;
    int size = n->size + limbs + 1;
    if (size > big_limb_count)
        size = big_limb_count;
    for (int i = size - 1; i >= 0; i--) {
        int from = i - limbs;
        uint32_t high = (from >= 0 && from < n->size) ? n->limb[from] : 0;
        uint32_t low = (from - 1 >= 0 && from - 1 < n->size) ? n->limb[from - 1] : 0;
        n->limb[i] = shift == 0 ? high : (high << shift) | (low >> (32 - shift));
    }
    n->size = size;
    drop_top_zero_limbs(n);
}

void big_shift_right_one(BigNumber* n)
{
    for (int i = 0; i < n->size; i++) {
        uint32_t high = i + 1 < n->size ? n->limb[i + 1] : 0;
        n->limb[i] = (n->limb[i] >> 1) | (high << 31);
    }
    drop_top_zero_limbs(n);
}

int big_compare(const BigNumber* a, const BigNumber* b)
{
    if (a->size != b->size)
        return a->size < b->size ? -1 : 1;
    for (int i = a->size - 1; i >= 0; i--) {
        if (a->limb[i] != b->limb[i])
            return a->limb[i] < b->limb[i] ? -1 : 1;
    }
    return 0;
}

void big_subtract(BigNumber* a, const BigNumber* b)
{
    uint32_t borrow = 0;
    for (int i = 0; i < a->size; i++) {
        uint64_t take = (uint64_t)(i < b->size ? b->limb[i] : 0) + borrow;
        borrow = (uint64_t)a->limb[i] < take ? 1 : 0;
        a->limb[i] = (uint32_t)((uint64_t)a->limb[i] - take);
    }
    drop_top_zero_limbs(a);
}

uint32_t big_divide_small(BigNumber* n, uint32_t divisor)
{
    uint64_t remainder = 0;
    for (int i = n->size - 1; i >= 0; i--) {
        uint64_t part = (remainder << 32) | n->limb[i];
        n->limb[i] = (uint32_t)(part / divisor);
        remainder = part % divisor;
    }
    drop_top_zero_limbs(n);
    return (uint32_t)remainder;
}
