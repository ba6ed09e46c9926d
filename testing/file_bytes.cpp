#include "testing/file_bytes.h"
#include <cstring>
#include "database/unit_database.h"

void put_int32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void put_float(std::string& out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put_int32(out, bits);
}

void put_name(std::string& out, const std::string& name)
{
    std::string field = name.substr(0, name_size);
    field.resize(name_size, '\0');
    out += field;
}

std::string name_of(const char* field)
{
    char text[name_text_size];
    return name_text(field, text);
}

std::string database_bytes(const std::vector<SampleGroup>& groups)
{
    std::string out;
    put_int32(out, static_cast<uint32_t>(groups.size()));
    for (const SampleGroup& group : groups) {
        put_int32(out, static_cast<uint32_t>(group.members.size()));
        put_name(out, group.name);
        for (const SampleMember& member : group.members) {
            put_name(out, member.name);
            put_float(out, member.a);
            put_float(out, member.b);
        }
    }
    return out;
}

std::vector<SampleGroup> sample_groups()
{
    return {
        {"温度", {{"摄氏度", 1, 0}, {"华氏度", 1.8f, 32}, {"开尔文", 1, 273.15f}}},
        {"长度",
         {{"米", 1, 0}, {"厘米", 100, 0}, {"毫米", 1000, 0}, {"英寸", 39.3700787f, 0}, {"英尺", 3.2808399f, 0}}},
    };
}

std::string download_log_bytes(const unsigned short dates[5][3])
{
    std::string out;
    for (int row = 0; row < 5; row++)
        for (int i = 0; i < 3; i++) {
            out += static_cast<char>(dates[row][i] & 0xFF);
            out += static_cast<char>(dates[row][i] >> 8);
        }
    return out;
}
