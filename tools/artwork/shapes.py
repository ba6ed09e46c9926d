"""Shapes as signed distance functions: negative inside, positive outside.

Every shape returns a value whose magnitude never exceeds the true distance
to its edge; the rasteriser relies on that to sample only the pixels an edge
passes through.  Coordinates are pixels with y pointing down, so angles grow
clockwise on the screen.
"""

import math


class Shape:
    def __init__(self, distance, bbox):
        self.distance = distance
        # (x0, y0, x1, y1): nothing of the shape lies outside this box.
        self.bbox = bbox


def _grow(bbox, amount):
    x0, y0, x1, y1 = bbox
    return (x0 - amount, y0 - amount, x1 + amount, y1 + amount)


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    # Scaling the unit-circle distance by the smaller radius keeps it a bound.
    k = min(rx, ry)
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * k,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def ring(cx, cy, r, width):
    half = width / 2
    return Shape(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half,
                 _grow((cx - r, cy - r, cx + r, cy + r), half))


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def distance(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return Shape(distance, (x0, y0, x1, y1))


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0.0)


def polygon(points):
    n = len(points)

    def distance(x, y):
        best = (x - points[0][0]) ** 2 + (y - points[0][1]) ** 2
        sign = 1.0
        j = n - 1
        for i in range(n):
            ax, ay = points[i]
            ex, ey = points[j][0] - ax, points[j][1] - ay
            wx, wy = x - ax, y - ay
            t = (wx * ex + wy * ey) / (ex * ex + ey * ey)
            t = min(max(t, 0.0), 1.0)
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            above = y >= ay
            below = y < points[j][1]
            left = ex * wy > ey * wx
            if (above and below and left) or not (above or below or left):
                sign = -sign
            j = i
        return sign * math.sqrt(best)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(distance, (min(xs), min(ys), max(xs), max(ys)))


def polyline(points, width):
    """A stroke with round caps and joins through the given points."""
    half = width / 2
    segments = list(zip(points, points[1:])) or [(points[0], points[0])]

    def distance(x, y):
        best = float("inf")
        for (ax, ay), (bx, by) in segments:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            length = ex * ex + ey * ey
            t = 0.0 if length == 0 else min(max((wx * ex + wy * ey) / length, 0.0), 1.0)
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
        return best - half
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(distance, _grow((min(xs), min(ys), max(xs), max(ys)), half))


def arc_points(cx, cy, rx, ry, start, end, steps=12):
    """Points along an elliptic arc, angles in degrees."""
    out = []
    for k in range(steps + 1):
        a = math.radians(start + (end - start) * k / steps)
        out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return out


def sector(cx, cy, start, end):
    """The wedge between two rays from the centre, spanning under 180 degrees."""
    a0, a1 = math.radians(start), math.radians(end)
    n0 = (math.sin(a0), -math.cos(a0))
    n1 = (-math.sin(a1), math.cos(a1))

    def distance(x, y):
        dx, dy = x - cx, y - cy
        return max(dx * n0[0] + dy * n0[1], dx * n1[0] + dy * n1[1])
    return Shape(distance, (-1e9, -1e9, 1e9, 1e9))


def union(*shapes):
    def distance(x, y):
        best = float("inf")
        for s in shapes:
            x0, y0, x1, y1 = s.bbox
            dx = max(x0 - x, 0.0, x - x1)
            dy = max(y0 - y, 0.0, y - y1)
            # A part whose box lies farther off than the nearest edge found
            # so far cannot be nearer itself.
            if (dx or dy) and math.hypot(dx, dy) >= best:
                continue
            best = min(best, s.distance(x, y))
        return best
    boxes = [s.bbox for s in shapes]
    return Shape(distance, (min(b[0] for b in boxes), min(b[1] for b in boxes),
                            max(b[2] for b in boxes), max(b[3] for b in boxes)))


def intersect(a, b):
    box = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
           min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))
    return Shape(lambda x, y: max(a.distance(x, y), b.distance(x, y)), box)


def subtract(a, b):
    return Shape(lambda x, y: max(a.distance(x, y), -b.distance(x, y)), a.bbox)


def grow(shape, amount):
    """The shape widened by amount pixels (an outline drawn behind it)."""
    return Shape(lambda x, y: shape.distance(x, y) - amount, _grow(shape.bbox, amount))


def move(shape, dx, dy):
    x0, y0, x1, y1 = shape.bbox
    return Shape(lambda x, y: shape.distance(x - dx, y - dy),
                 (x0 + dx, y0 + dy, x1 + dx, y1 + dy))
