#pragma once
// Spaces and tabs in the text files dvtool reads (the unit text, the price
// table): spacing, never part of a name or a number.
#include <string>

bool is_blank(char c);
// The text without blanks at either end.
std::string trimmed(const std::string& text);
