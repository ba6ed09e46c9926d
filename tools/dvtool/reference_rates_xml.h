#pragma once
// Reads the European Central Bank's euro reference rates file
// (eurofxref-daily.xml) with a real XML parser. Native builds only: the
// parser has no Windows build here.
#include "tools/dvtool/quotation_page.h"

#include <string>

// Returns an empty text, or what keeps the bytes from being one day of
// reference rates.
std::string read_reference_rates(const std::string& xml, ReferenceRates& rates);
