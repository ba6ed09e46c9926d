#include "testing/files.h"
#include <algorithm>
#include <chrono>
#include <unistd.h>
#include "tools/whole_file.h"

std::string read_file(const std::string& name)
{
    std::string bytes;
    read_whole_file(name.c_str(), bytes);
    return bytes;
}

bool write_file(const std::string& name, const std::string& bytes)
{
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string scratch_path(const char* tag)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = ".";
    std::string name = "duvarin-scratch-" + std::to_string(getpid()) + "-" + tag;
    return (folder / name).string();
}

TestFolder::TestFolder()
{
    // Test programs run in parallel: a name another one took already is
    // skipped, so every case owns its folder.
    static unsigned serial = 0;
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
        path_ = std::filesystem::temp_directory_path() /
                ("duvarin-test-" + std::to_string(ticks) + "-" + std::to_string(++serial));
    } while (!std::filesystem::create_directory(path_));
}

std::vector<std::string> TestFolder::entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
