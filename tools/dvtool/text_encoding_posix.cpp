// The host build converts with iconv.
#include "tools/dvtool/text_encoding.h"

#include <cerrno>
#include <iconv.h>

namespace {

bool convert(const char* to, const char* from, const std::string& in, std::string& out)
{
    out.clear();
    iconv_t converter = iconv_open(to, from);
    if (converter == iconv_t(-1))
        return false;
    char* next_in = const_cast<char*>(in.data());
    size_t left_in = in.size();
    bool ok = true;
    while (ok && left_in > 0) {
        char buffer[256];
        char* next_out = buffer;
        size_t left_out = sizeof buffer;
        // An irreversible conversion is counted in the result; we want none.
        size_t result = iconv(converter, &next_in, &left_in, &next_out, &left_out);
        out.append(buffer, next_out - buffer);
        if (result == size_t(-1))
            ok = errno == E2BIG;
        else if (result > 0)
            ok = false;
    }
    iconv_close(converter);
    return ok;
}

}  // namespace

bool gbk_to_utf8(const std::string& gbk, std::string& utf8)
{
    return convert("UTF-8", "GBK", gbk, utf8);
}

bool utf8_to_gbk(const std::string& utf8, std::string& gbk)
{
    return convert("GBK", "UTF-8", utf8, gbk);
}
