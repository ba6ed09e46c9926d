#pragma once
#include <string>

// Reads a whole file into bytes. Returns false when it cannot be opened or
// read; bytes then holds what was read.
bool read_whole_file(const char* name, std::string& bytes);
