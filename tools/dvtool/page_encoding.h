#pragma once
// Whether a quotation page is GBK, the one encoding the program reads its
// pages in: a page in another one still gives rates, but every Chinese name
// reaches users as other characters.
#include <string>

// Empty for a page that is GBK, else what says it is not: bytes that GBK
// has no character for, text that is UTF-8, a charset it declares.
std::string encoding_problem(const std::string& page);
