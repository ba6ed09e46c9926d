#pragma once
// The drawing objects of the shell: the one font and the two memory
// surfaces that all painting copies from.
#include <windows.h>

HFONT create_ui_font();
// Loads bitmaps 101 and 102 into sprite_image and background_image.
void load_graphics(HINSTANCE instance);
// Deletes background_image, then sprite_image, then ui_font.
void release_graphics();
