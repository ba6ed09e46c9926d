#pragma once
// Test support: a dvtool command line run in-process, as the program's
// main would run it.
#include "tools/dvtool/dvtool_commands.h"

#include <string>
#include <vector>

inline int run_dvtool_words(const std::vector<std::string>& words, std::string& out, std::string& err)
{
    out.clear();
    err.clear();
    std::vector<const char*> argv = {"dvtool"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    return run_dvtool(int(argv.size()), argv.data(), out, err);
}
