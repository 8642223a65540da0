#!/usr/bin/env python3
"""Draws the program's own pictures and writes them where the build embeds them.

    python3 tools/make_artwork.py [RESOURCES_DIR]     (default: resources/)

Writes, under RESOURCES_DIR:
  images/~key3.gif        the toolbar's key (32x32), also the first and last
                          frame of its animation
  images/~key3f.gif, ~key3d.gif, ~key3b.gif, ~key3a.gif
                          the frames in between, in the order the frame shows
                          them: a glint running along the key from bow to tip
  images/~logo.gif        the emblem: a shield with a keyhole (32x32)
  images/~splash.gif      the start-up picture (480x280, the splash window's
                          240x140 dialog units)
  icons/ADS.ICO           the emblem as the program's icon, 16x16 and 32x32
  icons/WINPYR.ICO        a pyramid, 16x16 and 32x32
and, beside RESOURCES_DIR, the emblem as the desktop's application icon:
  ../packaging/icons/hicolor/NxN/apps/org.vaultrix.Vaultrix.png
                          at 48, 128 and 256 pixels (PNG, the same palette,
                          index 0 transparent)

Everything is drawn from a few geometric shapes on a grid of palette indices,
using the standard library only, so every run writes the same bytes. The GIF
encoder checks each picture by decoding it again before writing it.
"""

import os
import struct
import sys
import zlib

# --- the palette ----------------------------------------------------------
# Sixteen colours serve every picture: the GIFs carry them as their colour
# table, the icons as their 4-bit palette. Index 0 is transparent in the keys,
# the logo and the icons (the icons' mask makes it so; their colour there is
# black, as the format expects under a transparent pixel).

CLEAR = 0
NAVY, BLUE_DARK, BLUE, BLUE_LIGHT = 1, 2, 3, 4
GOLD_DARK, GOLD, GOLD_LIGHT = 5, 6, 7
WHITE, GLINT = 8, 9
BROWN, SAND_LIGHT, SAND, SAND_DARK = 10, 11, 12, 13
NIGHT, NIGHT_LIGHT = 14, 15

PALETTE = [
    (0, 0, 0),          # CLEAR
    (16, 24, 48),       # NAVY: outlines of the emblem, the keyhole
    (30, 60, 120),      # BLUE_DARK
    (50, 100, 180),     # BLUE
    (110, 160, 230),    # BLUE_LIGHT
    (150, 100, 20),     # GOLD_DARK
    (220, 170, 40),     # GOLD
    (250, 220, 110),    # GOLD_LIGHT
    (255, 255, 255),    # WHITE: the heart of a glint
    (255, 250, 190),    # GLINT: its rays
    (70, 45, 15),       # BROWN: outlines of the key and the pyramid
    (235, 200, 130),    # SAND_LIGHT: the pyramid's lit face
    (200, 155, 80),     # SAND
    (150, 105, 50),     # SAND_DARK: its shaded face
    (12, 20, 44),       # NIGHT: the splash background
    (20, 34, 70),       # NIGHT_LIGHT: the splash floor
]

# Tones of a shaded solid: outline, lit edge, body, shaded edge.
GOLD_TONES = (BROWN, GOLD_LIGHT, GOLD, GOLD_DARK)
RIM_TONES = (NAVY, GOLD_LIGHT, GOLD, GOLD_DARK)
BLUE_TONES = (NAVY, BLUE_LIGHT, BLUE, BLUE_DARK)


# --- canvas and shapes -----------------------------------------------------
# A shape is a function inside(x, y) of a point. Pictures are designed on a
# 32x32 grid and placed on a canvas with a scale and an offset; a pixel
# belongs to a shape when its centre does.

