// The resources as the program finds them: linked into this test program
// exactly as into the executable, loaded through the same calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

void PrintTo(const Rgb& c, std::ostream* os)
{
    *os << "RGB(" << c.r << "," << c.g << "," << c.b << ")";
}

const Rgb light_grey{192, 192, 192}, dark_grey{128, 128, 128}, teal{0, 160, 192}, light_blue{166, 202, 240},
    white{255, 255, 255}, black{0, 0, 0};

HINSTANCE self()
{
    return GetModuleHandleA(nullptr);
}

SIZE bitmap_size(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// A bitmap read back through GetDIBits, top row first.
struct Pixels {
    int width = 0;
    std::vector<uint32_t> bits;
    Rgb at(int x, int y) const
    {
        uint32_t v = bits[y * width + x];
        return {int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)};
    }
};

Pixels load_pixels(int id)
{
    Pixels p;
    HBITMAP bitmap = LoadBitmapA(self(), MAKEINTRESOURCEA(id));
    if (!bitmap)
        return p;
    SIZE size = bitmap_size(bitmap);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    p.bits.resize(size_t(size.cx) * size.cy);
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, size.cy, p.bits.data(), &info, DIB_RGB_COLORS) == size.cy)
        p.width = size.cx;
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return p;
}

std::wstring wide(const char* gbk)
{
    wchar_t buffer[512];
    int n = MultiByteToWideChar(936, 0, gbk, -1, buffer, 512);
    return n > 0 ? std::wstring(buffer, n - 1) : std::wstring();
}

// Little-endian fields of a resource, read one by one.
struct Reader {
    const uint8_t* base;
    size_t at;
    uint16_t word()
    {
        uint16_t v;
        std::memcpy(&v, base + at, 2);
        at += 2;
        return v;
    }
    uint32_t dword()
    {
        uint32_t v;
        std::memcpy(&v, base + at, 4);
        at += 4;
        return v;
    }
    uint8_t byte() { return base[at++]; }
    void align() { at = (at + 3) & ~size_t(3); }
    std::wstring text_or_ordinal()  // an ordinal reads as L"#n"
    {
        uint16_t first = word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(word());
        std::wstring s;
        for (uint16_t c = first; c != 0; c = word())
            s += wchar_t(c);
        return s;
    }
};

Reader open_resource(int id, int type)
{
    HRSRC found = FindResourceA(self(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    const void* data = found ? LockResource(LoadResource(self(), found)) : nullptr;
    return {static_cast<const uint8_t*>(data), 0};
}

}  // namespace

TEST(Resources, HaveTheSizesAndLanguageTheProgramLoadsThemWith)
{
    const struct {
        int id;
        LONG width, height;
    } bitmaps[] = {{IDB_SPRITES, 240, 240}, {IDB_BACKGROUND, 700, 500}, {IDB_ABOUT, 97, 127}};
    const WORD prc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    for (const auto& b : bitmaps) {
        HBITMAP bitmap = LoadBitmapA(self(), MAKEINTRESOURCEA(b.id));
        ASSERT_NE(bitmap, nullptr) << "bitmap " << b.id;
        SIZE size = bitmap_size(bitmap);
        EXPECT_EQ(size.cx, b.width) << "bitmap " << b.id;
        EXPECT_EQ(size.cy, b.height) << "bitmap " << b.id;
        DeleteObject(bitmap);
        EXPECT_NE(FindResourceExA(self(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(b.id), prc), nullptr);
    }
    EXPECT_NE(FindResourceExA(self(), MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(IDI_APPLICATION_ICON), prc), nullptr);
    EXPECT_NE(FindResourceExA(self(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_ABOUT), prc), nullptr);
}

// --- the button sprite sheet ---

class SpriteSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sheet = load_pixels(IDB_SPRITES); }
    void SetUp() override { ASSERT_EQ(sheet.width, 240); }
    static Pixels sheet;

    // Every pixel of ring `inset` of tile (column, row) has `colour`.
    static ::testing::AssertionResult ring_is(int column, int row, int inset, Rgb colour)
    {
        int x0 = column * 80 + inset, y0 = row * 80 + inset, last = 79 - 2 * inset;
        for (int k = 0; k <= last; ++k) {
            const int points[4][2] = {{x0 + k, y0}, {x0 + k, y0 + last}, {x0, y0 + k}, {x0 + last, y0 + k}};
            for (const auto& p : points)
                if (!(sheet.at(p[0], p[1]) == colour))
                    return ::testing::AssertionFailure()
                           << "(" << p[0] << "," << p[1] << ") is " << ::testing::PrintToString(sheet.at(p[0], p[1]));
        }
        return ::testing::AssertionSuccess();
    }

    static int count(int column, int row, bool (*test)(Rgb))
    {
        int n = 0;
        for (int y = row * 80; y < row * 80 + 80; ++y)
            for (int x = column * 80; x < column * 80 + 80; ++x)
                n += test(sheet.at(x, y));
        return n;
    }
};
Pixels SpriteSheet::sheet;

