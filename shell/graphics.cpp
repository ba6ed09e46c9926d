#include "shell/graphics.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/window_text.h"

namespace {

// A memory surface does not own the bitmap selected into it, so the bitmaps
// are kept to be deleted after their surfaces.
HBITMAP sprite_bitmap;
HBITMAP background_bitmap;

}  // namespace

HFONT create_ui_font()
{
    return create_font(14, 500, GB2312_CHARSET, FF_SWISS | DEFAULT_PITCH, "宋体");
}

void load_graphics(HINSTANCE instance)
{
    sprite_image = CreateCompatibleDC(nullptr);
    background_image = CreateCompatibleDC(nullptr);
    sprite_bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_SPRITES));
    SelectObject(sprite_image, sprite_bitmap);
    background_bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    SelectObject(background_image, background_bitmap);
}

namespace {

void delete_surface(HDC& surface, HBITMAP& bitmap)
{
    if (surface)
        DeleteDC(surface);
    if (bitmap)
        DeleteObject(bitmap);
    surface = nullptr;
    bitmap = nullptr;
}

}  // namespace

void release_graphics()
{
    // Cleared as they go, so that drawing after the window is gone finds
    // no handle that the system may already have given to something else.
    delete_surface(background_image, background_bitmap);
    delete_surface(sprite_image, sprite_bitmap);
    if (ui_font)
        DeleteObject(ui_font);
    ui_font = nullptr;
}
