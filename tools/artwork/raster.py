"""Anti-aliased rendering of layered shapes into RGB pixels.

A pixel that an edge passes through is supersampled (SAMPLES x SAMPLES
points, averaged); a pixel wholly inside or outside every shape is taken at
its centre.  Layers are composited in premultiplied form first, so the same
artwork can be laid over different backgrounds and a pixel no layer touches
keeps the background colour exactly.
"""

import math

SAMPLES = 6
# Half a pixel's diagonal plus a margin: beyond this distance from an edge
# the whole pixel lies on one side of it.
_EDGE = 0.75


class Layer:
    def __init__(self, shape, paint, alpha=1.0):
        self.shape = shape
        self.paint = paint if callable(paint) else solid(paint)
        self.alpha = alpha


def solid(colour):
    return lambda x, y: colour


def gradient(x0, y0, colour0, x1, y1, colour1):
    """Linear blend from colour0 at (x0, y0) to colour1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = dx * dx + dy * dy

    def paint(x, y):
        t = min(max(((x - x0) * dx + (y - y0) * dy) / length, 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(colour0, colour1))
    return paint


def _compose(stack):
    r = g = b = a = 0.0
    for colour, alpha in stack:
        keep = 1.0 - alpha
        r = colour[0] * alpha + r * keep
        g = colour[1] * alpha + g * keep
        b = colour[2] * alpha + b * keep
        a = alpha + a * keep
    return (r, g, b, a)


def _pixel(active, cx, cy):
    inside = []
    edges = []
    for layer in active:
        d = layer.shape.distance(cx, cy)
        if d < -_EDGE:
            inside.append((layer, None))
        elif d <= _EDGE:
            inside.append((layer, layer.shape.distance))
            edges.append(layer)
    if not inside:
        return (0.0, 0.0, 0.0, 0.0)
    paints = [(layer.paint(cx, cy), layer.alpha, test) for layer, test in inside]
    if not edges:
        return _compose([(c, a) for c, a, _ in paints])
    total = [0.0, 0.0, 0.0, 0.0]
    step = 1.0 / SAMPLES
    for j in range(SAMPLES):
        sy = cy - 0.5 + (j + 0.5) * step
        for i in range(SAMPLES):
            sx = cx - 0.5 + (i + 0.5) * step
            stack = [(c, a) for c, a, test in paints if test is None or test(sx, sy) <= 0]
            px = _compose(stack)
            for k in range(4):
                total[k] += px[k]
    n = SAMPLES * SAMPLES
    return tuple(v / n for v in total)


def render(layers, width, height):
    """Premultiplied (r, g, b, a) floats, row by row, top row first."""
    out = []
    for py in range(height):
        cy = py + 0.5
        row_layers = [l for l in layers
                      if l.shape.bbox[1] - 1 <= cy <= l.shape.bbox[3] + 1]
        for px in range(width):
            cx = px + 0.5
            active = [l for l in row_layers
                      if l.shape.bbox[0] - 1 <= cx <= l.shape.bbox[2] + 1]
            out.append(_pixel(active, cx, cy) if active else (0.0, 0.0, 0.0, 0.0))
    return out


def _channel(v):
    return max(0, min(255, int(math.floor(v + 0.5))))


def over(artwork, background):
    """RGB pixels of premultiplied artwork laid over one background colour."""
    pixels = []
    for r, g, b, a in artwork:
        keep = 1.0 - a
        pixels.append((_channel(r + background[0] * keep),
                       _channel(g + background[1] * keep),
                       _channel(b + background[2] * keep)))
    return pixels


def opaque(artwork):
    """RGB pixels of artwork that covers its whole area."""
    return over(artwork, (0, 0, 0))


class Image:
    """RGB pixels row by row, top row first."""

    def __init__(self, width, height, pixels=None, fill=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = list(pixels) if pixels is not None else [fill] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def set(self, x, y, colour):
        self.pixels[y * self.width + x] = colour

    def paste(self, other, x0, y0):
        for y in range(other.height):
            row = other.pixels[y * other.width:(y + 1) * other.width]
            start = (y0 + y) * self.width + x0
            self.pixels[start:start + other.width] = row
