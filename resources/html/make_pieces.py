#!/usr/bin/env python3
"""Writes the built-in HTML report pieces resources/html/<id>.htm from their readable sources
resources/html/src/<id>.html.

The sources are UTF-8 with LF line ends; the pieces are code page 932 (Shift-JIS as Windows writes
it) with CR LF line ends, which is what the report engine expands and what the reports carry.

The last line end of a source is not part of its piece, so an editor's final newline does no harm:
a piece that ends in a line break has an empty last line in its source, and a piece that continues
on the same line in the next piece (220 ends inside the heading after "(") has none.

Checks, each failing the run:
  - every character has a code page 932 form (no silent replacement);
  - no double-byte character has a trail byte of "{", "}" or "\\", so no byte pair can ever read as
    a token brace or an RTF escape, whatever the scanner knows of double-byte text;
  - the source holds no CR and no TAB.

    resources/html/make_pieces.py           write the pieces and list their sizes
    resources/html/make_pieces.py --check   only compare: fail when a piece is out of date
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
SOURCES = HERE / "src"

# The size each piece is meant to have, in bytes. The address-detail rows share one layout of 188
# bytes around their label and token, which gives 199 to 210 bytes.
EXPECTED_SIZES = {
    219: 778, 220: 1077, 221: 334, 222: 240, 223: 2110, 224: 605, 225: 976, 226: 737,
    227: 20, 228: 201, 229: 206, 230: 205, 231: 199, 232: 206, 233: 206, 234: 206, 235: 206,
    236: 101, 237: 210, 238: 210, 239: 210, 240: 210, 241: 210, 242: 205, 243: 199, 244: 496,
    245: 13, 246: 108, 247: 15, 248: 1790, 249: 932, 251: 11, 252: 913,
}

BAD_TRAIL_BYTES = {ord("{"), ord("}"), ord("\\")}


def piece_bytes(source: pathlib.Path) -> bytes:
    text = source.read_text(encoding="utf-8")
    if "\r" in text or "\t" in text:
        raise SystemExit(f"{source}: CR or TAB in the source")
    if text.endswith("\n"):
        text = text[:-1]
    out = bytearray()
    for char in text.replace("\n", "\r\n"):
        try:
            encoded = char.encode("cp932")
        except UnicodeEncodeError:
            raise SystemExit(f"{source}: {char!r} has no code page 932 form")
        if len(encoded) == 2 and encoded[1] in BAD_TRAIL_BYTES:
            raise SystemExit(f"{source}: {char!r} has a brace or backslash as its trail byte")
        out += encoded
    return bytes(out)


def main() -> int:
    check_only = "--check" in sys.argv[1:]
    stale = []
    for piece_id in sorted(EXPECTED_SIZES):
        data = piece_bytes(SOURCES / f"{piece_id}.html")
        target = HERE / f"{piece_id}.htm"
        if check_only:
            if not target.exists() or target.read_bytes() != data:
                stale.append(target.name)
        elif not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)
        expected = EXPECTED_SIZES[piece_id]
        mark = "" if len(data) == expected else f"  ({len(data) - expected:+d})"
        print(f"{piece_id}: {len(data):5d} bytes, meant {expected:5d}{mark}")
    if stale:
        print("out of date: " + " ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
