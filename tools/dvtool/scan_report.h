#pragma once
// dvtool scan PAGE: what each of the five tables of the Update page would
// store from a quotation page, read by the program's own scanner.
#include <string>

// The report in GBK: whether the page is GBK, then for every table whether
// the download would take the page, and each currency's price and
// coefficient a. rated_tables tells how many tables would take it, gbk
// whether the page is GBK.
std::string describe_scan(const std::string& page, int& rated_tables, bool& gbk);
