// Replays every saved fuzz input through the check that belongs to it: the
// regressions (inputs that once broke a property or crashed) and the seed
// corpora, with the seed folders elsewhere in the tree that
// fuzz/seed_folders.txt names. A fault that comes back fails here in the
// ordinary test run.
#include "fuzz/fuzz_check.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string current_input;

std::vector<fs::path> inputs_in(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

fs::path inputs_folder(const char* kind)
{
    return fs::path(DUVARIN_SOURCE_DIR) / "fuzz" / kind;
}

// The target's seeds outside fuzz/corpus/: test data that stays beside the
// test that reads it, so that each file is stored once.
std::vector<fs::path> seed_folders_elsewhere(const FuzzTarget& target)
{
    std::vector<fs::path> folders;
    std::ifstream list(fs::path(DUVARIN_SOURCE_DIR) / "fuzz" / "seed_folders.txt");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream words(line);
        std::string name, folder;
        if (words >> name >> folder && name == target.name)
            folders.push_back(fs::path(DUVARIN_SOURCE_DIR) / folder);
    }
    return folders;
}

// The number of inputs replayed; -1 when there is no such folder, whose
// inputs would then go unseen.
int replay(const fs::path& folder, const FuzzTarget& target)
{
    if (!fs::is_directory(folder))
        return -1;
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

bool is_target(const std::string& name)
{
    for (const FuzzTarget& target : fuzz_targets)
        if (name == target.name)
            return true;
    return false;
}

}  // namespace

void report_violation(const char* target, const char* what)
{
    ADD_FAILURE() << target << " on " << current_input << ": " << what;
}

// Findings are few and may be none; the folder must be there all the same,
// or tools/fuzz.sh would have nowhere to leave them.
TEST(FuzzRegressions, SavedFaultInputsKeepEveryProperty)
{
    for (const FuzzTarget& target : fuzz_targets)
        EXPECT_GE(replay(inputs_folder("regressions") / target.name, target), 0)
            << "no folder fuzz/regressions/" << target.name;
}

TEST(FuzzRegressions, EverySeedKeepsEveryProperty)
{
    for (const FuzzTarget& target : fuzz_targets) {
        EXPECT_GT(replay(inputs_folder("corpus") / target.name, target), 0)
            << "no seeds in fuzz/corpus/" << target.name;
        for (const fs::path& folder : seed_folders_elsewhere(target))
            EXPECT_GT(replay(folder, target), 0) << "no seeds in " << folder.string();
    }
}

// A folder named after no target (one renamed on one side only) would
// never be replayed.
TEST(FuzzRegressions, EveryInputFolderBelongsToATarget)
{
    for (const char* kind : {"corpus", "regressions"}) {
        ASSERT_TRUE(fs::is_directory(inputs_folder(kind))) << "no folder fuzz/" << kind;
        for (const fs::directory_entry& entry : fs::directory_iterator(inputs_folder(kind)))
            EXPECT_TRUE(!entry.is_directory() || is_target(entry.path().filename().string()))
                << "fuzz/" << kind << "/" << entry.path().filename().string() << " belongs to no target";
    }
}
