#include "database/gbk_text.h"

bool is_gbk_lead(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool is_gbk_trail(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

size_t gbk_cut_length(const char* text, size_t limit)
{
    // Character boundaries can only be found from the start: a trail byte
    // may have the value of a lead byte.
    size_t kept = 0;
    while (text[kept]) {
        size_t width = is_gbk_lead(static_cast<unsigned char>(text[kept])) ? 2 : 1;
        if (kept + width > limit || (width == 2 && !text[kept + 1]))
            break;
        kept += width;
    }
    return kept;
}
