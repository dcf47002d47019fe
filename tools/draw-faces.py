#!/usr/bin/env python3
"""Draw the button faces of the Quillbar toolbar.

PowerPoint and FrontPage get a toolbar whose buttons carry small 16 x 16
pictures.  Each picture is kept below as sixteen lines of ASCII art, one
character per pixel (see COLOURS for the legend), and written as an 8-bit,
uncompressed, bottom-up Windows bitmap to tuner/res/face<ID>.bmp, where <ID>
is the face id the toolbar code asks for.  The background is the classic
button face grey, so the pictures sit cleanly on a toolbar.

Run it from the repository root after changing a picture:

    python3 tools/draw-faces.py

Only the standard library is used, and the output depends on nothing but
this file, so running it again writes the same bytes.
"""

import os
import struct
import sys

# Legend: character -> (red, green, blue).  The order is the order of the
# palette in every file; the first entry is the background.
COLOURS = [
    ('.', (192, 192, 192)),  # button face grey
    ('k', (0, 0, 0)),        # black
    ('w', (255, 255, 255)),  # white
    ('g', (128, 128, 128)),  # dark grey
    ('b', (0, 0, 128)),      # navy
    ('B', (0, 0, 255)),      # blue
    ('r', (255, 0, 0)),      # red
    ('R', (128, 0, 0)),      # dark red
    ('y', (255, 255, 0)),    # yellow
    ('o', (128, 128, 0)),    # olive
    ('G', (0, 128, 0)),      # green
    ('l', (0, 255, 0)),      # light green
    ('t', (0, 128, 128)),    # teal
    ('c', (0, 255, 255)),    # cyan
    ('m', (128, 0, 128)),    # purple
    ('M', (255, 0, 255)),    # magenta
    ('p', (255, 204, 153)),  # pencil wood
]

SIZE = 16

