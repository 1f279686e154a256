#!/usr/bin/env python3
"""Writes the desktop program's resources into a build folder.

    make_ui_resources.py <resources folder> <output folder>

Draws the icons (16 x 16 and 32 x 32 in one .ico each) and the tool bar bitmaps (16 x 16, normal,
hot, disabled and a monochrome mask per picture) from a few simple shapes, and writes tavolex_ui.rc
in code page 932 from tavolex_ui.rc.in (UTF-8): the string table is the program's portable one
(string_table.cpp) plus the window texts the template lists itself, each by its name in
string_ids.h.
"""
import os
import re
import struct
import sys

# --- A small raster: shapes given on a 32 x 32 grid, scaled to the picture's size ---------------


class Canvas:
    def __init__(self, size, background=None):
        self.size = size
        self.pixels = [[background] * size for _ in range(size)]  # None = transparent
        self.scale = size / 32.0

    def rect(self, x0, y0, x1, y1, colour):
        s = self.scale
        for y in range(int(round(y0 * s)), max(int(round(y1 * s)), int(round(y0 * s)) + 1)):
            for x in range(int(round(x0 * s)), max(int(round(x1 * s)), int(round(x0 * s)) + 1)):
                if 0 <= x < self.size and 0 <= y < self.size:
                    self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour, fill=None):
        if fill is not None:
            self.rect(x0, y0, x1, y1, fill)
        t = 32.0 / self.size  # one pixel at any size
        self.rect(x0, y0, x1, y0 + t, colour)
        self.rect(x0, y1 - t, x1, y1, colour)
        self.rect(x0, y0, x0 + t, y1, colour)
        self.rect(x1 - t, y0, x1, y1, colour)

    def disc(self, cx, cy, r, colour, inner=0.0):
        s = self.scale
        for y in range(self.size):
            for x in range(self.size):
                dx = (x + 0.5) / s - cx
                dy = (y + 0.5) / s - cy
                d = (dx * dx + dy * dy) ** 0.5
                if inner <= d <= r:
                    self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour, width=2.0):
        s = self.scale
        half = max(width / 2.0, 0.5 * 32.0 / self.size)
        for y in range(self.size):
            for x in range(self.size):
                px = (x + 0.5) / s
                py = (y + 0.5) / s
                vx, vy = x1 - x0, y1 - y0
                length2 = vx * vx + vy * vy or 1.0
                t = max(0.0, min(1.0, ((px - x0) * vx + (py - y0) * vy) / length2))
                dx = px - (x0 + t * vx)
                dy = py - (y0 + t * vy)
                if (dx * dx + dy * dy) ** 0.5 <= half:
                    self.pixels[y][x] = colour


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT = (200, 200, 200)
BLUE = (30, 80, 200)
SKY = (120, 170, 240)
GREEN = (20, 150, 40)
RED = (210, 30, 30)
YELLOW = (250, 220, 80)
ORANGE = (240, 140, 30)
BROWN = (150, 90, 40)
SKIN = (245, 200, 160)


def page(c, lines_colour, band):
    c.frame(6, 2, 26, 30, BLACK, WHITE)
    c.rect(7, 3, 25, 8, band)
    for y in (12, 16, 20, 24):
        c.rect(9, y, 23, y + 2, lines_colour)


def person(c, body, head=SKIN):
    c.disc(16, 9, 6, BLACK)
    c.disc(16, 9, 5, head)
    c.rect(7, 17, 25, 30, BLACK)
    c.rect(8, 18, 24, 29, body)


def draw_meeting(c):  # a table with two people
    c.disc(9, 8, 4.5, BLACK)
    c.disc(9, 8, 3.5, SKIN)
    c.disc(23, 8, 4.5, BLACK)
    c.disc(23, 8, 3.5, SKIN)
    c.rect(4, 13, 14, 20, BLUE)
    c.rect(18, 13, 28, 20, GREEN)
    c.rect(1, 19, 31, 24, BROWN)
    c.rect(4, 24, 7, 31, BROWN)
    c.rect(25, 24, 28, 31, BROWN)


def draw_html_report(c):
    page(c, SKY, BLUE)


