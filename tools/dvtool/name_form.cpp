#include "tools/dvtool/name_form.h"

#include "database/gbk_text.h"
#include "tools/dvtool/hex_digits.h"
#include "tools/dvtool/text_encoding.h"

namespace {

void append_escape(std::string& out, unsigned char byte)
{
    out += "\\x";
    out += hex_digit(byte >> 4);
    out += hex_digit(byte);
}

// A pair is written as it is only when the text can carry it both ways; a
// code the converter does not know would otherwise be lost in UTF-8.
bool pair_survives_utf8(unsigned char lead, unsigned char trail)
{
    std::string pair;
    pair += char(lead);
    pair += char(trail);
    std::string utf8;
    std::string back;
    return gbk_to_utf8(pair, utf8) && utf8_to_gbk(utf8, back) && back == pair;
}

bool needs_escape(unsigned char byte, size_t position, size_t size, bool group_name)
{
    if (byte < 0x20 || byte >= 0x7F || byte == '#' || byte == '=')
        return true;
    if (byte == ' ' && (position == 0 || position + 1 == size))
        return true;
    return byte == '[' && position == 0 && !group_name;
}

// Copies a run of text that holds no escape into the name, as GBK.
const char* append_plain(const std::string& run, bool gbk_input, std::string& name)
{
    if (!gbk_input) {
        std::string gbk;
        if (!utf8_to_gbk(run, gbk))
            return "a name holds text that has no GBK form";
        name += gbk;
        return nullptr;
    }
    for (size_t i = 0; i < run.size(); ++i) {
        unsigned char byte = run[i];
        if (byte < 0x80) {
            name += char(byte);
        } else if (is_gbk_lead(byte) && i + 1 < run.size() && is_gbk_trail(run[i + 1])) {
            name += run.substr(i, 2);
            ++i;
        } else {
            return "a name is not valid GBK text";
        }
    }
    return nullptr;
}

}  // namespace

bool is_plain_gbk(const std::string& name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = name[i];
        if (byte >= 0x20 && byte < 0x7F)
            continue;
        if (i + 1 < name.size() && is_gbk_lead(byte) && is_gbk_trail(name[i + 1]) &&
            pair_survives_utf8(byte, name[i + 1])) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

std::string escape_name(const std::string& name, bool group_name)
{
    if (name.empty())
        return "\"\"";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = name[i];
        if (i + 1 < name.size() && is_gbk_lead(byte) && is_gbk_trail(name[i + 1])) {
            // The program reads these two bytes as one character, so they
            // are written together, as a character or as two escapes.
            if (pair_survives_utf8(byte, name[i + 1])) {
                out += name.substr(i, 2);
            } else {
                append_escape(out, byte);
                append_escape(out, name[i + 1]);
            }
            ++i;
        } else if (byte == '\\') {
            out += "\\\\";
        } else if (needs_escape(byte, i, name.size(), group_name)) {
            append_escape(out, byte);
        } else {
            out += char(byte);
        }
    }
    // A name of two quotes must not read back as the empty name.
    if (out == "\"\"")
        out = "\\x22\"";
    return out;
}

const char* unescape_name(const std::string& text, bool gbk_input, std::string& name)
{
    name.clear();
    if (text == "\"\"")
        return nullptr;
    std::string run;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = text[i];
        // In GBK text a trail byte can look like a backslash; it belongs to
        // its character.
        if (gbk_input && is_gbk_lead(byte) && i + 1 < text.size()) {
            run += text.substr(i, 2);
            ++i;
            continue;
        }
        if (byte != '\\') {
            run += char(byte);
            continue;
        }
        if (const char* problem = append_plain(run, gbk_input, name))
            return problem;
        run.clear();
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            name += '\\';
            i += 1;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hex_value(text[i + 2]) >= 0 &&
                   hex_value(text[i + 3]) >= 0) {
            int value = hex_value(text[i + 2]) * 16 + hex_value(text[i + 3]);
            if (value == 0)
                return "a name cannot hold a zero byte";
            name += char(value);
            i += 3;
        } else {
            return "a backslash in a name must start \\\\ or \\xHH";
        }
    }
    return append_plain(run, gbk_input, name);
}
