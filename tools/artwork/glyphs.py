"""A tiny stroked typeface for the few characters the pictures spell.

Glyphs are polylines in units with the baseline at 0 and y pointing up:
capitals and figures are 10 high, lower case 7.
"""

from artwork.shapes import arc_points, polyline, union


def _arc(cx, cy, rx, ry, start, end, steps=14):
    return arc_points(cx, cy, rx, ry, start, end, steps)


# Each glyph: (advance width, list of strokes); a stroke is a point list.
GLYPHS = {
    "D": (7.2, [[(0, 0), (0, 10), (2.2, 10)] + _arc(2.2, 5, 5, 5, 90, -90)
               + [(2.2, 0), (0, 0)]]),
    "u": (5.0, [[(0, 7), (0, 2.6)] + _arc(2.5, 2.6, 2.5, 2.6, 180, 360) + [(5, 7)],
                [(5, 7), (5, 0)]]),
    "v": (5.4, [[(0, 7), (2.7, 0), (5.4, 7)]]),
    "a": (5.2, [_arc(2.55, 3.5, 2.55, 3.5, 0, 360, 24), [(5.2, 7), (5.2, 0)]]),
    "r": (3.8, [[(0, 0), (0, 7)], _arc(3.8, 3.2, 3.8, 3.8, 180, 90, 10)]),
    "i": (0.0, [[(0, 0), (0, 7)], [(0, 9.6), (0, 9.61)]]),
    "n": (5.0, [[(0, 0), (0, 7)], [(0, 4.4)] + _arc(2.5, 4.4, 2.5, 2.6, 180, 0)
                + [(5, 0)]]),
    "2": (5.6, [_arc(2.8, 7.3, 2.8, 2.7, 160, -25) + [(0, 0), (5.6, 0)]]),
    ".": (0.0, [[(0, 0), (0, 0.01)]]),
    " ": (2.0, []),
}


def text_width(text, scale, spacing=2.3):
    advances = [GLYPHS[c][0] for c in text]
    return (sum(advances) + spacing * (len(text) - 1)) * scale


def text_shape(text, x, baseline, scale, stroke, spacing=2.3):
    """One shape of the whole text, its left edge at x."""
    strokes = []
    pen = x
    for c in text:
        advance, lines = GLYPHS[c]
        for line in lines:
            points = [(pen + u * scale, baseline - v * scale) for u, v in line]
            strokes.append(polyline(points, stroke))
        pen += (advance + spacing) * scale
    return union(*strokes)
