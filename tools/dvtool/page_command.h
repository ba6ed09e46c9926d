#pragma once
// dvtool page ECB_XML OUT_HTML [TABLE_CSV]: the quotation page from the
// European Central Bank's reference rates and the host's own prices.
#include <string>
#include <vector>

// words: the command and its files. Returns the exit status: 0 written;
// 1 an input refused or the page not written, the old page untouched.
int page_command(const std::vector<std::string>& words, std::string& out, std::string& err);
