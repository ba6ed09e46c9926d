#pragma once
#include "database/unit_database.h"

const int line_limit = 300;  // a scanned line holds at most this many bytes

// Copies the line at cursor into line (line_limit + 1 bytes). Returns the
// cursor of the following line, or nullptr at the end of the text.
const char* read_line(const char* cursor, char* line, int limit);
void trim_leading_spaces(char* text, int limit);
void strip_tags(char* text, int limit);
void clean_number(char* text, int limit);

// Writes the rates of one column (0..4) of a received quotation page into
// the group. Returns the number of table rows whose cell in that column
// holds a number: a page without any is no rate table, whatever it wrote.
int scan_quotation(const char* reply, UnitGroup* group, int column);