FACES = {
    # Markierung übersetzen: a sheet with highlighted lines, arrow to the right.
    129: """
        ................
        .kkkkkkkk.......
        .kwwwwwwk.......
        .kwkkkkwk.......
        .kwwwwwwk...r...
        .kbbbbbbk...rr..
        .kbwwwwbk.rrrrr.
        .kbbbbbbk.rrrrrr
        .kbwwwbbk.rrrrr.
        .kbbbbbbk...rr..
        .kwwwwwwk...r...
        .kwkkkwwk.......
        .kwwwwwwk.......
        .kkkkkkkk.......
        ................
        ................
    """,
    # Nach oben übersetzen: text lines and an arrow pointing up.
    130: """
        ................
        kkkkkkkkk...r...
        kwwwwwwwk..rrr..
        kwkkkkkwk.rrrrr.
        kwwwwwwwkrrrrrrr
        kwkkkkwwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkkwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkwwwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkkwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkwwk..rrr..
        kwwwwwwwk.......
        kkkkkkkkk.......
    """,
    # Präsentation / Seite übersetzen: a whole page with an arrow.
    131: """
        .kkkkkkkk.......
        .kwwwwwwkk......
        .kwwwwwwkwk.....
        .kwkkkkwkkkk....
        .kwwwwwwwwwk....
        .kwkkkkkkkwk....
        .kwwwwwwwwwk....
        .kwkkkkkkkwk....
        .kwwwwwwwwwkr...
        .kwkkkkkkwwkrr..
        .kwwwwwwwrrrrrr.
        .kwkkkkwwrrrrrrr
        .kwwwwwwwrrrrrr.
        .kwkkkkwwwwkrr..
        .kwwwwwwwwwkr...
        .kkkkkkkkkkk....
    """,
    # Hilfe: a question mark on a round button.
    132: """
        .....kkkkkk.....
        ...kkwwwwwwkk...
        ..kwwwbbbbwwwk..
        .kwwwbbwwbbwwwk.
        .kwwwbbwwbbwwwk.
        kwwwwwwwwbbwwwwk
        kwwwwwwwbbwwwwwk
        kwwwwwwbbwwwwwwk
        kwwwwwwbbwwwwwwk
        kwwwwwwbbwwwwwwk
        kwwwwwwwwwwwwwwk
        .kwwwwwbbwwwwwk.
        .kwwwwwbbwwwwwk.
        ..kwwwwwwwwwwk..
        ...kkwwwwwwkk...
        .....kkkkkk.....
    """,
    # Nach unten übersetzen: text lines and an arrow pointing down.
    133: """
        kkkkkkkkk.......
        kwwwwwwwk.......
        kwkkkkwwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkkwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkwwwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkkwk..rrr..
        kwwwwwwwk..rrr..
        kwkkkkwwk..rrr..
        kwwwwwwwkrrrrrrr
        kwkkkkkwk.rrrrr.
        kwwwwwwwk..rrr..
        kkkkkkkkk...r...
        ................
    """,
    # Element übersetzen: one shape on the slide, arrow to the right.
    134: """
        ................
        ................
        ................
        kkkkkkkk........
        kyyyyyyk....r...
        kykkkkyk....rr..
        kyyyyyyk.rrrrrr.
        kykkkyyk.rrrrrrr
        kyyyyyyk.rrrrrr.
        kykkkkyk....rr..
        kyyyyyyk....r...
        kkkkkkkk........
        ................
        ................
        ................
        ................
    """,
    # Quillbar aktivieren / deaktivieren: a quill.
    136: """
        .............kk.
        ...........kwgk.
        .........kwwgwk.
        ........kwwgwwk.
        .......kwwgwwk..
        ......kwwgwwk...
        .....kwwgwwk....
        .....kwgwwk.....
        ....kwgwk.......
        ...kwgk.........
        ...kgk..........
        ...k............
        ..k.............
        .b..............
        bb..............
        ................
    """,
    # Im eigenen Fenster übersetzen: a window of its own.
    140: """
        ................
        kkkkkkkkkkkkkkkk
        kbbbbbbbbbggbggk
        kbbbbbbbbbggbggk
        kkkkkkkkkkkkkkkk
        kwwwwwwwwwwwwwwk
        kwkkkkkkkkwwwwwk
        kwwwwwwwwwwwwwwk
        kwkkkkkwwwwwwwwk
        kwwwwwwwwwwwwwwk
        kwkkkkkkkkkkwwwk
        kwwwwwwwwwwwwwwk
        kwkkkkkkwwwwwwwk
        kwwwwwwwwwwwwwwk
        kkkkkkkkkkkkkkkk
        ................
    """,
    # Eintrag öffnen: an open dictionary with one entry picked out.
    141: """
        ................
        ................
        .kkkk......kkkk.
        kwwwwkk..kkwwwwk
        kwwwwwwkkwwwwwwk
        kwggggwkkwggggwk
        kwwwwwwkkwwwwwwk
        kwgggwwkkwbbbbwk
        kwwwwwwkkwwwwwwk
        kwggggwkkwgggwwk
        kwwwwwwkkwwwwwwk
        kwwwwwwkkwwwwwwk
        .kkkwwwkkwwwkkk.
        ....kkkkkkkk....
        ................
        ................
    """,
    # Dokument-Wörterbücher: a stack of books.
    142: """
        ................
        ................
        ....kkkkkkkkkk..
        ....kGyGGGGyGk..
        ....kGyGGGGyGk..
        ....kGyGGGGyGk..
        ..kkkkkkkkkkkk..
        ..kRyRRRRRyRk...
        ..kRyRRRRRyRk...
        ..kRyRRRRRyRk...
        ..kkkkkkkkkkkkk.
        ...kbybbbbbbybk.
        ...kbybbbbbbybk.
        ...kbybbbbbbybk.
        ...kkkkkkkkkkkk.
        ................
    """,
    # Reservierte Wörter: a word under lock.
    143: """
        ...........kkk..
        ..........k...k.
        ..........k...k.
        .........kkkkkkk
        .........kyyyyyk
        .........kyykyyk
        .........kyykyyk
        .........kyyyyyk
        ..b...b..kkkkkkk
        .b.b..b.........
        b...b.bbb.......
        b...b.b..b......
        bbbbb.b..b......
        b...b.b..b......
        b...b.bbb.......
        ................
    """,
    # Als Themenvorlage speichern: a floppy disk.
    144: """
        ................
        .kkkkkkkkkkkkkk.
        .kbwwwwwwwwwwbk.
        .kbwkkkkkkkkwbk.
        .kbwwwwwwwwwwbk.
        .kbwkkkkkkwwwbk.
        .kbwwwwwwwwwwbk.
        .kbbbbbbbbbbbbk.
        .kbbbbbbbbbbbbk.
        .kbbggggggggbbk.
        .kbbgkkgggggbbk.
        .kbbgkkgggggbbk.
        .kbbgkkgggggbbk.
        .kbbggggggggbbk.
        .kkkkkkkkkkkkkk.
        ................
    """,
    # Themenvorlagen bearbeiten: a pencil on a sheet.
    145: """
        ............kkk.
        ...........kMMMk
        ..........kMMMk.
        kkkkkkkkkkgggk..
        kwwwwwwwkyyok...
        kwkkkkwkyyok....
        kwwwwwkyyok.....
        kwwwwkyyokk.....
        kwwwkpppkwk.....
        kwwkppkwwwk.....
        kwkkwwwwwwk.....
        kwwwwwwwwwk.....
        kwkkkkkkkwk.....
        kwwwwwwwwwk.....
        kwkkkkwwwwk.....
        kkkkkkkkkkk.....
    """,
    # Automatische Auswahl der Themenvorlage: a magic wand beside a sheet.
    146: """
        ......kkkkkkkkkk
        ......kwwwwwwwwk
        ......kwkkkkkkwk
        ......kwwwwwwwwk
        ..y...kwkkkkwwwk
        ..y...kwwwwwwwwk
        yywyy.kwkkkkkkwk
        ..y...kwwwwwwwwk
        ..y...kwkkkwwwwk
        ......kwwwwwwwwk
        ....wwkkkkkkkkkk
        ...kw.....y.....
        ..kk......y.....
        .kk.....yywyy...
        kk........y.....
        k.........y.....
    """,
    # Übersetzungsoptionen: ticked check boxes.
    147: """
        kkkkkkk.........
        kwwwwGk.........
        kwwwGGk.........
        kGwGGwk.kkkkkkkk
        kGGGwwk.........
        kwGwwwk.kkkkkk..
        kkkkkkk.........
        ................
        kkkkkkk.........
        kwwwwGk.........
        kwwwGGk.........
        kGwGGwk.kkkkkkkk
        kGGGwwk.........
        kwGwwwk.kkkkkkk.
        kkkkkkk.........
        ................
    """,
    # Markierung audieren: a loudspeaker.
    148: """
        ................
        ........k.......
        .......kk....B..
        ......kwk.....B.
        .....kwgk..B..B.
        kkkkkwwgk...B..B
        kwwwwwwgk.B.B..B
        kwwwwwwgk.B.B..B
        kwwwwwwgk.B.B..B
        kwwwwwwgk.B.B..B
        kkkkkwwgk...B..B
        .....kwgk..B..B.
        ......kwk.....B.
        .......kk....B..
        ........k.......
        ................
    """,
    # Unbekannte Wörter: a word with a question mark.
    156: """
        ..........rrrr..
        .........rr..rr.
        .........rr..rr.
        .............rr.
        ............rr..
        ...........rr...
        ...........rr...
        ...........rr...
        ..b...b.........
        .b.b..b....rr...
        b...b.bbb..rr...
        b...b.b..b......
        bbbbb.b..b......
        b...b.b..b......
        b...b.bbb.......
        ................
    """,
    # Übersetzungsrichtung und Themenvorlage: a sheet over a two-way arrow.
    157: """
        ...kkkkkkkk.....
        ...kwwwwwwkk....
        ...kwkkkkwkwk...
        ...kwwwwwwkkkk..
        ...kwkkkkkkkwk..
        ...kwwwwwwwwwk..
        ...kwkkkkkwwwk..
        ...kwwwwwwwwwk..
        ...kkkkkkkkkkk..
        ...r........r...
        ..rr........rr..
        .rrrrrrrrrrrrrr.
        rrrrrrrrrrrrrrrr
        .rrrrrrrrrrrrrr.
        ..rr........rr..
        ...r........r...
    """,
}