class Canvas:
    """A width x height grid of palette indices."""

    def __init__(self, width, height, index=CLEAR):
        self.width, self.height = width, height
        self.pixels = [index] * (width * height)

    def put(self, x, y, index):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = index

    def mask(self, inside):
        return {(x, y) for y in range(self.height) for x in range(self.width)
                if inside(x + 0.5, y + 0.5)}

    def fill(self, inside, index):
        for x, y in self.mask(inside):
            self.put(x, y, index)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def polygon(points):
    """Inside by the even-odd rule: count the edges a ray to the right crosses."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        crossings = 0
        for (x0, y0), (x1, y1) in edges:
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                crossings += 1
        return crossings % 2 == 1
    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def placed(shape, scale, dx=0.0, dy=0.0):
    """The design-grid shape drawn `scale` pixels per unit, its origin at (dx, dy)."""
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale)


def draw_solid(canvas, inside, tones, thickness=1):
    """Fills a shape with an outline, lit from the top left.

    Pixels within `thickness` of the outside form the outline; the band just
    inside it takes the lit tone on the top and left sides and the shaded
    tone on the bottom and right, which gives flat shapes some relief.
    """
    outline, light, body, shade = tones
    mask = canvas.mask(inside)
    near = range(-thickness, thickness + 1)
    edge = {(x, y) for x, y in mask
            if any((x + i, y + j) not in mask for i in near for j in near
                   if abs(i) + abs(j) <= thickness)}
    steps = range(1, thickness + 1)
    for x, y in mask:
        if (x, y) in edge:
            index = outline
        elif any((x, y - d) in edge or (x - d, y) in edge for d in steps):
            index = light
        elif any((x, y + d) in edge or (x + d, y) in edge for d in steps):
            index = shade
        else:
            index = body
        canvas.put(x, y, index)


# --- the designs (on the 32x32 grid) --------------------------------------

def key_shape():
    """A key lying left to right: a ring for the bow, a collar, the shaft and
    two teeth of the bit hanging below it."""
    bow = minus(disc(8.5, 16, 6.5), disc(8.5, 16, 2.6))
    collar = box(15, 12.5, 17, 19.5)
    shaft = box(14, 14, 30, 18)
    teeth = union(box(21, 17, 24, 23), box(26, 17, 29, 21))
    return union(bow, collar, shaft, teeth)


def shield_shape(inset=0.0):
    """A heraldic shield: a top rising gently to the middle, straight sides
    and a curved point; `inset` shrinks it towards its middle."""
    top, left, right, waist, point = 3.0, 5.0, 27.0, 15.0, 30.0
    outline = [(16, 2.0), (right, top + 2), (right, waist)]
    steps = 8
    for i in range(1, steps + 1):           # right side down to the point
        t = i / steps                        # quadratic curve, control (right, 25)
        outline.append(((1 - t) ** 2 * right + 2 * t * (1 - t) * right + t * t * 16,
                        (1 - t) ** 2 * waist + 2 * t * (1 - t) * 25 + t * t * point))
    for x, y in reversed(outline[2:-1]):     # the left side mirrors it
        outline.append((32 - x, y))
    outline.append((left, top + 2))
    if inset:
        k = 1 - inset
        outline = [(16 + (x - 16) * k, 16 + (y - 16) * k) for x, y in outline]
    return polygon(outline)


def keyhole_shape(bold=False):
    if bold:  # wide enough to read at 16x16
        return union(disc(16, 12.5, 4), polygon([(14, 14), (18, 14), (19, 24), (13, 24)]))
    return union(disc(16, 13, 3.2), polygon([(14.6, 14), (17.4, 14), (18.6, 22), (13.4, 22)]))


def draw_emblem(canvas, scale, dx=0.0, dy=0.0, thickness=1):
    """The shield with its gold rim, blue field and keyhole. Below 32 pixels
    there is no room for shading: the rim and the field are flat."""
    outer = placed(shield_shape(), scale, dx, dy)
    small = scale < 1
    if small:
        draw_solid(canvas, outer, (NAVY, GOLD, GOLD, GOLD))
        canvas.fill(placed(shield_shape(0.3), scale, dx, dy), BLUE)
    else:
        draw_solid(canvas, outer, RIM_TONES, thickness)
        draw_solid(canvas, placed(shield_shape(0.22), scale, dx, dy), BLUE_TONES, thickness)
    canvas.fill(placed(keyhole_shape(small), scale, dx, dy), NAVY)


def draw_key(canvas, scale=1.0, dx=0.0, dy=0.0, thickness=1):
    draw_solid(canvas, placed(key_shape(), scale, dx, dy), GOLD_TONES, thickness)


def draw_glint(canvas, x, y, size=1):
    """A four-pointed sparkle centred on pixel (x, y), `size` pixels a step."""
    def dot(i, j, index):
        for a in range(size):
            for b in range(size):
                canvas.put(x + i * size + a, y + j * size + b, index)
    for d in (1, 2, 3):
        ray = WHITE if d == 1 else GLINT
        for i, j in ((d, 0), (-d, 0), (0, d), (0, -d)):
            dot(i, j, ray)
    for i, j in ((1, 1), (1, -1), (-1, 1), (-1, -1)):
        dot(i, j, GLINT)
    dot(0, 0, WHITE)


def pyramid_faces():
    """A pyramid seen a little from the left: its lit and its shaded face."""
    apex, left, front, right = (16, 3.5), (2.5, 26), (19.5, 29.5), (29.5, 24.5)
    return polygon([apex, left, front]), polygon([apex, front, right])


def draw_pyramid(canvas, scale):
    """Two flat faces, an outline and the ridge between them; from 32 pixels
    up the lit face shows courses of stone (every fifth design row)."""
    lit, shaded = (placed(face, scale) for face in pyramid_faces())
    courses = scale >= 1
    whole = canvas.mask(union(lit, shaded))
    for x, y in whole:
        cx, cy = x + 0.5, y + 0.5
        if not lit(cx, cy):
            index = SAND_DARK
        elif courses and int(cy / scale) % 5 == 4:
            index = SAND
        else:
            index = SAND_LIGHT
        canvas.put(x, y, index)
    for x, y in whole:                       # outline and the ridge between the faces
        outside = any(n not in whole for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)))
        ridge = not lit(x + 0.5, y + 0.5) and lit(x - 0.5, y + 0.5)
        if outside or ridge:
            canvas.put(x, y, BROWN)


# --- lettering for the splash ------------------------------------------------
# Capitals on a 5x7 grid, only those the splash writes.

GLYPHS = {
    "A": ".###.|#...#|#...#|#####|#...#|#...#|#...#",
    "D": "####.|#...#|#...#|#...#|#...#|#...#|####.",
    "I": ".###.|..#..|..#..|..#..|..#..|..#..|.###.",
    "L": "#....|#....|#....|#....|#....|#....|#####",
    "O": ".###.|#...#|#...#|#...#|#...#|#...#|.###.",
    "P": "####.|#...#|#...#|####.|#....|#....|#....",
    "R": "####.|#...#|#...#|####.|#.#..|#..#.|#...#",
    "S": ".####|#....|#....|.###.|....#|....#|####.",
    "T": "#####|..#..|..#..|..#..|..#..|..#..|..#..",
    "U": "#...#|#...#|#...#|#...#|#...#|#...#|.###.",
    "V": "#...#|#...#|#...#|.#.#.|.#.#.|.#.#.|..#..",
    "W": "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.",
    "X": "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",
    " ": ".....|.....|.....|.....|.....|.....|.....",
}


def draw_text(canvas, text, x, y, scale, index):
    """Writes `text` with its top left at (x, y), each glyph cell scale x scale."""
    for n, letter in enumerate(text):
        rows = GLYPHS[letter].split("|")
        for j, row in enumerate(rows):
            for i, cell in enumerate(row):
                if cell == "#":
                    left = x + (n * 6 + i) * scale
                    top = y + j * scale
                    for a in range(scale):
                        for b in range(scale):
                            canvas.put(left + a, top + b, index)


def text_width(text, scale):
    return (len(text) * 6 - 1) * scale


# --- the pictures ------------------------------------------------------------

# Where the glint stands in each frame of the key's animation: on the bow, on
# the collar, along the shaft, at the tip.
KEY_FRAMES = [("~key3.gif", None), ("~key3f.gif", (6, 10)), ("~key3d.gif", (15, 12)),
              ("~key3b.gif", (22, 14)), ("~key3a.gif", (28, 14))]


def key_picture(glint):
    canvas = Canvas(32, 32)
    draw_key(canvas)
    if glint:
        draw_glint(canvas, *glint)
    return canvas


def logo_picture():
    canvas = Canvas(32, 32)
    draw_emblem(canvas, 1.0)
    return canvas


def splash_picture():
    width, height = 480, 280
    canvas = Canvas(width, height, NIGHT)
    canvas.fill(box(0, 200, width, height), NIGHT_LIGHT)
    draw_emblem(canvas, 6.0, 30, 36, thickness=3)
    title, tagline = "VAULTRIX", "PASSWORD VAULT"
    left = 248
    draw_text(canvas, title, left + 3, 83, 4, NAVY)          # its shadow
    draw_text(canvas, title, left, 80, 4, GOLD)
    canvas.fill(box(left, 120, left + text_width(title, 4), 123), GOLD_DARK)
    draw_text(canvas, tagline, left, 134, 2, BLUE_LIGHT)
    draw_key(canvas, 3.0, 300, 160, thickness=2)
    draw_glint(canvas, 352, 204, size=2)
    frame = minus(box(0, 0, width, height), box(3, 3, width - 3, height - 3))
    canvas.fill(frame, GOLD_DARK)
    return canvas


def emblem_icon(size):
    canvas = Canvas(size, size)
    draw_emblem(canvas, size / 32)
    return canvas


def pyramid_icon(size):
    canvas = Canvas(size, size)
    draw_pyramid(canvas, size / 32)
    return canvas


# --- GIF -------------------------------------------------------------------------

class BitWriter:
    """Packs codes of varying width, least significant bit first, as GIF wants."""

    def __init__(self):
        self.out = bytearray()
        self.buffer = 0
        self.count = 0

    def write(self, code, width):
        self.buffer |= code << self.count
        self.count += width
        while self.count >= 8:
            self.out.append(self.buffer & 0xFF)
            self.buffer >>= 8
            self.count -= 8

    def finish(self):
        if self.count:
            self.out.append(self.buffer & 0xFF)
        return bytes(self.out)


def lzw_encode(indices, min_code_size):
    """The GIF flavour of LZW.

    Codes below `clear` stand for single pixels; `clear` resets the table and
    `clear + 1` ends the data. Each emitted code adds the table entry "that
    string plus the next pixel". Codes start min_code_size + 1 bits wide and
    grow by one bit when the entry just added needs it, up to 12 bits; the
    decoder adds its entries one code later than the encoder, which is why
    the width grows when the new entry's code equals 2**width (not 2**width
    - 1). A full table (4096 entries) is cleared and begun again.
    """
    clear = 1 << min_code_size
    end = clear + 1
    bits = BitWriter()
    width = min_code_size + 1
    next_code = end + 1
    table = {}                               # (prefix code, pixel) -> code
    bits.write(clear, width)
    prefix = indices[0]
    for pixel in indices[1:]:
        code = table.get((prefix, pixel))
        if code is not None:
            prefix = code
            continue
        bits.write(prefix, width)
        if next_code == 4096:
            bits.write(clear, width)
            table.clear()
            width, next_code = min_code_size + 1, end + 1
        else:
            table[(prefix, pixel)] = next_code
            if next_code == 1 << width:
                width += 1
            next_code += 1
        prefix = pixel
    bits.write(prefix, width)
    # The decoder adds one more entry on reading that last code.
    if next_code == 1 << width and width < 12:
        width += 1
    bits.write(end, width)
    return bits.finish()


def lzw_decode(data, min_code_size, count):
    """The reverse of lzw_encode, used only to check its output."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    stream = int.from_bytes(data, "little")
    width, position, out = min_code_size + 1, 0, []
    table, previous = None, None
    while True:
        if position + width > len(data) * 8:
            raise ValueError("LZW data ends without its end code")
        code = (stream >> position) & ((1 << width) - 1)
        position += width
        if code == clear:
            table = [[i] for i in range(clear)] + [None, None]
            width, previous = min_code_size + 1, None
            continue
        if code == end:
            break
        if previous is None:
            entry = table[code]
        else:
            entry = table[code] if code < len(table) else table[previous] + table[previous][:1]
            table.append(table[previous] + entry[:1])
            if len(table) == 1 << width and width < 12:
                width += 1
        out.extend(entry)
        previous = code
    if len(out) != count:
        raise ValueError("LZW data decodes to %d pixels, not %d" % (len(out), count))
    return out


