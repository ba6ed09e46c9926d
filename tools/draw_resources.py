#!/usr/bin/env python3
"""Draws the program's pictures into a folder:

  sprites.bmp     bitmap 101, the page buttons (240x240)
  background.bmp  bitmap 102, the window background (700x500)
  about.bmp       bitmap 111, the About box picture (97x127)
  duvarin.ico     icon 104, 32x32 and 16x16, 16 colours

The drawing is deterministic, so every build makes the same bytes.
Usage: draw_resources.py OUTPUT_FOLDER [NAME ...]
"""

import os
import sys

from artwork.about_picture import draw_about_picture
from artwork.app_icon import icon_file
from artwork.background import draw_background
from artwork.image_files import bmp_bytes
from artwork.sprites import draw_sprites

PICTURES = {
    "sprites.bmp": lambda: bmp_bytes(draw_sprites()),
    "background.bmp": lambda: bmp_bytes(draw_background()),
    "about.bmp": lambda: bmp_bytes(draw_about_picture()),
    "duvarin.ico": icon_file,
}


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    names = argv[2:] or list(PICTURES)
    unknown = [n for n in names if n not in PICTURES]
    if unknown:
        sys.stderr.write("unknown picture: %s\n" % ", ".join(unknown))
        return 2
    os.makedirs(folder, exist_ok=True)
    for name in names:
        data = PICTURES[name]()
        # Written beside the target and renamed, so an interrupted build
        # never leaves a truncated picture that looks up to date.
        target = os.path.join(folder, name)
        with open(target + ".part", "wb") as f:
            f.write(data)
        os.replace(target + ".part", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
