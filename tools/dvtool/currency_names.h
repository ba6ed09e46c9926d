#pragma once
// The Chinese names under which a quotation page lists currencies, by ISO
// 4217 code: the names Chinese banks print on their boards, each short
// enough for the 15 bytes of a member name.

// The name in GBK, or null for a code the table does not know.
const char* currency_name(const char* code);
