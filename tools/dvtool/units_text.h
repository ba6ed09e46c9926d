#pragma once
// The units text: the unit database as a person reads and edits it, one
// [group] line before its members, one member a line with its name, a and b.
// name_form.h and coefficient_form.h say how names and numbers are written.
#include <string>

// The whole database in the text form, in GBK: names as they are stored
// (escaped where needed), everything else ASCII or GBK comments.
std::string write_units_text();

// Replaces the database with the groups of a units text, UTF-8 (an optional
// byte-order mark is skipped) or, with gbk_input, GBK. Returns false, with
// the database empty and error holding "file:line: what", when any line is
// wrong or there is no group at all.
bool read_units_text(const std::string& text, bool gbk_input, const char* file_name,
                     std::string& error);
