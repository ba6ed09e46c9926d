#pragma once
// How a coefficient appears in the units text: the shortest decimal that
// reads back as the same 32-bit float, or, for a value no decimal can give
// (infinity, not a number), 0x and the eight hex digits of its bits.

const int coefficient_text_size = 32;

void format_coefficient(float value, char* out /* coefficient_text_size */);

// Reads a whole token. Returns null, or what is wrong with it.
const char* read_coefficient(const char* token, float& value);
