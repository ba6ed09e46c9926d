"""The three page-button icons, drawn in an 80x80 box.

Each stays within 6..74, so the rings along the tile edges, where the hover
frame runs, keep the plain tile colour.
"""

import math

from artwork.raster import Layer, gradient
from artwork.shapes import (grow, intersect, move, polygon, polyline, rect,
                            ring, rounded_rect, sector, subtract, union)

SHADOW = (0, 0, 0)


def _shadowed(shape, alpha=0.22):
    """A soft drop shadow below and right of the shape."""
    return [Layer(grow(move(shape, 2.0, 2.5), 0.8), SHADOW, alpha * 0.6),
            Layer(move(shape, 1.5, 1.8), SHADOW, alpha)]


def _point(cx, cy, r, degrees):
    a = math.radians(degrees)
    return (cx + r * math.cos(a), cy + r * math.sin(a))


def curved_arrow(cx, cy, r, width, tail, base, tip):
    """A stroke along a circle from angle tail to base, then a head to tip."""
    band = intersect(ring(cx, cy, r, width), sector(cx, cy, tail, base))
    head_half = width * 1.2
    head = polygon([_point(cx, cy, r - head_half, base - 0.5),
                    _point(cx, cy, r, tip),
                    _point(cx, cy, r + head_half, base - 0.5)])
    return union(band, head)


def convert_arrows(cx, cy, r, w, outline=1.3, shadow=True, edge=(14, 40, 120),
                   light=(120, 190, 255), dark=(18, 72, 196), gloss=True):
    """Layers of the Convert motif: two arrows chasing round a circle."""
    arrows = [curved_arrow(cx, cy, r, w, -150, -38, 6),
              curved_arrow(cx, cy, r, w, 30, 142, 186)]
    both = union(*arrows)
    fill = gradient(cx - 0.8 * r, cy - 1.15 * r, light,
                    cx + 0.8 * r, cy + 1.25 * r, dark)
    layers = _shadowed(both) if shadow else []
    if outline:
        layers.append(Layer(grow(both, outline), edge))
    layers.append(Layer(both, fill))
    if gloss:
        # A light stripe along the outer side of each arrow.
        stripe = intersect(both, ring(cx, cy, r + w * 0.28, w * 0.26))
        layers.append(Layer(stripe, (255, 255, 255), 0.45))
    return layers


def convert_icon():
    return convert_arrows(40.0, 40.0, 22.5, 9.0)


def settings_icon():
    """A yellow folder holding a white document."""
    back = union(rounded_rect(12, 24, 66, 64, 3),
                 rounded_rect(12, 19, 34, 28, 3))
    sheet_outline = polygon([(22, 11), (50, 11), (59, 20), (59, 52), (22, 52)])
    fold = polygon([(50, 11), (50, 20), (59, 20)])
    # Growing a slightly smaller outline rounds the flap's corners.
    front = grow(polygon([(21.5, 36.4), (69.2, 36.4), (62.8, 64.6), (12.8, 64.6)]), 1.4)
    edge = (120, 80, 10)
    layers = _shadowed(union(back, front))
    layers.append(Layer(grow(back, 1.2), edge))
    layers.append(Layer(back, gradient(0, 19, (236, 176, 42), 0, 64, (204, 140, 20))))
    layers.append(Layer(grow(sheet_outline, 1.0), (96, 96, 96)))
    layers.append(Layer(sheet_outline, gradient(22, 11, (255, 255, 255), 59, 52,
                                                (232, 236, 240))))
    layers.append(Layer(grow(fold, 0.6), (110, 110, 110)))
    layers.append(Layer(fold, (206, 210, 216)))
    for k, length in enumerate((17, 26, 24, 27, 18)):
        y = 18 + 5.2 * k
        layers.append(Layer(polyline([(27, y), (27 + length, y)], 1.8), (120, 140, 170)))
    layers.append(Layer(grow(front, 1.2), edge))
    layers.append(Layer(front, gradient(0, 35, (255, 228, 110), 0, 67, (238, 180, 36))))
    highlight = subtract(front, move(front, 0, 2.2))
    layers.append(Layer(highlight, (255, 250, 210), 0.8))
    return layers


def _book(x0, y0, x1, y1, cover, dark):
    """A book lying flat, spine on the left, page edges on the right."""
    body = rounded_rect(x0, y0, x1, y1, 2.5)
    pages = rect(x0 + 6, y0 + 2.6, x1 - 1.4, y1 - 2.6)
    layers = [Layer(grow(body, 1.1), dark),
              Layer(body, gradient(0, y0, cover, 0, y1, dark)),
              Layer(pages, (250, 246, 228))]
    for k in range(1, 3):
        y = y0 + 2.6 + (y1 - y0 - 5.2) * k / 3
        layers.append(Layer(polyline([(x0 + 8, y), (x1 - 2.5, y)], 0.6),
                            (180, 170, 140)))
    spine = rect(x0 + 2.2, y0 + 1.2, x0 + 3.6, y1 - 1.2)
    layers.append(Layer(spine, (255, 255, 255), 0.35))
    return layers, body


def update_icon():
    """A blue arrow pointing down onto a stack of red and green books."""
    red, dark_red = (232, 64, 52), (128, 20, 18)
    green, dark_green = (70, 190, 80), (20, 96, 32)
    books = [_book(11, 57, 67, 69, green, dark_green),
             _book(16, 46, 69, 57.5, red, dark_red),
             _book(13, 35, 63, 46.5, green, dark_green)]
    arrow = union(rect(34, 8, 46, 22), polygon([(23, 21), (57, 21), (40, 37)]))
    layers = _shadowed(union(*(body for _, body in books)))
    for book_layers, _ in books:
        layers += book_layers
    layers += _shadowed(arrow, 0.18)
    layers.append(Layer(grow(arrow, 1.3), (14, 40, 120)))
    layers.append(Layer(arrow, gradient(34, 8, (130, 196, 255), 46, 34, (20, 80, 200))))
    shine = intersect(arrow, rect(35.5, 9.5, 38, 22))
    layers.append(Layer(shine, (255, 255, 255), 0.4))
    return layers


ICONS = (convert_icon, settings_icon, update_icon)
