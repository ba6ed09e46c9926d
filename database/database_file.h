#pragma once
// dv.dat: the unit database on disk, field by field, little-endian.
#include <cstdint>

enum class DatabaseFileState {
    missing,  // no file: the first start
    loaded,
    damaged,  // a file that does not load: too short, no groups, a record cut off
};

// Fills the empty database from the file; a missing, short or damaged file
// leaves it empty, and the result says which.
DatabaseFileState load_database(const char* file_name);

// Writes the whole database. The old file survives any failure. Returns
// whether the file now holds the database.
bool save_database(const char* file_name);

// A digest of the bytes save_database would write, to tell whether the
// database still is what was loaded or saved.
uint64_t database_digest();

// Copies a file byte for byte over another, safely as save_database writes.
// Returns whether the copy now holds the file's bytes.
bool copy_file_bytes(const char* source, const char* copy);
