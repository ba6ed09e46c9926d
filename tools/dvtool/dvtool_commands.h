#pragma once
// dvtool: the command line around dv.dat. The commands write into out and
// err rather than the streams, so tests can run them in-process.
#include <string>

// Returns the exit status: 0 done; 1 the file loads as an empty database
// (dump, check) or the text has errors or could not be saved (build); 2 a
// usage error or an input file that does not exist.
int run_dvtool(int argc, const char* const* argv, std::string& out, std::string& err);
