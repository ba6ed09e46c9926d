#pragma once
// dvtool page [--force] ECB_XML OUT_HTML [TABLE_CSV]: the quotation page from
// the European Central Bank's reference rates and the host's own prices,
// checked against the page it replaces.
#include <cstddef>
#include <string>
#include <vector>

// The bank's daily file is under 2 kB, a page of every currency about
// 10 kB: an input of more (the rates, the price table, a page to compare
// with or to scan) is no table of rates, however it was served, and is not
// read any further than this.
const size_t largest_input = 1024 * 1024;

// words: the command and its files; force: take a file that the page it
// replaces would refuse. Returns the exit status: 0 written, or the same
// page again and left as it was; 1 an input refused or the page not
// written, the old page untouched.
int page_command(const std::vector<std::string>& words, bool force, std::string& out, std::string& err);
