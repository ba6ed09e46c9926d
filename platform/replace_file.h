#pragma once
#include <cstddef>
#include <cstdio>

// Rewrites a file so that the old one survives any failure: the bytes go to
// a temporary file in the same folder, every write and the close are checked,
// the data is flushed to the disk, and only then does the temporary file
// replace the target in one step. On failure the temporary file is removed.
struct FileReplacement {
    FILE* stream;
    bool failed;
    char target[260];
    char temporary[272];
};

bool begin_replacement(FileReplacement& file, const char* target);
void write_bytes(FileReplacement& file, const void* bytes, size_t size);
// Returns whether the target now holds exactly what was written.
bool finish_replacement(FileReplacement& file);
