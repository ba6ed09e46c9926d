#include "tools/whole_file.h"
#include <cerrno>
#include <cstdio>
#include <limits>

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

bool read_whole_file(const char* name, std::string& bytes)
{
    // No file holds more bytes than memory does.
    return read_file_within(name, std::numeric_limits<size_t>::max() - 1, bytes) == BoundedRead::read;
}
