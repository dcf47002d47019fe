#!/usr/bin/env python3
"""Draw the program icon of qbsetup.exe.

The icon shows a quill writing on a sheet of paper.  It is kept below as
ASCII art in two sizes, 32 x 32 and 16 x 16 (the small one is drawn on its
own rather than scaled down, so it stays crisp), one character per pixel (see
COLOURS for the legend).  Both pictures go into tuner/res/qbsetup.ico as
classic icon images: a 32-bit BGRA bitmap whose alpha channel carries the
transparency, followed by the 1-bit AND mask for programs that ignore alpha.

Run it from the repository root after changing a picture:

    python3 tools/draw-icon.py

It finds the repository from its own location, so it works from any folder.
Only the standard library is used, and the output depends on nothing but
this file, so running it again writes the same bytes.
"""

import os
import struct
import sys

# Legend: character -> (red, green, blue, alpha).  Alpha 0 is transparent and
# sets the pixel in the AND mask; anything else draws.
COLOURS = {
    '.': (0, 0, 0, 0),            # transparent
    'k': (32, 32, 40, 255),       # outline of the sheet, nib
    'w': (255, 255, 255, 255),    # paper, shaft of the quill
    'g': (176, 176, 184, 255),    # lines of text
    'b': (16, 40, 112, 255),      # outline of the feather
    'c': (170, 204, 244, 255),    # vane, light side
    'C': (88, 140, 214, 255),     # vane, shaded side
    'B': (24, 88, 208, 255),      # ink
    's': (0, 0, 0, 64),           # shadow under the sheet
}

PICTURES = {
    32: """
        ................................
        ..........................bbb...
        ........................bbcccb..
        ......................bbccccwCb.
        ....................bbcccccwCCb.
        .....................bccccwCCb..
        ..................bcbccccwCCb...
        ..kkkkkkkkkkkkkkkbccccccwCCb....
        ..kwwwwwwwwwwwwwwbcccccwCCb.....
        ..kwwwwwwwwwwwwwwwbcccwCCb......
        ..kwwwwwwwwwwwwwbbcccwCCb.......
        ..kwwggggggggwwbccccwCCb........
        ..kwwwwwwwwwwwwbcccwCbb.........
        ..kwwwwwwwwwwwwbccwCbks.........
        ..kwwggggggggggbcwbwwks.........
        ..kwwwwwwwwwwwwbwbwwwks.........
        ..kwwwwwwwwwwwwbbwwwwks.........
        ..kwwgggggggggbbgggwwks.........
        ..kwwwwwwwwwwbbwwwwwwks.........
        ..kwwwwwwwwwbbwwwwwwwks.........
        ..kwwggggggbbggggggwwks.........
        ..kwwwwwwwbbwwwwwwwwwks.........
        ..kwwwwwkkkwwwwwwwwwwks.........
        ..kwwwwkkkwggggggggwwks.........
        ..kwwwkkwwwwwwwwwwwwwks.........
        ..kwwkkwwwwwwwwwwwwwwks.........
        ..kwkwwwwBBwwwwBBwwwwks.........
        ..kwwBwwBwwBwwBwwBwwwks.........
        ..kwwwBBwwwwBBwwwwBwwks.........
        ..kwwwwwwwwwwwwwwwwwwks.........
        ..kkkkkkkkkkkkkkkkkkkks.........
        ...ssssssssssssssssssss.........
    """,
    16: """
        .............bb.
        ...........bbcwb
        ..........bccwCb
        kkkkkkkkkbccwCb.
        kwwwwwwwbccwCb..
        kwggggwbccwCb...
        kwwwwwwbcwbb....
        kwggggwbwbs.....
        kwwwwwwbbks.....
        kwgggwbbwks.....
        kwwwkkkwwks.....
        kwwkkwwwwks.....
        kwkwwwwwwks.....
        kwwBBBBBwks.....
        kkkkkkkkkks.....
        .ssssssssss.....
    """,
}


def parse(size, art):
    """Turn a picture into rows of (red, green, blue, alpha), top row first."""
    rows = [line.strip() for line in art.strip().splitlines()]
    if len(rows) != size:
        raise ValueError('%d x %d: %d rows' % (size, size, len(rows)))
    pixels = []
    for number, row in enumerate(rows):
        if len(row) != size:
            raise ValueError('%d x %d, row %d: %d pixels'
                             % (size, size, number, len(row)))
        try:
            pixels.append([COLOURS[char] for char in row])
        except KeyError as error:
            raise ValueError('%d x %d, row %d: no colour for %s'
                             % (size, size, number, error)) from None
    return pixels


def icon_image(size, pixels):
    """Build one icon image: header, BGRA rows and AND mask, bottom-up."""
    colour = b''.join(struct.pack('<BBBB', blue, green, red, alpha)
                      for row in reversed(pixels)
                      for red, green, blue, alpha in row)
    stride = (size + 31) // 32 * 4        # mask rows are padded to 4 bytes
    mask = b''
    for row in reversed(pixels):
        bits = 0
        for red, green, blue, alpha in row:
            bits = bits << 1 | (alpha == 0)
        bits <<= stride * 8 - size
        mask += bits.to_bytes(stride, 'big')
    info = struct.pack('<IiiHHIIiiII',
                       40,                 # biSize
                       size, 2 * size,     # biWidth, biHeight: colour + mask
                       1, 32,              # biPlanes, biBitCount
                       0,                  # biCompression = BI_RGB
                       len(colour) + len(mask),
                       0, 0,               # no preferred resolution
                       0, 0)               # no palette
    return info + colour + mask


def icon(images):
    """Put (size, image) pairs into one .ico file, largest first."""
    header = struct.pack('<HHH', 0, 1, len(images))   # ICONDIR, type 1 = icon
    offset = len(header) + 16 * len(images)
    entries = b''
    for size, image in images:
        entries += struct.pack('<BBBBHHII',
                               size % 256, size % 256,  # 256 would be 0
                               0, 0,                    # no palette, reserved
                               1, 32,                   # planes, bits
                               len(image), offset)
        offset += len(image)
    return header + entries + b''.join(image for _, image in images)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = os.path.join(top, 'tuner', 'res')
    os.makedirs(folder, exist_ok=True)
    images = [(size, icon_image(size, parse(size, PICTURES[size])))
              for size in sorted(PICTURES, reverse=True)]
    path = os.path.join(folder, 'qbsetup.ico')
    with open(path, 'wb') as output:
        output.write(icon(images))
    print(os.path.relpath(path, top))
    return 0


if __name__ == '__main__':
    sys.exit(main())
