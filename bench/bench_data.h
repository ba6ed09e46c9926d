#pragma once
// Databases and pages of a chosen size for the benchmarks.
#include "database/unit_database.h"
#include <string>
#include <vector>

// The name of member k (and of group k) in the generated databases.
std::string unit_name(int k);

// Writes a dv.dat of groups × members straight from the file layout, so
// that making a big file costs nothing of the code being measured. Names
// are distinct within each chain and every a is non-zero.
bool write_database_file(const std::string& path, int groups, int members);
// The same with one group per entry, of that many members.
bool write_database_file(const std::string& path, const std::vector<int>& member_counts);

// A group of the given size appended to the database with append_member.
UnitGroup* build_group(int members);

// A quotation page of at most size bytes (the reply buffer holds 256 kB): the
// reply head, the header frame, then rows of the usual shape with distinct
// currency names until the page is full. rows gets the number of rows.
std::string quotation_page(int size, int* rows);

// The page with the most rows that size bytes can hold: every line of a row
// frame as short as the scan allows, every name different.
std::string crowded_quotation_page(int size, int* rows);
