#include "fuzz/scratch_file.h"
#include <cstdio>
#include <filesystem>
#include <unistd.h>

std::string scratch_path(const char* tag)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = ".";
    std::string name = "duvarin-scratch-" + std::to_string(getpid()) + "-" + tag;
    return (folder / name).string();
}

bool write_whole_file(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

std::vector<uint8_t> read_whole_file(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    uint8_t block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return bytes;
}
