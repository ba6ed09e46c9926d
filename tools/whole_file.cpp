#include "tools/whole_file.h"
#include <cstdio>

bool read_whole_file(const char* name, std::string& bytes)
{
    bytes.clear();
    FILE* file = std::fopen(name, "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