def gif_bytes(canvas, transparent=None):
    """A GIF89a file: one image with the palette as its global colour table."""
    bits = 4                                  # 16 colours
    assert len(PALETTE) == 1 << bits
    out = bytearray(b"GIF89a")
    # Logical screen: global table present, colour resolution and table size
    # both `bits`, background colour 0, square pixels.
    flags = 0x80 | (bits - 1) << 4 | (bits - 1)
    out += struct.pack("<HHBBB", canvas.width, canvas.height, flags, 0, 0)
    for colour in PALETTE:
        out += bytes(colour)
    if transparent is not None:
        # Graphic control extension: no disposal, no delay, transparent index.
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent, 0)
    # Image descriptor: the whole screen, no local table, not interlaced.
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, canvas.width, canvas.height, 0)
    min_code_size = max(2, bits)
    data = lzw_encode(canvas.pixels, min_code_size)
    if lzw_decode(data, min_code_size, len(canvas.pixels)) != canvas.pixels:
        raise AssertionError("the LZW encoder lost pixels")
    out.append(min_code_size)
    for start in range(0, len(data), 255):    # data sub-blocks, a length byte each
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)                             # block terminator
    out.append(0x3B)                          # trailer
    return bytes(out)


# --- ICO -----------------------------------------------------------------------