TEST_F(SpriteSheet, TilesShowTheirStateColourRoundTheIconAndHoverAFrameOnePixelIn)
{
    EXPECT_EQ(sheet.at(1, 81), dark_grey);
    const Rgb rings[3][4] = {{light_grey, light_grey, light_grey, light_grey},
                             {light_grey, dark_grey, light_grey, light_grey},
                             {dark_grey, dark_grey, dark_grey, dark_grey}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int inset = 0; inset < 4; ++inset)
                EXPECT_TRUE(ring_is(column, row, inset, rings[row][inset]))
                    << "column " << column << " row " << row << " inset " << inset;
}

TEST_F(SpriteSheet, HoverIsTheNormalTileWithOnlyTheFrameAdded)
{
    for (int y = 2; y < 78; ++y)
        for (int x = 0; x < 240; ++x) {
            if (x % 80 < 2 || x % 80 >= 78)
                continue;
            ASSERT_EQ(sheet.at(x, y + 80), sheet.at(x, y)) << x << "," << y;
        }
}

namespace {
bool bluish(Rgb c)
{
    return c.b > 150 && c.b > c.r + 60 && c.b > c.g + 30;
}
bool yellow(Rgb c)
{
    return c.r > 200 && c.g > 150 && c.b < 110;
}
bool red(Rgb c)
{
    return c.r > 120 && c.r > 2 * c.g && c.r > 2 * c.b;
}
bool green(Rgb c)
{
    return c.g > 100 && 2 * c.g > 3 * c.r && 2 * c.g > 3 * c.b;
}
}  // namespace

TEST_F(SpriteSheet, ColumnsAreConvertSettingsUpdateInEveryState)
{
    for (int row = 0; row < 3; ++row) {
        // Convert: blue arrows, nothing yellow, red or green.
        EXPECT_GT(count(0, row, bluish), 500) << "row " << row;
        EXPECT_EQ(count(0, row, yellow) + count(0, row, red) + count(0, row, green), 0) << "row " << row;
        // Settings: a yellow folder.
        EXPECT_GT(count(1, row, yellow), 800) << "row " << row;
        EXPECT_EQ(count(1, row, red) + count(1, row, green), 0) << "row " << row;
        // Update: a blue arrow over red and green books.
        EXPECT_GT(count(2, row, bluish), 200) << "row " << row;
        EXPECT_GT(count(2, row, red), 100) << "row " << row;
        EXPECT_GT(count(2, row, green), 200) << "row " << row;
    }
}

// --- the window background ---

class Background : public ::testing::Test {
protected:
    static void SetUpTestSuite() { image = load_pixels(IDB_BACKGROUND); }
    void SetUp() override { ASSERT_EQ(image.width, 700); }
    static Pixels image;
};
Pixels Background::image;