def draw_rtf_report(c):
    page(c, (240, 150, 150), RED)


def draw_agenda(c, discussed):
    c.frame(3, 3, 29, 29, BLACK, WHITE)
    c.rect(8, 8, 24, 10, GREY)
    c.rect(8, 14, 24, 16, GREY)
    if discussed:
        c.line(7, 19, 13, 26, GREEN, 3)
        c.line(13, 26, 26, 12, GREEN, 3)
    else:
        c.disc(16, 22, 6, RED, 4)


def draw_note(c):
    c.rect(4, 4, 28, 28, YELLOW)
    c.frame(4, 4, 28, 28, BROWN)
    for y in (10, 15, 20):
        c.rect(8, y, 24, y + 2, BROWN)


def draw_todo(c, done):
    c.frame(4, 4, 28, 28, BLACK, WHITE)
    c.frame(6, 6, 26, 26, GREY)
    if done:
        c.line(8, 16, 14, 23, GREEN, 4)
        c.line(14, 23, 25, 9, GREEN, 4)


def draw_sketch(c):
    c.frame(2, 4, 30, 28, BLACK, WHITE)
    c.line(6, 22, 12, 12, BLUE, 2)
    c.line(12, 12, 18, 20, BLUE, 2)
    c.line(18, 20, 26, 8, BLUE, 2)
    c.line(20, 26, 28, 18, ORANGE, 3)


def draw_attendee(c):
    person(c, BLUE)


def draw_absent(c):
    person(c, LIGHT, LIGHT)
    c.line(6, 6, 26, 26, RED, 4)
    c.line(26, 6, 6, 26, RED, 4)


ICONS = {
    107: draw_meeting,
    108: draw_meeting,
    146: draw_meeting,
    147: draw_html_report,
    203: lambda c: draw_agenda(c, True),
    204: draw_note,
    205: lambda c: draw_agenda(c, False),
    206: lambda c: draw_todo(c, False),
    207: lambda c: draw_todo(c, True),
    208: draw_sketch,
    209: draw_attendee,
    210: draw_absent,
    211: draw_rtf_report,
}

# The tool bar's pictures: (normal, hot, disabled, mask) resource ids and the drawing.


def tb_report(c, tone):
    page(c, tone(SKY), tone(BLUE))


def tb_export(c, tone):
    c.frame(2, 2, 20, 30, BLACK, WHITE)
    c.rect(5, 8, 17, 10, tone(GREY))
    c.rect(5, 14, 17, 16, tone(GREY))
    c.line(14, 22, 28, 22, tone(GREEN), 4)
    c.line(22, 15, 29, 22, tone(GREEN), 4)
    c.line(22, 29, 29, 22, tone(GREEN), 4)


def tb_mail(c, tone):
    c.frame(2, 7, 30, 25, BLACK, tone(YELLOW))
    c.line(3, 8, 16, 18, BLACK, 2)
    c.line(29, 8, 16, 18, BLACK, 2)


def tb_refresh(c, tone):
    c.disc(16, 16, 12, tone(GREEN), 8)
    c.rect(16, 2, 30, 16, None)
    c.line(18, 4, 30, 4, tone(GREEN), 4)
    c.line(28, 4, 28, 14, tone(GREEN), 4)


def tb_delete(c, tone):
    c.line(6, 6, 26, 26, tone(RED), 6)
    c.line(26, 6, 6, 26, tone(RED), 6)


def tb_support(c, tone):
    c.disc(16, 16, 14, tone(RED), 7)
    c.line(16, 2, 16, 9, WHITE, 5)
    c.line(16, 23, 16, 30, WHITE, 5)
    c.line(2, 16, 9, 16, WHITE, 5)
    c.line(23, 16, 30, 16, WHITE, 5)


def tb_views(c, tone):
    for x, y in ((3, 3), (18, 3), (3, 18), (18, 18)):
        c.frame(x, y, x + 11, y + 11, BLACK, tone(SKY))


