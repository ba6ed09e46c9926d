#include "tools/whole_file.h"
#include <cerrno>
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

BoundedRead read_file_within(const char* name, size_t limit, std::string& bytes)
{
    bytes.clear();
    errno = 0;
    FILE* file = std::fopen(name, "rb");
    if (!file)
        return errno == ENOENT ? BoundedRead::missing : BoundedRead::unreadable;
    char buffer[4096];
    while (bytes.size() <= limit) {
        size_t wanted = limit + 1 - bytes.size();
        size_t got = std::fread(buffer, 1, wanted < sizeof buffer ? wanted : sizeof buffer, file);
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (bytes.size() > limit) {
        bytes.clear();
        return BoundedRead::too_large;
    }
    return ok ? BoundedRead::read : BoundedRead::unreadable;
}
