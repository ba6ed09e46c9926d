#pragma once
// dv.dat: the unit database on disk, field by field, little-endian.

// Fills the empty database from the file; a missing, short or damaged file
// leaves it empty.
void load_database(const char* file_name);

// Writes the whole database. The old file survives any failure. Returns
// whether the file now holds the database.
bool save_database(const char* file_name);
