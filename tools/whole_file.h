#pragma once
#include <cstddef>
#include <string>

// Reads a whole file into bytes. Returns false when it cannot be opened or
// read; bytes then holds what was read.
bool read_whole_file(const char* name, std::string& bytes);

enum class BoundedRead { read, missing, unreadable, too_large };

// Reads a file of at most limit bytes into bytes. A longer one is read no
// further than the byte after the limit, so a file of any size (or an
// endless one, such as a device) costs no more than limit + 1 bytes; it is
// too_large and bytes is then empty. missing: there is no file of that name.
BoundedRead read_file_within(const char* name, size_t limit, std::string& bytes);
