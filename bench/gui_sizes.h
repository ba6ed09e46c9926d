#pragma once
// How the running program's answers grow with the user's data: start-up,
// the Settings page's selection, page switches and commands, the Convert
// page's refill and 保存, on made-up databases of up to 50,000 members and
// 20,000 groups beside the shipped one.
#include <string>

// Runs in the current folder, which it fills with dv.dat files of its own;
// shipped_database holds the bytes of the shipped dv.dat. Prints a line per
// figure, each the median of the rounds. Returns 0 when every window came up.
int measure_sizes(const std::string& shipped_database, int rounds);