TOOLBAR = [
    ((224, 226, 225, 227), tb_report),
    ((228, 230, 229, 196), tb_export),
    ((236, 238, 237, 239), tb_mail),
    ((158, 242, 241, 243), tb_refresh),
    ((157, 234, 233, 235), tb_delete),
    ((244, 246, 245, 247), tb_support),
    ((248, 250, 249, 251), tb_views),
]

BACKGROUND = (192, 192, 192)  # where the mask is set


def normal(colour):
    return colour


def hot(colour):
    return colour if colour is None else tuple(min(255, v + 40) for v in colour)


def disabled(colour):
    if colour is None:
        return None
    grey = (colour[0] * 3 + colour[1] * 6 + colour[2]) // 10
    grey = 128 + grey // 3
    return (grey, grey, grey)


# --- File writers ----------------------------------------------------------------------------


def dib_rows_24(canvas, fill):
    rows = []
    for y in range(canvas.size - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.size):
            p = canvas.pixels[y][x] or fill
            row += bytes((p[2], p[1], p[0]))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    return b"".join(rows)


def write_bmp24(path, canvas, fill=BACKGROUND, transform=normal):
    size = canvas.size
    tc = Canvas(size)
    tc.pixels = [[transform(p) if p is not None else None for p in row] for row in canvas.pixels]
    data = dib_rows_24(tc, fill)
    header = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + header + data)


def mask_rows(canvas):
    rows = []
    stride = ((canvas.size + 31) // 32) * 4
    for y in range(canvas.size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.size):
            if canvas.pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def write_mask(path, canvas):
    data = mask_rows(canvas)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.size, canvas.size, 1, 1, 0, len(data), 2835, 2835, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + 8 + len(data), 0, 0, 62) + header + palette + data)


def icon_image(canvas):
    size = canvas.size
    colour = dib_rows_24(canvas, BLACK)
    mask = mask_rows(canvas)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def write_icon(path, draw):
    images = []
    # 16 and 32 at 96 pixels per inch, and the sizes a display at 125, 150 and 200 % asks for.
    for size in (16, 20, 24, 32, 40, 48, 64):
        c = Canvas(size)
        draw(c)
        images.append((size, icon_image(c)))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(data for _, data in images))


# --- The resource script ---------------------------------------------------------------------


def string_ids(header_text):
    ids = {}
    for name, value in re.findall(r"constexpr int (kIds\w+) = (\d+);", header_text):
        ids[name] = int(value)
    return ids


def own_string_ids(header_text):
    """The names and values of string_ids.h; a value given twice is an error."""
    ids = {}
    for name, value in re.findall(r"^#define (IDS_\w+) (\d+)", header_text, re.M):
        if int(value) in ids.values():
            sys.exit("string_ids.h: %s repeats the value %s" % (name, value))
        ids[name] = int(value)
    return ids