def parse(face_id, art):
    """Turn a picture into rows of palette indices, top row first."""
    index = {char: i for i, (char, _) in enumerate(COLOURS)}
    rows = [line.strip() for line in art.strip().splitlines()]
    if len(rows) != SIZE:
        raise ValueError('face %d: %d rows, want %d' % (face_id, len(rows), SIZE))
    pixels = []
    for number, row in enumerate(rows):
        if len(row) != SIZE:
            raise ValueError('face %d, row %d: %d pixels, want %d'
                             % (face_id, number, len(row), SIZE))
        try:
            pixels.append([index[char] for char in row])
        except KeyError as error:
            raise ValueError('face %d, row %d: no colour for %s'
                             % (face_id, number, error)) from None
    return pixels


def bitmap(pixels):
    """Build the bytes of an 8-bit BI_RGB bitmap from rows of indices."""
    palette = b''.join(struct.pack('<BBBB', blue, green, red, 0)
                       for _, (red, green, blue) in COLOURS)
    stride = (SIZE + 3) // 4 * 4
    data = b''.join(bytes(row) + b'\0' * (stride - SIZE)
                    for row in reversed(pixels))      # bottom-up
    info = struct.pack('<IiiHHIIiiII',
                       40,                 # biSize
                       SIZE, SIZE,         # biWidth, biHeight (bottom-up)
                       1, 8,               # biPlanes, biBitCount
                       0,                  # biCompression = BI_RGB
                       len(data),          # biSizeImage
                       0, 0,               # no preferred resolution
                       len(COLOURS),       # biClrUsed
                       0)                  # biClrImportant: all of them
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return header + info + palette + data


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = os.path.join(top, 'tuner', 'res')
    os.makedirs(folder, exist_ok=True)
    for face_id in sorted(FACES):
        contents = bitmap(parse(face_id, FACES[face_id]))
        path = os.path.join(folder, 'face%d.bmp' % face_id)
        with open(path, 'wb') as output:
            output.write(contents)
        print(os.path.relpath(path, top))
    return 0


if __name__ == '__main__':
    sys.exit(main())
