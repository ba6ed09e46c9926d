#pragma once
#include <cstdio>

// The platform calls behind a file replacement (replace_file_posix.cpp,
// replace_file_win.cpp).

enum class CreateOutcome { created, name_taken, failed };

// Creates a new file for writing in binary mode; never opens an existing one.
FILE* create_new_file(const char* name, CreateOutcome& outcome);

// A number that tells this process apart from any other running now.
unsigned long process_tag();

// Puts what has been written to the stream onto the disk.
bool commit_to_disk(FILE* stream);

// Makes the file named replacement the target, in one step.
bool replace_target(const char* replacement, const char* target);

void remove_file(const char* name);
