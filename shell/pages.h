#pragma once
// The three pages: which controls each shows, painting straight into the
// main window, and the picture buttons that switch between them.
#include <windows.h>

const int page_convert = 1;
const int page_settings = 2;
const int page_update = 3;

// Shows the controls of one page and hides all others; current_page is
// left as it is.
void show_page(int page);
// Shows the page again from the paint handler, but only when its controls
// are not the visible ones (see pages.cpp).
void show_page_again(int page);
// Whether exactly the controls of the page are visible.
bool page_controls_shown(int page);

// Paints the window for current_page; the background first when the
// argument is exactly with_background.
const int with_background = 1;
const int without_background = 0;
void paint_page(int background);

// Copies a rectangle of a memory surface to the main window's client area.
void blit(int x, int y, int width, int height, HDC source, int source_x, int source_y);
// Left- and top-aligned text, one line, clipped to the rectangle, in the
// font and colours already selected into the context.
void draw_label(HDC dc, const char* text, int x, int y, int width, int height);

// The page whose button's hit box holds the client point, or 0. The hit box
// leaves out the tile's own left column and top row.
int page_button_at(int x, int y);
// The hover frame for a button that is not the current page's, or a
// repaint without background anywhere else.
void hover_page_button(int x, int y);
// A click on another page's button makes that page current.
void switch_page_at(int x, int y);
// What a click on the page's button does: nothing for the current page.
void switch_to_page(int page);
