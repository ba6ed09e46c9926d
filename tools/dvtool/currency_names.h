#pragma once
// The Chinese names under which a quotation page lists currencies, by ISO
// 4217 code: the names Chinese banks print on their boards, each at most 14
// bytes of GBK (seven characters) and so whole in the 15 bytes of a member
// name.
#include <cstddef>

struct CurrencyName {
    const char* code;
    const char* name;  // GBK
};

// The name in GBK, or null for a code the table does not know.
const char* currency_name(const char* code);

// The first code the table gives that name, or null.
const char* currency_code_named(const char* name);

// The whole table, in its order.
const CurrencyName* currency_names(size_t& count);
