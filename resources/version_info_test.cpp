// The version resource as Explorer reads it from the built programs: the
// numbers of the build, in the Simplified Chinese block, the texts in code
// page 936 once converted back. And the application manifest that Windows
// reads from them when it starts one.
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

// The manifest that Windows reads when it starts the program: resource 1 of
// type RT_MANIFEST; empty when there is none.
std::string manifest_of(const char* program)
{
    HMODULE file = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file)
        return "";
    std::string text;
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (found) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(file, found)));
        text.assign(data, SizeofResource(file, found));
    }
    FreeLibrary(file);
    return text;
}

void expect_manifest_of(const char* program, const char* name)
{
    SCOPED_TRACE(program);
    std::string manifest = manifest_of(program);
    ASSERT_NE(manifest, "");
    auto holds = [&](const std::string& part) { return manifest.find(part) != std::string::npos; };
    EXPECT_TRUE(holds(std::string("name=\"Duvarin.") + name + "\" version=\"" DUVARIN_VERSION_TEXT ".0"));
    // No elevation, and with it no file virtualization: a file that cannot
    // be written fails as such.
    EXPECT_TRUE(holds("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
    // Vista, 7, 8, 8.1, 10 and 11: no compatibility shims.
    for (const char* id : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_TRUE(holds(std::string("<supportedOS Id=\"{") + id + "}\"/>")) << id;
    // Nothing that changes the look: the layout is drawn in pixels for the
    // classic controls.
    EXPECT_FALSE(holds("Common-Controls"));
    EXPECT_FALSE(holds("dpiAware"));
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

TEST(ApplicationManifest, BothProgramsRunAsInvokedOnEveryWindowsTheyKnow)
{
    expect_manifest_of(DUVARIN_PROGRAM, "duvarin");
    expect_manifest_of(DVTOOL_PROGRAM, "dvtool");
}