def c_string_bytes(literals):
    out = bytearray()
    for literal in re.findall(r'"((?:[^"\\]|\\.)*)"', literals, re.S):
        i = 0
        while i < len(literal):
            ch = literal[i]
            if ch == "\\":
                nxt = literal[i + 1]
                if nxt == "x":
                    m = re.match(r"[0-9a-fA-F]+", literal[i + 2:])
                    out.append(int(m.group(0), 16) & 0xFF)
                    i += 2 + len(m.group(0))
                    continue
                out += {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"', "'": b"'"}[nxt]
                i += 2
                continue
            out += ch.encode("ascii")
            i += 1
    return bytes(out)


def portable_strings(folder):
    with open(os.path.join(folder, "string_table.h"), encoding="utf-8") as f:
        ids = string_ids(f.read())
    with open(os.path.join(folder, "string_table.cpp"), encoding="utf-8") as f:
        source = f.read()
    table = {}
    pattern = r"\{(kIds\w+)(?:\s*\+\s*(\d+))?,\s*((?:\"(?:[^\"\\]|\\.)*\"\s*)+)\}"
    for name, plus, literals in re.findall(pattern, source):
        table[ids[name] + int(plus or 0)] = c_string_bytes(literals)
    return table


def rc_literal(data):
    out = bytearray(b'"')
    for b in data:
        if b == 0x22:
            out += b'""'
        elif b == 0x0A:
            out += b"\\n"
        elif b == 0x0D:
            out += b"\\r"
        elif b == 0x09:
            out += b"\\t"
        elif b == 0x5C:
            out += b"\\\\"
        else:
            out.append(b)
    return bytes(out + b'"')


def write_rc(folder, out_folder):
    with open(os.path.join(folder, "tavolex_ui.rc.in"), encoding="utf-8") as f:
        template = f.read()
    strings = portable_strings(folder)
    with open(os.path.join(folder, "string_ids.h"), encoding="utf-8") as f:
        ids = own_string_ids(f.read())
    # The template's own strings ("IDS_NAME TEXT" lines between the STRINGS markers), each written
    # under its name, which the script's #include of string_ids.h gives its value.
    own = {}
    names = {}
    head, rest = template.split("// @STRINGS-BEGIN\n")
    body, tail = rest.split("// @STRINGS-END\n")
    for line in body.splitlines():
        m = re.match(r"\s*(IDS_\w+)\s+(\".*\")\s*$", line)
        if not m:
            continue
        if m.group(1) not in ids:
            sys.exit("tavolex_ui.rc.in: %s is not in string_ids.h" % m.group(1))
        sid = ids[m.group(1)]
        if sid in strings:
            sys.exit("string_ids.h: %s takes the id of a text of string_table.h" % m.group(1))
        own[sid] = decode_own(m.group(2))
        names[sid] = m.group(1).encode("ascii")
    merged = dict(strings)
    merged.update(own)
    table = b"STRINGTABLE\nBEGIN\n"
    for sid in sorted(merged):
        table += b"    " + names.get(sid, b"%d" % sid) + b", " + rc_literal(merged[sid]) + b"\n"
    table += b"END\n"
    out = rc_bytes(head) + table + rc_bytes(tail)
    with open(os.path.join(out_folder, "tavolex_ui.rc"), "wb") as f:
        f.write(out)


def rc_bytes(text):
    """The text in code page 932, with a 0x5C second byte of a double-byte character doubled so
    the resource compiler never reads it as an escape."""
    data = text.encode("cp932")
    out = bytearray()
    i = 0
    while i < len(data):
        b = data[i]
        if (0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC) and i + 1 < len(data):
            out.append(b)
            out += b"\\\\" if data[i + 1] == 0x5C else bytes((data[i + 1],))
            i += 2
            continue
        out.append(b)
        i += 1
    return bytes(out)


def decode_own(quoted):
    text = quoted[1:-1]
    text = text.replace("\\n", "\n").replace("\\r", "\r").replace("\\t", "\t").replace('\\"', '"')
    return text.encode("cp932")


def main():
    folder, out_folder = sys.argv[1], sys.argv[2]
    art = os.path.join(out_folder, "art")
    os.makedirs(art, exist_ok=True)
    for rid, draw in ICONS.items():
        write_icon(os.path.join(art, "icon%d.ico" % rid), draw)
    for ids, draw in TOOLBAR:
        c = Canvas(16)
        draw(c, normal)
        write_bmp24(os.path.join(art, "bmp%d.bmp" % ids[0]), c, transform=normal)
        write_bmp24(os.path.join(art, "bmp%d.bmp" % ids[1]), c, transform=hot)
        write_bmp24(os.path.join(art, "bmp%d.bmp" % ids[2]), c, transform=disabled)
        write_mask(os.path.join(art, "bmp%d.bmp" % ids[3]), c)
    # The report lists' 15 x 15 item pictures: an image drawn on black (put with OR) and a mask
    # that is white where the list's background shows through (put with AND).
    for image_id, mask_id, draw in ((211, 215, draw_html_report), (258, 259, draw_rtf_report)):
        c = Canvas(15)
        draw(c)
        write_bmp24(os.path.join(art, "bmp%d.bmp" % image_id), c, fill=BLACK)
        write_mask(os.path.join(art, "bmp%d.bmp" % mask_id), c)
    about = Canvas(32, WHITE)
    draw_meeting(about)
    write_bmp24(os.path.join(art, "bmp149.bmp"), about)
    write_rc(folder, out_folder)


if __name__ == "__main__":
    main()
