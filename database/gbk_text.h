#pragma once
// GBK text, the encoding of every text the program shows and stores: a lead
// byte and a trail byte make a double-byte character, any other byte is a
// character of its own.
#include <cstddef>

bool is_gbk_lead(unsigned char byte);
bool is_gbk_trail(unsigned char byte);

// How many bytes of a terminated text to keep when cutting it to at most
// limit bytes: never half a double-byte character, and never a lead byte
// whose trail byte the text lacks.
size_t gbk_cut_length(const char* text, size_t limit);
