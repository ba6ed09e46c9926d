#pragma once
// Test support: the bytes of dv.dat and config.f files made up by tests,
// written straight from the file layouts, little-endian.
#include <cstdint>
#include <string>
#include <vector>

void put_int32(std::string& out, uint32_t value);
void put_float(std::string& out, float value);
// A 16-byte name field: the first 16 bytes of the name, then zeros.
void put_name(std::string& out, const std::string& name);
// A name field as a text, as name_text reads it.
std::string name_of(const char* field);

struct SampleMember {
    std::string name;
    float a;
    float b;
};

struct SampleGroup {
    std::string name;
    std::vector<SampleMember> members;
};

// The bytes of a dv.dat holding the groups.
std::string database_bytes(const std::vector<SampleGroup>& groups);
// 温度: 摄氏度 (1, 0), 华氏度 (1.8, 32), 开尔文 (1, 273.15); then 长度 with five members.
std::vector<SampleGroup> sample_groups();
// The 30 bytes of a config.f holding five records.
std::string download_log_bytes(const unsigned short dates[5][3]);
