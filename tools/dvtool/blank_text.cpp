#include "tools/dvtool/blank_text.h"

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && is_blank(text[first]))
        ++first;
    while (last > first && is_blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