TEST_F(Background, PanelIsRaisedLightGreyOnItsBoundsInATealField)
{
    for (auto p : {POINT{5, 5}, {0, 0}, {699, 499}, {139, 250}, {75, 450}, {685, 250}})
        EXPECT_EQ(image.at(p.x, p.y), teal) << p.x << "," << p.y;
    for (int y : {84, 100, 240, 399})
        for (int x : {23, 75, 128})
            EXPECT_EQ(image.at(x, y), light_grey) << x << "," << y;
    // The outline lies on x 19 and 132, y 80 and 403, with rounded corners.
    EXPECT_EQ(image.at(18, 240), teal);
    EXPECT_EQ(image.at(19, 240), white);
    EXPECT_EQ(image.at(132, 240), black);
    EXPECT_EQ(image.at(133, 240), teal);
    EXPECT_EQ(image.at(75, 79), teal);
    EXPECT_EQ(image.at(75, 80), white);
    EXPECT_EQ(image.at(75, 403), black);
    EXPECT_EQ(image.at(75, 404), teal);
    EXPECT_EQ(image.at(19, 80), teal);
    EXPECT_EQ(image.at(132, 403), teal);
}

TEST_F(Background, ContentAreaIsSunkenLightBlueOnItsBounds)
{
    for (int y : {37, 45, 250, 465})
        for (int x : {148, 160, 400, 666})
            EXPECT_EQ(image.at(x, y), light_blue) << x << "," << y;
    EXPECT_EQ(image.at(145, 250), teal);
    EXPECT_EQ(image.at(146, 250), black);
    EXPECT_EQ(image.at(668, 250), white);
    EXPECT_EQ(image.at(669, 250), teal);
    EXPECT_EQ(image.at(400, 34), teal);
    EXPECT_EQ(image.at(400, 35), black);
    EXPECT_EQ(image.at(400, 467), white);
    EXPECT_EQ(image.at(400, 468), teal);
}

// The picture is stored run-length encoded: every row must decode in full
// and in place, so every pixel of the plain areas is checked, not samples.
TEST_F(Background, EveryPixelOfThePlainAreasHasItsColour)
{
    auto inside = [](int x, int y, int x0, int y0, int x1, int y1) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x) {
            Rgb expected;
            if (!inside(x, y, 19, 80, 132, 403) && !inside(x, y, 146, 35, 668, 467))
                expected = teal;
            else if (inside(x, y, 148, 37, 666, 465))
                expected = light_blue;
            // Inside the panel's two-pixel outline, clear of its rounded corners.
            else if (inside(x, y, 26, 82, 125, 401) || inside(x, y, 21, 87, 130, 396))
                expected = light_grey;
            else
                continue;
            ASSERT_EQ(image.at(x, y), expected) << x << "," << y;
        }
}

TEST_F(Background, PageButtonsAndCaptionsSitOnPlainPanelGrey)
{
    // Tiles at (35, 90), (35, 190), (35, 290), captions below them: their grey
    // must meet the same grey all round.
    for (int top : {90, 190, 290})
        for (int y = top - 2; y < top + 102; ++y)
            for (int x = 33; x < 117; ++x)
                ASSERT_EQ(image.at(x, y), light_grey) << x << "," << y;
}

// --- the application icon ---

