#pragma once
// The text dvtool check prints after the file's name: the verdict, then, for
// a file that loads, its groups and members as the program would list them
// and anything about them the user would want to know.
#include "tools/dvtool/file_check.h"

#include <string>

// The report in GBK. For a file that loads, the database must hold what
// load_database made of it.
std::string describe_check(const FileCheck& check);
