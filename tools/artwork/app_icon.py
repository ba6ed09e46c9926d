"""Icon 104: the Convert arrows on a teal tile, 32x32 and 16x16, 16 colours.

Each size is drawn on its own grid (a scaled-down 32x32 would blur) and then
reduced to a palette of its own: black for the transparent pixels, which an
icon's colour bits must hold under its mask, and 15 colours found by a
k-means pass over the drawn pixels.
"""

from artwork.icons import convert_arrows
from artwork.image_files import ico_bytes, nearest_index
from artwork.raster import Image, Layer, gradient, render
from artwork.shapes import grow, rounded_rect

TEAL = (0, 160, 192)
DEEP_TEAL = (0, 110, 140)


def _layers(size):
    k = size / 32.0
    tile = rounded_rect(1 * k, 1 * k, 31 * k, 31 * k, 5.5 * k)
    layers = [Layer(grow(tile, 0.9), (0, 70, 90)),
              Layer(tile, gradient(0, 0, (40, 196, 224), size, size, DEEP_TEAL))]
    # At 16 pixels an outline would swallow the arrows: they go bare.
    small = size <= 16
    r, w = (4.9, 2.7) if small else (10.0, 5.0)
    layers += convert_arrows(size / 2, size / 2, r, w, outline=0 if small else 0.9,
                             shadow=False, edge=(10, 30, 96), light=(255, 255, 255),
                             dark=(190, 222, 255), gloss=False)
    return layers


def _flatten(artwork):
    """Opaque colours and mask: a pixel is drawn when mostly covered."""
    pixels, mask = [], []
    for r, g, b, a in artwork:
        if a >= 0.5:
            pixels.append(tuple(int(min(255, c / a) + 0.5) for c in (r, g, b)))
            mask.append(1)
        else:
            pixels.append((0, 0, 0))
            mask.append(0)
    return pixels, mask


def _palette(colours, count=15, rounds=12):
    """Deterministic k-means: seeds spread over the colours sorted by brightness."""
    ordered = sorted(set(colours), key=lambda c: (sum(c), c))
    if len(ordered) <= count:
        return ordered
    centres = [ordered[(len(ordered) - 1) * i // (count - 1)] for i in range(count)]
    for _ in range(rounds):
        sums = [[0, 0, 0, 0] for _ in centres]
        for c in colours:
            s = sums[nearest_index(centres, c)]
            s[0] += c[0]
            s[1] += c[1]
            s[2] += c[2]
            s[3] += 1
        centres = [tuple(int(s[i] / s[3] + 0.5) for i in range(3)) if s[3] else old
                   for s, old in zip(sums, centres)]
    return centres


def icon_image(size):
    pixels, mask = _flatten(render(_layers(size), size, size))
    drawn = [p for p, m in zip(pixels, mask) if m]
    palette = [(0, 0, 0)] + _palette(drawn)
    palette += [(0, 0, 0)] * (16 - len(palette))
    return Image(size, size, pixels), mask, palette


def icon_file():
    return ico_bytes([icon_image(32), icon_image(16)])
