#pragma once
// Test helper: a fresh empty folder under the system's temporary folder,
// removed with everything in it when the test ends, and whole-file reads
// and writes for comparing bytes.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

typedef std::vector<unsigned char> Bytes;

class TestFolder {
public:
    TestFolder()
    {
        static unsigned serial = 0;
        auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        std::error_code error;
        path_ = std::filesystem::temp_directory_path(error)
                / ("duvarin-test-" + std::to_string(ticks) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(path_, error);
    }
    ~TestFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Names of everything in the folder, to catch a left-behind temporary file.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path_, error))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline Bytes read_file(const std::string& name)
{
    Bytes bytes;
    FILE* file = fopen(name.c_str(), "rb");
    if (!file)
        return bytes;
    int c;
    while ((c = fgetc(file)) != EOF)
        bytes.push_back(static_cast<unsigned char>(c));
    fclose(file);
    return bytes;
}

inline bool write_file(const std::string& name, const Bytes& bytes)
{
    FILE* file = fopen(name.c_str(), "wb");
    if (!file)
        return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}
