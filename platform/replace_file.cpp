// The steps of a safe file replacement that are the same on every platform.
#include "platform/replace_file.h"

#include "platform/replace_file_calls.h"

#include <cstring>

namespace {

const char hex_digits[] = "0123456789abcdef";

// target + ".tmp" + eight hex digits. The digits come from the process id,
// so two programs saving the same file never share a temporary file.
bool make_temporary_name(FileReplacement& file, unsigned long tag)
{
    size_t length = std::strlen(file.target);
    if (length + 4 + 8 + 1 > sizeof file.temporary)
        return false;
    std::memcpy(file.temporary, file.target, length);
    std::memcpy(file.temporary + length, ".tmp", 4);
    for (int i = 0; i < 8; ++i)
        file.temporary[length + 4 + i] = hex_digits[(tag >> (28 - 4 * i)) & 0xF];
    file.temporary[length + 12] = 0;
    return true;
}

// Creating exclusively keeps us from ever writing into a file that is not
// our own, even a leftover of a crashed run; a clash moves on to another name.
FILE* create_temporary(FileReplacement& file)
{
    unsigned long tag = process_tag();
    for (unsigned long attempt = 0; attempt < 16; ++attempt) {
        if (!make_temporary_name(file, tag ^ (attempt << 28)))
            return nullptr;
        CreateOutcome outcome;
        FILE* stream = create_new_file(file.temporary, outcome);
        if (outcome != CreateOutcome::name_taken)
            return stream;
    }
    return nullptr;
}

}  // namespace

bool begin_replacement(FileReplacement& file, const char* target)
{
    file.stream = nullptr;
    file.failed = true;
    file.target[0] = 0;
    file.temporary[0] = 0;
    if (!target || target[0] == 0 || std::strlen(target) >= sizeof file.target)
        return false;
    std::strcpy(file.target, target);
    file.stream = create_temporary(file);
    if (!file.stream) {
        file.temporary[0] = 0;
        return false;
    }
    file.failed = false;
    return true;
}

void write_bytes(FileReplacement& file, const void* bytes, size_t size)
{
    if (file.failed || !file.stream || size == 0)
        return;
    if (fwrite(bytes, 1, size, file.stream) != size)
        file.failed = true;
}

bool finish_replacement(FileReplacement& file)
{
    if (!file.stream)
        return false;
    bool ok = !file.failed;
    // A full disk often shows only when the buffer is flushed or the file
    // closed, so both count as writes.
    if (fflush(file.stream) != 0)
        ok = false;
    if (ok && !commit_to_disk(file.stream))
        ok = false;
    if (fclose(file.stream) != 0)
        ok = false;
    file.stream = nullptr;
    if (ok && !replace_target(file.temporary, file.target))
        ok = false;
    if (!ok) {
        remove_file(file.temporary);
        file.failed = true;
    }
    return ok;
}
