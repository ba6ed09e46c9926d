#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A file name of this process's own in the system's temporary folder, so
// that several fuzzers can run side by side.
std::string scratch_path(const char* tag);
bool write_whole_file(const std::string& path, const uint8_t* data, size_t size);
std::vector<uint8_t> read_whole_file(const std::string& path);
