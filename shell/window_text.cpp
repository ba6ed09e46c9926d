#include "shell/window_text.h"
#include <cstring>
#include "database/gbk_text.h"

namespace {

// A GBK text as UTF-16, for the one call that takes it; null stays null.
class WideText {
public:
    explicit WideText(const char* text) : none(!text)
    {
        wide[0] = 0;
        if (!text)
            return;
        int length = 0;
        while (length < shown_text_size - 1 && text[length])
            length++;
        // Each GBK character is one UTF-16 unit, so the units always fit.
        int units = length ? MultiByteToWideChar(gbk_code_page, 0, text, length, wide, shown_text_size - 1) : 0;
        wide[units > 0 ? units : 0] = 0;
    }
    const WCHAR* get() const { return none ? nullptr : wide; }

private:
    bool none;
    WCHAR wide[shown_text_size];
};

bool is_high_surrogate(WCHAR unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(WCHAR unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// One character (one UTF-16 unit, or the two of a surrogate pair, which
// GBK never holds) as its one or two GBK bytes, or "?".
int gbk_character(const WCHAR* character, int units, char* out /* 2 */)
{
    BOOL replaced = FALSE;
    // No best fit: a character stored must show as itself when shown again.
    int bytes = units == 1
                    ? WideCharToMultiByte(gbk_code_page, WC_NO_BEST_FIT_CHARS, character, 1, out, 2, nullptr, &replaced)
                    : 0;
    if (bytes > 0 && !replaced)
        return bytes;
    out[0] = '?';
    return 1;
}

}  // namespace

HWND create_window(DWORD extended_style, const WCHAR* window_class, const char* text, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance)
{
    return CreateWindowExW(extended_style, window_class, WideText(text).get(), style, x, y, width, height, parent, menu,
                           instance, nullptr);
}

void set_window_text(HWND window, const char* text)
{
    SetWindowTextW(window, WideText(text).get());
}

void read_window_text(HWND window, char* text, int size)
{
    if (size <= 0)
        return;
    if (size > read_text_size)
        size = read_text_size;
    // A character takes one byte at least and two units at most, so this
    // many units hold every character that can fit into size - 1 bytes.
    WCHAR wide[2 * read_text_size];
    int units = window ? GetWindowTextW(window, wide, 2 * (size - 1) + 1) : 0;
    char whole[4 * read_text_size];
    size_t length = 0;
    for (int i = 0; i < units;) {
        int width = is_high_surrogate(wide[i]) && i + 1 < units && is_low_surrogate(wide[i + 1]) ? 2 : 1;
        length += static_cast<size_t>(gbk_character(wide + i, width, whole + length));
        i += width;
    }
    whole[length] = 0;
    size_t kept = gbk_cut_length(whole, static_cast<size_t>(size - 1));
    std::memcpy(text, whole, kept);
    text[kept] = 0;
}

LRESULT send_text_message(HWND window, UINT message, WPARAM wparam, const char* text)
{
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(WideText(text).get()));
}

int show_message_box(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxW(owner, WideText(text).get(), WideText(caption).get(), type);
}

void draw_text(HDC dc, const char* text, RECT* box, UINT format)
{
    DrawTextW(dc, WideText(text).get(), -1, box, format);
}

HFONT create_font(int height, int weight, DWORD charset, DWORD pitch_and_family, const char* face)
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, 0, 0, 0, pitch_and_family,
                       WideText(face).get());
}
