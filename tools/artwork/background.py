"""Bitmap 102: the 700x500 window background.

A teal field, a raised light grey panel behind the page buttons and a sunken
light blue area for the page contents.  Both frames are two pixels deep and
lie on the bounds given (inclusive); inside them the colour is flat, since
the window's tests read pixels there.
"""

from artwork.raster import Image, Layer, opaque, render
from artwork.shapes import rect, rounded_rect

WIDTH, HEIGHT = 700, 500
TEAL = (0, 160, 192)
PANEL_GREY = (192, 192, 192)
CONTENT_BLUE = (166, 202, 240)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

PANEL = (19, 80, 132, 403)
PANEL_RADIUS = 7
CONTENT = (146, 35, 668, 467)


def bevel(bounds, radius, outer, inner, fill):
    """Layers of a box whose top-left and bottom-right edges differ in colour.

    outer and inner are (top-left colour, bottom-right colour) pairs for the
    outermost pixel ring and the one inside it.  The split between the two
    sides runs along the diagonal from the bottom-left to the top-right
    corner, so each corner arc changes colour where it turns.
    """
    x0, y0, x1, y1 = bounds
    x1 += 1
    y1 += 1
    width, height = x1 - x0, y1 - y0

    def split(top_left, bottom_right):
        # Which side of the diagonal a point lies on, measured in box units.
        def paint(x, y):
            u = (x - x0) / width + (y - y0) / height
            return top_left if u < 1.0 else bottom_right
        return paint

    shapes = [rounded_rect(x0, y0, x1, y1, radius),
              rounded_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(radius - 1, 0)),
              rounded_rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, max(radius - 2, 0))]
    return [Layer(shapes[0], split(*outer)),
            Layer(shapes[1], split(*inner)),
            Layer(shapes[2], fill)]


def draw_background():
    layers = [Layer(rect(0, 0, WIDTH, HEIGHT), TEAL)]
    # Raised: light from the top left, as on a push button.
    layers += bevel(PANEL, PANEL_RADIUS, (WHITE, BLACK),
                     ((232, 232, 232), (128, 128, 128)), PANEL_GREY)
    # Sunken: the page area reads as a well the controls stand in.
    layers += bevel(CONTENT, 0, (BLACK, WHITE),
                     ((96, 128, 160), (214, 230, 248)), CONTENT_BLUE)
    return Image(WIDTH, HEIGHT, opaque(render(layers, WIDTH, HEIGHT)))
