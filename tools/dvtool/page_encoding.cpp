#include "tools/dvtool/page_encoding.h"

#include "database/gbk_text.h"

#include <cctype>

namespace {

// The position of the first byte that is no part of GBK text, or npos.
size_t first_non_gbk_byte(const std::string& page)
{
    for (size_t i = 0; i < page.size(); ++i) {
        unsigned char byte = page[i];
        if (byte < 0x80)
            continue;
        if (!is_gbk_lead(byte) || i + 1 == page.size() || !is_gbk_trail(page[i + 1]))
            return i;
        ++i;
    }
    return std::string::npos;
}

// How many bytes the UTF-8 sequence at i takes, or 0 when there is none
// there (a stray byte, a short or overlong form, a surrogate, past U+10FFFF).
size_t utf8_sequence(const std::string& page, size_t i)
{
    unsigned char lead = page[i];
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || i + length > page.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(page[i + k]) & 0xC0) != 0x80)
            return 0;
    unsigned char second = page[i + 1];
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

// Chinese text in GBK is almost never valid UTF-8 for long; a page that is,
// with characters beyond ASCII, was written in UTF-8.
bool is_utf8_text(const std::string& page)
{
    bool beyond_ascii = false;
    for (size_t i = 0; i < page.size();) {
        if (static_cast<unsigned char>(page[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t length = utf8_sequence(page, i);
        if (length == 0)
            return false;
        beyond_ascii = true;
        i += length;
    }
    return beyond_ascii;
}

std::string lower_case(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The charset the page declares (<meta charset=...>, or content="text/html;
// charset=..."), in lower case, or an empty text.
std::string declared_charset(const std::string& page)
{
    std::string lower = lower_case(page);
    size_t at = lower.find("charset");
    if (at == std::string::npos)
        return "";
    at += 7;
    while (at < lower.size() && (lower[at] == ' ' || lower[at] == '\t'))
        ++at;
    if (at == lower.size() || lower[at] != '=')
        return "";
    ++at;
    while (at < lower.size() && (lower[at] == ' ' || lower[at] == '\t' || lower[at] == '"' || lower[at] == '\''))
        ++at;
    std::string name;
    while (at < lower.size() && (std::isalnum(static_cast<unsigned char>(lower[at])) || lower[at] == '-' ||
                                 lower[at] == '_' || lower[at] == '.' || lower[at] == ':'))
        name += lower[at++];
    return name;
}

// The names of GBK and of the encodings it contains, as pages write them.
bool names_gbk(const std::string& charset)
{
    const char* names[] = {"gbk",      "gb2312",      "gb_2312-80", "gb18030",    "cp936",
                           "ms936",    "windows-936", "x-gbk",      "euc-cn",     "x-euc-cn",
                           "csgb2312", "iso-ir-58",   "chinese",    "csgb231280", "csiso58gb231280"};
    for (const char* name : names)
        if (charset == name)
            return true;
    return false;
}

}  // namespace

std::string encoding_problem(const std::string& page)
{
    std::string reasons;
    if (is_utf8_text(page)) {
        reasons = "its text is UTF-8";
    } else {
        size_t stray = first_non_gbk_byte(page);
        if (stray != std::string::npos)
            reasons = "byte " + std::to_string(stray) + " and maybe others are no part of GBK text";
    }
    std::string charset = declared_charset(page);
    if (!charset.empty() && !names_gbk(charset))
        reasons += (reasons.empty() ? "it declares charset=" : "; it declares charset=") + charset;
    if (reasons.empty())
        return "";
    return "not GBK: " + reasons +
           ". The program reads every page as GBK (code page 936), so each Chinese name on it would reach users "
           "as other characters: save the page in GBK (iconv -f UTF-8 -t GBK) and declare charset=gbk.\n";
}