def row_bytes(bits_per_row):
    """Rows of a device-independent bitmap are padded to 4 bytes."""
    return (bits_per_row + 31) // 32 * 4


def icon_image(canvas):
    """One icon image: a 4-bit bitmap (header, palette, colours bottom row
    first) followed by its 1-bit mask, in which 1 marks a transparent pixel."""
    w, h = canvas.width, canvas.height
    colour_row, mask_row = row_bytes(4 * w), row_bytes(w)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0,
                         (colour_row + mask_row) * h, 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    colours, mask = bytearray(), bytearray()
    for y in reversed(range(h)):
        row = canvas.pixels[y * w:(y + 1) * w]
        packed = bytearray(colour_row)
        bitmask = bytearray(mask_row)
        for x, index in enumerate(row):
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if index == CLEAR:
                bitmask[x // 8] |= 0x80 >> (x % 8)
        colours += packed
        mask += bitmask
    return header + palette + bytes(colours) + bytes(mask)


def ico_bytes(canvases):
    """An icon file: the directory (reserved 0, type 1, count), one 16-byte
    entry per image, then the images."""
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        # width, height, colours, reserved, planes, bits per pixel, size, offset
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 16, 0, 1, 4,
                           len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


# --- PNG -------------------------------------------------------------------------

def png_chunk(kind, data):
    """A chunk: length, type, data, and the CRC of type and data."""
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_bytes(canvas):
    """An indexed-colour PNG (4 bits a pixel) with the palette, index 0
    transparent through the tRNS chunk, every row unfiltered."""
    w, h = canvas.width, canvas.height
    header = struct.pack(">IIBBBBB", w, h, 4, 3, 0, 0, 0)  # depth 4, palette
    palette = b"".join(bytes(colour) for colour in PALETTE)
    rows = bytearray()
    for y in range(h):
        rows.append(0)                                       # filter: none
        row = canvas.pixels[y * w:(y + 1) * w] + [0]         # pad an odd width
        rows += bytes(row[x] << 4 | row[x + 1] for x in range(0, w, 2))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"PLTE", palette) + png_chunk(b"tRNS", bytes([0]))
            + png_chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + png_chunk(b"IEND", b""))


