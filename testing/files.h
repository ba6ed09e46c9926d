#pragma once
// Test support: whole files as bytes, scratch file names and a fresh folder
// for each test case.
#include <filesystem>
#include <string>
#include <vector>

// The whole file; empty when it cannot be read.
std::string read_file(const std::string& name);
// Whether every byte reached the file.
bool write_file(const std::string& name, const std::string& bytes);

// A file name of this process's own in the system's temporary folder, so
// that several fuzzers can run side by side.
std::string scratch_path(const char* tag);

// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.
class TestFolder {
public:
    TestFolder();
    ~TestFolder() { std::filesystem::remove_all(path_); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Sorted names of everything inside, to catch a left-behind temporary file.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};
