#pragma once
// The units text: the unit database as a person reads and edits it, one
// [group] line before its members, one member a line with its name, a and b.
// name_form.h and coefficient_form.h say how names and numbers are written.
#include <string>
#include <vector>

// The whole database in the text form, in GBK: names as they are stored
// (escaped where needed), everything else ASCII or GBK comments.
std::string write_units_text();

// A line may end with "= definition": the quantity in a form that GNU units
// reads. On a group line it is the group's base, the quantity that every
// member's a and b refer to; on a member line it is the member's unit. dv.dat
// keeps no definitions: they are there to check the coefficients against.
struct UnitDefinition {
    int line;          // in the text, for messages
    int group;         // position of the group, from 0
    int member;        // position of the member in its group, or -1 for the base
    std::string text;  // printable ASCII, as written
};

// Replaces the database with the groups of a units text, UTF-8 (an optional
// byte-order mark is skipped) or, with gbk_input, GBK. Returns false, with
// the database empty and error holding "file:line: what", when any line is
// wrong or there is no group at all.
// The definitions go into definitions when it is given.
bool read_units_text(const std::string& text, bool gbk_input, const char* file_name, std::string& error,
                     std::vector<UnitDefinition>* definitions = nullptr);
