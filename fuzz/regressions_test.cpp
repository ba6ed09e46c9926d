// Replays every saved fuzz input through the check that belongs to it: the
// regressions (inputs that once broke a property or crashed) and the seed
// corpora. A fault that comes back fails here in the ordinary test run.
#include "fuzz/fuzz_check.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string current_input;

std::vector<fs::path> inputs_in(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

int replay(const char* kind, const FuzzTarget& target)
{
    fs::path folder = fs::path(DUVARIN_SOURCE_DIR) / "fuzz" / kind / target.name;
    int count = 0;
    for (const fs::path& file : inputs_in(folder)) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        current_input = file.filename().string();
        target.check(bytes.data(), bytes.size());
        count++;
    }
    return count;
}

} // namespace

void report_violation(const char* target, const char* what)
{
    ADD_FAILURE() << target << " on " << current_input << ": " << what;
}

TEST(FuzzRegressions, SavedFaultInputsKeepEveryProperty)
{
    for (const FuzzTarget& target : fuzz_targets)
        replay("regressions", target);
}

TEST(FuzzRegressions, EverySeedKeepsEveryProperty)
{
    for (const FuzzTarget& target : fuzz_targets)
        EXPECT_GT(replay("corpus", target), 0) << "no seeds for " << target.name;
}