TEST(Icon, HasA32And16PixelImageOf16ColoursThatLoad)
{
    Reader group = open_resource(IDI_APPLICATION_ICON, 14);
    ASSERT_NE(group.base, nullptr);
    group.word();
    ASSERT_EQ(group.word(), 1);  // icons, not cursors
    ASSERT_EQ(group.word(), 2);
    for (int size : {32, 16}) {
        EXPECT_EQ(group.byte(), size);
        EXPECT_EQ(group.byte(), size);
        EXPECT_EQ(group.byte(), 16);  // colours
        group.byte();
        EXPECT_EQ(group.word(), 1);  // planes
        EXPECT_EQ(group.word(), 4);  // bits per pixel
        group.dword();
        group.word();

        HICON icon =
            static_cast<HICON>(LoadImageA(self(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_EQ(bitmap_size(info.hbmColor).cx, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(LoadIconA(self(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON)), nullptr);
}

// --- the About box template ---

TEST(AboutTemplate, IsAnExtendedTemplateWithChineseCaptionAndFontAndNoCloseBox)
{
    Reader d = open_resource(IDD_ABOUT, 5);
    ASSERT_NE(d.base, nullptr);
    EXPECT_EQ(d.word(), 1);       // version
    EXPECT_EQ(d.word(), 0xFFFF);  // extended
    d.dword();                    // help id
    EXPECT_EQ(d.dword(), 0u);     // extended style
    EXPECT_EQ(d.dword(), DWORD(WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | DS_CENTER | DS_SETFONT));
    EXPECT_EQ(d.word(), 4);  // controls
    for (int v : {0, 0, 240, 157})
        EXPECT_EQ(int16_t(d.word()), v);
    EXPECT_EQ(d.text_or_ordinal(), L"");  // menu
    EXPECT_EQ(d.text_or_ordinal(), L"");  // class
    EXPECT_EQ(d.text_or_ordinal(), wide("软件说明"));
    EXPECT_EQ(d.word(), 9);  // points
    EXPECT_EQ(d.word(), 0);  // weight
    EXPECT_EQ(d.byte(), 0);  // italic
    EXPECT_EQ(d.byte(), 1);  // character set
    EXPECT_EQ(d.text_or_ordinal(), wide("宋体"));
}

namespace {
// The predefined classes may be stored by name or by their ordinal.
bool is_class(const std::wstring& stored, const wchar_t* name, int ordinal)
{
    return _wcsicmp(stored.c_str(), name) == 0 || stored == L"#" + std::to_wstring(ordinal);
}
}  // namespace

TEST(AboutTemplate, ControlsComeInOrderWithTheirClassesIdsPlacesStylesAndTexts)
{
    const struct {
        const wchar_t* name;
        int ordinal;
        int32_t id;
        int16_t x, y, cx, cy;
        DWORD style, ex_style;
    } expected[] = {
        {L"STATIC", 0x82, -1, 7, 7, 155, 190, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0},
        {L"STATIC", 0x82, -1, 17, 96, 81, 43, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0},
        {L"BUTTON", 0x80, IDC_ABOUT_CLOSE, 200, 7, 33, 13, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
         WS_EX_STATICEDGE},
        {L"STATIC", 0x82, -1, 104, 29, 123, 94, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, WS_EX_CLIENTEDGE}};
    Reader d = open_resource(IDD_ABOUT, 5);
    ASSERT_NE(d.base, nullptr);
    d.at = 16;
    ASSERT_EQ(d.word(), 4);
    d.at += 8;
    for (int skip = 0; skip < 3; ++skip)
        d.text_or_ordinal();
    d.at += 6;
    d.text_or_ordinal();
    std::wstring texts[4];
    for (int i = 0; i < 4; ++i) {
        const auto& e = expected[i];
        d.align();
        d.dword();  // help id
        EXPECT_EQ(d.dword(), e.ex_style) << "control " << i + 1;
        EXPECT_EQ(d.dword(), e.style) << "control " << i + 1;
        for (int16_t v : {e.x, e.y, e.cx, e.cy})
            EXPECT_EQ(int16_t(d.word()), v) << "control " << i + 1;
        EXPECT_EQ(int32_t(d.dword()), e.id) << "control " << i + 1;
        EXPECT_TRUE(is_class(d.text_or_ordinal(), e.name, e.ordinal)) << "control " << i + 1;
        texts[i] = d.text_or_ordinal();
        d.at += d.word();  // creation data
    }
    EXPECT_EQ(texts[0], L"#" + std::to_wstring(IDB_ABOUT));
    EXPECT_EQ(texts[1].substr(0, 14), L"Duvarin v2.2\n\n");
    const std::wstring date = L"\n\n" + wide("著作时间：2011年7月");
    ASSERT_GT(texts[1].size(), 14 + date.size());
    EXPECT_EQ(texts[1].substr(texts[1].size() - date.size()), date);
    // The author line between them is one line of text.
    std::wstring author = texts[1].substr(14, texts[1].size() - 14 - date.size());
    EXPECT_FALSE(author.empty());
    EXPECT_EQ(author.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_EQ(texts[2], wide("关闭"));
    EXPECT_EQ(texts[3],
              wide("这是一款简洁的单位换算软件，支持用户编辑，实现多个单位同时转换，具有速度快，稳定性高的优点。\n"
                   "数据文件保存在程序目录的dv.dat文件中，请保证该文件的完整，否则无法正确使用 \n\n"
                   "2.2版更新内容：\n实现汇率在线更新"));
}
