"""Bitmap 111: the 97x127 picture of the About box.

The Convert arrows on a light blue disc, a ruler below them and the
program's name, on the window's teal, framed like the button panel.
"""

from artwork.background import bevel
from artwork.glyphs import text_shape, text_width
from artwork.icons import convert_arrows
from artwork.raster import Image, Layer, gradient, opaque, render
from artwork.shapes import circle, grow, move, polyline, rect, rounded_rect

WIDTH, HEIGHT = 97, 127
TEAL = (0, 160, 192)
DEEP_TEAL = (0, 104, 140)
LIGHT_BLUE = (166, 202, 240)


def _ruler(x0, y0, x1, y1):
    body = rounded_rect(x0, y0, x1, y1, 1.5)
    layers = [Layer(move(body, 1.2, 1.5), (0, 0, 0), 0.25),
              Layer(grow(body, 1.0), (110, 76, 10)),
              Layer(body, gradient(0, y0, (255, 232, 140), 0, y1, (236, 190, 70)))]
    step = 3.0
    k = 0
    x = x0 + 3.0
    while x < x1 - 2.0:
        length = 5.5 if k % 5 == 0 else 3.0
        layers.append(Layer(polyline([(x, y0 + 0.6), (x, y0 + length)], 0.9),
                            (90, 60, 10)))
        x += step
        k += 1
    return layers


def _text(text, centre_x, baseline, scale, stroke):
    x = centre_x - text_width(text, scale) / 2
    shape = text_shape(text, x, baseline, scale, stroke)
    return [Layer(move(shape, 1.0, 1.0), (0, 60, 84), 0.7),
            Layer(shape, (255, 255, 255))]


def draw_about_picture():
    field = gradient(0, 0, TEAL, 0, HEIGHT, DEEP_TEAL)
    layers = [Layer(rect(0, 0, WIDTH, HEIGHT), (0, 0, 0))]
    layers += bevel((0, 0, WIDTH - 1, HEIGHT - 1), 0,
                     ((255, 255, 255), (0, 0, 0)), ((150, 220, 236), (0, 80, 104)), field)
    disc = circle(48.5, 37, 27)
    layers.append(Layer(grow(disc, 1.2), (255, 255, 255)))
    layers.append(Layer(disc, gradient(30, 14, (214, 232, 252), 66, 62, LIGHT_BLUE)))
    layers += convert_arrows(48.5, 37, 16.5, 6.8, outline=1.1)
    layers += _ruler(9, 71, 88, 80)
    layers += _text("Duvarin", 48.5, 105, 1.5, 2.1)
    layers += _text("v2.2", 48.5, 119, 0.85, 1.4)
    return Image(WIDTH, HEIGHT, opaque(render(layers, WIDTH, HEIGHT)))
