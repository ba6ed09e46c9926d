"""Bitmap 101: the 240x240 sheet of the three page buttons.

Columns are the buttons (Convert, Settings, Update), rows the states
(normal, hover, selected).  Wherever no icon is drawn a tile shows exactly
its state's colour, because the window's tests read those pixels back.
"""

from artwork import icons
from artwork.raster import Image, over, render
from artwork.shapes import move

TILE = 80
LIGHT_GREY = (192, 192, 192)
DARK_GREY = (128, 128, 128)
# The selected icon sits one pixel lower and to the right, like a pressed key.
PRESS_OFFSET = 1


def _moved(layers, offset):
    for layer in layers:
        layer.shape = move(layer.shape, offset, offset)
    return layers


def _hover_frame(tile):
    """A one-pixel dark grey line just inside the tile edge."""
    last = TILE - 2
    for k in range(1, TILE - 1):
        for x, y in ((k, 1), (k, last), (1, k), (last, k)):
            tile.set(x, y, DARK_GREY)


def draw_sprites():
    sheet = Image(3 * TILE, 3 * TILE)
    for column, icon in enumerate(icons.ICONS):
        artwork = render(icon(), TILE, TILE)
        pressed = render(_moved(icon(), PRESS_OFFSET), TILE, TILE)
        normal = Image(TILE, TILE, over(artwork, LIGHT_GREY))
        hover = Image(TILE, TILE, over(artwork, LIGHT_GREY))
        _hover_frame(hover)
        selected = Image(TILE, TILE, over(pressed, DARK_GREY))
        for row, tile in enumerate((normal, hover, selected)):
            sheet.paste(tile, column * TILE, row * TILE)
    return sheet
