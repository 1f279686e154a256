#!/usr/bin/env python3
"""Prints each argument (UTF-8 text) as a C string literal of its code page 932 bytes, with the
UTF-8 text in a trailing comment, for pasting into string_table.cpp.

    resources/cp932_literal.py 会社電話 Fax番号
"""
import sys


def literal(text: str) -> str:
    pieces = []
    escaped = False
    for char in text:
        encoded = char.encode("cp932")
        # Both bytes of a double-byte character are escaped, so a trail byte never reads as ASCII.
        if len(encoded) > 1 or encoded[0] >= 0x80 or encoded[0] < 0x20 or char in '"\\':
            pieces.extend(f"\\x{byte:02x}" for byte in encoded)
            escaped = True
            continue
        # A hex digit right after a \x escape would join the escape: start a new literal.
        if escaped and char in "0123456789abcdefABCDEF":
            pieces.append('" "')
        pieces.append(char)
        escaped = False
    return '"' + "".join(pieces) + '"'


for arg in sys.argv[1:]:
    print(f"{literal(arg)},  // {arg}")
