// The Windows build has no XML parser to read the reference rates with.
#include "tools/dvtool/page_command.h"

int page_command(const std::vector<std::string>&, bool, std::string&, std::string& err)
{
    err += "dvtool: page is in the Linux dvtool only (its XML parser has no Windows build)\n";
    return 2;
}
