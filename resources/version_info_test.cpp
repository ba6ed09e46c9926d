// The version resource as Explorer reads it from the built programs: the
// numbers of the build, in the Simplified Chinese block, the texts in code
// page 936 once converted back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duvarin_version.h"
#include "shell/application.h"

namespace {

struct VersionInfo {
    std::vector<char> data;
    const VS_FIXEDFILEINFO* fixed = nullptr;
};

VersionInfo read_version_info(const char* program)
{
    VersionInfo info;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(program, &handle);
    if (!size)
        return info;
    info.data.resize(size);
    if (!GetFileVersionInfoA(program, 0, size, info.data.data()))
        return info;
    void* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data.data(), L"\\", &fixed, &length) && length >= sizeof(VS_FIXEDFILEINFO))
        info.fixed = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return info;
}

// A value of the block 080403a8, as GBK; "(none)" when it is missing.
std::string string_value(const VersionInfo& info, const wchar_t* name)
{
    std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (info.data.empty() || !VerQueryValueW(const_cast<char*>(info.data.data()), path.c_str(), &value, &length))
        return "(none)";
    char gbk[256] = "";
    WideCharToMultiByte(936, 0, static_cast<const wchar_t*>(value), -1, gbk, sizeof gbk, nullptr, nullptr);
    return gbk;
}

void expect_version_of(const char* program, const char* description, const char* file)
{
    SCOPED_TRACE(program);
    VersionInfo info = read_version_info(program);
    ASSERT_NE(info.fixed, nullptr);
    EXPECT_EQ(info.fixed->dwSignature, 0xFEEF04BDu);
    DWORD major_minor = MAKELONG(DUVARIN_VERSION_MINOR, DUVARIN_VERSION_MAJOR);
    EXPECT_EQ(info.fixed->dwFileVersionMS, major_minor);
    EXPECT_EQ(info.fixed->dwProductVersionMS, major_minor);
    EXPECT_EQ(info.fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(string_value(info, L"ProductName"), "Duvarin");
    EXPECT_EQ(string_value(info, L"ProductVersion"), DUVARIN_VERSION_TEXT);
    EXPECT_EQ(string_value(info, L"FileVersion"), DUVARIN_VERSION_TEXT);
    EXPECT_EQ(string_value(info, L"FileDescription"), description);
    EXPECT_EQ(string_value(info, L"OriginalFilename"), file);

    // The one translation names the block's language and code page.
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 936);
}

}  // namespace

TEST(VersionResource, BothProgramsCarryTheVersionOfTheBuild)
{
    expect_version_of(DUVARIN_PROGRAM, "Duvarin 单位换算工具", "duvarin.exe");
    expect_version_of(DVTOOL_PROGRAM, "Duvarin 单位数据库命令行工具", "dvtool.exe");
}

// The window title is the program's own text and does not follow the build
// by itself: a new version number must reach it too.
TEST(VersionResource, TheWindowTitleNamesTheSameVersion)
{
    std::string title = main_window_title;
    EXPECT_EQ(title.substr(0, title.find(' ', 8)), "Duvarin v" DUVARIN_VERSION_TEXT);
}
