#pragma once
// Conversion between UTF-8, the form of the units text, and GBK (code page
// 936), the form of every name the program stores. Each platform has its own
// converter; this is the only place that knows which.
#include <string>

// Return false when some character has no counterpart (or the input is not
// valid in its encoding); the output then means nothing.
bool gbk_to_utf8(const std::string& gbk, std::string& utf8);
bool utf8_to_gbk(const std::string& utf8, std::string& gbk);

// A GBK text in UTF-8, for a message; its bytes as they are when it has no
// UTF-8 form.
inline std::string utf8_for_message(const std::string& gbk)
{
    std::string utf8;
    return gbk_to_utf8(gbk, utf8) ? utf8 : gbk;
}
