// dvtool: dumps, builds and checks the unit database file dv.dat.
#include "tools/dvtool/dvtool_commands.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::string out;
    std::string err;
    int status = run_dvtool(argc, argv, out, err);
    fwrite(out.data(), 1, out.size(), stdout);
    fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