def desktop_icon(size):
    """The emblem for the desktop, its outlines as thick at every size as the
    splash's, relative to the picture."""
    canvas = Canvas(size, size)
    scale = size / 32
    draw_emblem(canvas, scale, thickness=max(1, round(scale / 2)))
    return canvas


APP_ID = "org.vaultrix.Vaultrix"
DESKTOP_ICON_SIZES = (48, 128, 256)


# --- main --------------------------------------------------------------------

def pictures():
    """(folder, file name, bytes) of everything this script draws."""
    for name, glint in KEY_FRAMES:
        yield "images", name, gif_bytes(key_picture(glint), transparent=CLEAR)
    yield "images", "~logo.gif", gif_bytes(logo_picture(), transparent=CLEAR)
    yield "images", "~splash.gif", gif_bytes(splash_picture())
    yield "icons", "ADS.ICO", ico_bytes([emblem_icon(16), emblem_icon(32)])
    yield "icons", "WINPYR.ICO", ico_bytes([pyramid_icon(16), pyramid_icon(32)])
    for size in DESKTOP_ICON_SIZES:
        folder = os.path.join(os.pardir, "packaging", "icons", "hicolor",
                              "%dx%d" % (size, size), "apps")
        yield folder, APP_ID + ".png", png_bytes(desktop_icon(size))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "resources")
    for folder, name, data in pictures():
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        path = os.path.join(root, folder, name)
        with open(path, "wb") as f:
            f.write(data)
        print("%s (%d bytes)" % (os.path.normpath(path), len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
