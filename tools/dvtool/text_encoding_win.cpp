// The Windows build converts through UTF-16 with the system's code pages.
#include "tools/dvtool/text_encoding.h"

#include <windows.h>

#include <vector>

namespace {

const UINT gbk_code_page = 936;

bool to_wide(UINT code_page, const std::string& in, std::vector<wchar_t>& wide)
{
    int size = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(size);
    return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), wide.data(), size) == size;
}

bool from_wide(UINT code_page, const std::vector<wchar_t>& wide, std::string& out)
{
    // The UTF-8 code page refuses the default-character arguments, and never
    // needs them: every UTF-16 text has a UTF-8 form.
    BOOL used_default = FALSE;
    BOOL* check_default = code_page == CP_UTF8 ? nullptr : &used_default;
    DWORD flags = code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(code_page, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, check_default);
    if (size <= 0 || used_default)
        return false;
    out.resize(size);
    return WideCharToMultiByte(code_page, flags, wide.data(), int(wide.size()), &out[0], size, nullptr,
                               check_default) == size &&
           !used_default;
}

bool convert(UINT to, UINT from, const std::string& in, std::string& out)
{
    out.clear();
    if (in.empty())
        return true;
    std::vector<wchar_t> wide;
    return to_wide(from, in, wide) && from_wide(to, wide, out);
}

}  // namespace

bool gbk_to_utf8(const std::string& gbk, std::string& utf8)
{
    return convert(CP_UTF8, gbk_code_page, gbk, utf8);
}

bool utf8_to_gbk(const std::string& utf8, std::string& gbk)
{
    return convert(gbk_code_page, CP_UTF8, utf8, gbk);
}
