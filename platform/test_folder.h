#pragma once
// Test helper: a fresh folder under the system's temporary folder, removed
// with its contents when the test ends; whole-file reads and writes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

class TestFolder {
public:
    TestFolder()
    {
        // Test programs run in parallel: a name another one took already
        // is skipped, so every case owns its folder.
        static unsigned serial = 0;
        auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        do {
            path_ = std::filesystem::temp_directory_path()
                    / ("duvarin-test-" + std::to_string(ticks) + "-" + std::to_string(++serial));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TestFolder() { std::filesystem::remove_all(path_); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Sorted names of everything inside, to catch a left-behind temporary file.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline Bytes read_file(const std::string& name)
{
    Bytes bytes;
    if (FILE* file = fopen(name.c_str(), "rb")) {
        for (int c; (c = fgetc(file)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        fclose(file);
    }
    return bytes;
}

inline bool write_file(const std::string& name, const Bytes& bytes)
{
    FILE* file = fopen(name.c_str(), "wb");
    if (!file)
        return false;
    // An empty vector may hand out a null pointer, which fwrite must not get.
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}
