"""BMP and ICO files written byte by byte, little-endian."""

import struct


def _row_padding(row_bytes):
    return (4 - row_bytes % 4) % 4


def _info_header(width, height, bits, image_size, colours):
    # BITMAPINFOHEADER: no compression, 2835 pixels per metre (72 dpi).
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 2835, 2835, colours, 0)


def bmp_bytes(image):
    """A 24-bit bottom-up BMP file of an Image."""
    pad = b"\0" * _row_padding(image.width * 3)
    rows = []
    for y in range(image.height - 1, -1, -1):
        row = bytearray()
        for x in range(image.width):
            r, g, b = image.get(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    data = b"".join(rows)
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + _info_header(image.width, image.height, 24, len(data), 0) + data


def nearest_index(palette, colour):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = ((p[0] - colour[0]) * 30) ** 2 + ((p[1] - colour[1]) * 59) ** 2 \
            + ((p[2] - colour[2]) * 11) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def _icon_image(image, mask, palette):
    """One 4-bit icon image: header, palette, colour bits, AND mask."""
    w, h = image.width, image.height
    xor = bytearray()
    xor_pad = b"\0" * _row_padding((w + 1) // 2)
    and_bits = bytearray()
    and_pad = b"\0" * _row_padding((w + 7) // 8)
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(0, w, 2):
            hi = nearest_index(palette, image.get(x, y)) if mask[y * w + x] else 0
            lo = 0
            if x + 1 < w and mask[y * w + x + 1]:
                lo = nearest_index(palette, image.get(x + 1, y))
            row.append(hi << 4 | lo)
        xor += row + xor_pad
        bits = bytearray((w + 7) // 8)
        for x in range(w):
            if not mask[y * w + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_bits += bits + and_pad
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    body = bytes(xor) + bytes(and_bits)
    # The height of an icon bitmap counts the colour bits and the mask.
    return _info_header(w, h * 2, 4, len(body), 16) + colours + body


def ico_bytes(entries):
    """An ICO file of 16-colour images: entries are (image, mask, palette),
    mask a list with 1 for every opaque pixel, palette 16 RGB colours."""
    images = [_icon_image(image, mask, palette) for image, mask, palette in entries]
    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    for (image, _, _), data in zip(entries, images):
        directory += struct.pack("<BBBBHHII", image.width % 256, image.height % 256,
                                 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return header + directory + b"".join(images)
