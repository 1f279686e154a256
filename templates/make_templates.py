#!/usr/bin/env python3
"""Writes the template folder shipped with Tavolex from its readable sources.

    templates/src/<name>.html  -> templates/<name>.htm   (code page 932, CR LF)
    templates/src/<name>.rtf   -> templates/<name>.rtf   (code page 932, CR LF)
    "エグゼクティブ.htm": the built-in executive report as a template file, made of the built-in
    pieces in the order the built-in writer composes them (every attendee name line shown).
    logo.gif: the small picture the logo template refers to.

    templates/make_templates.py           write the templates
    templates/make_templates.py --check   only compare: fail when a template is out of date
"""
import pathlib
import struct
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent
PIECES = HERE.parent / "resources" / "html"
EXECUTIVE = [220, 251, 252, 226, 227, 245, 247, 246, 236, 244, 219, 223, 224, 225, 221]
BAD_TRAIL_BYTES = {ord("{"), ord("}"), ord("\\")}


def cp932_crlf(source: pathlib.Path) -> bytes:
    text = source.read_text(encoding="utf-8")
    out = bytearray()
    for char in text.replace("\r\n", "\n").replace("\n", "\r\n"):
        encoded = char.encode("cp932")
        if len(encoded) == 2 and encoded[1] in BAD_TRAIL_BYTES:
            raise SystemExit(f"{source}: {char!r} has a brace or backslash as its trail byte")
        out += encoded
    return bytes(out)


def logo_gif() -> bytes:
    """A 64 x 64 two-colour GIF: a steel-blue disc with a white "T", written by hand."""
    size = 64
    pixels = []
    for y in range(size):
        for x in range(size):
            dx, dy = x - 31.5, y - 31.5
            inside = dx * dx + dy * dy <= 30 * 30
            letter = (14 <= y <= 21 and 16 <= x <= 47) or (14 <= y <= 50 and 28 <= x <= 35)
            pixels.append(1 if inside and not letter else 0)
    # LZW with a 2-bit minimum code size, a clear code before every second pixel keeps every code at 3 bits.
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(4)
        codes.append(p)
    codes.append(5)
    bits, nbits, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    blocks = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    header = b"GIF89a" + struct.pack("<HHBBB", size, size, 0x80, 0, 0)
    palette = bytes([255, 255, 255, 70, 130, 180])
    image = b"," + struct.pack("<HHHHB", 0, 0, size, size, 0) + bytes([2]) + blocks + b"\x00"
    return header + palette + image + b";"


def outputs() -> dict:
    files = {"エグゼクティブ.htm": b"".join((PIECES / f"{i}.htm").read_bytes() for i in EXECUTIVE),
             "logo.gif": logo_gif()}
    for source in sorted((HERE / "src").iterdir()):
        name = source.stem + (".rtf" if source.suffix == ".rtf" else ".htm")
        files[name] = cp932_crlf(source)
    return files


def main() -> int:
    check_only = "--check" in sys.argv[1:]
    stale = []
    for name, data in outputs().items():
        target = HERE / name
        if target.exists() and target.read_bytes() == data:
            continue
        if check_only:
            stale.append(name)
        else:
            target.write_bytes(data)
            print(f"wrote {target.relative_to(HERE.parent)} ({len(data)} bytes)")
    if stale:
        print("out of date: " + ", ".join(stale) + " (run templates/make_templates.py)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
