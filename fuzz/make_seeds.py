#!/usr/bin/env python3
"""Writes the fuzz target's seed corpus: eight control bytes, then the body."""
import os
import sys

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)

palette = bytes(b for i in range(256) for b in (i, 255 - i, (i * 7) & 255, 0))
core_palette = bytes(b for i in range(256) for b in (i, 255 - i, (i * 7) & 255))
pixels = bytes(range(256)) * 4


# Indexes into the fuzz target's tables and its flags; see shapeFile().
BIT_FIELDS, ALPHA_BIT_FIELDS, CORE_HEADER, SIXTEEN_COLOURS = 4, 5, 4, 2
PAD, MARKERS, MASKS, TOP_DOWN, NO_SIGNATURE = 0x01, 0x02, 0x08, 0x10, 0x20


def control(compression=0, info=0, colours=0, offset=0, bits=8, flags=0, size=0):
    return bytes([compression, info, colours, offset, 0, bits, flags, size])


def with_entry(entry, colour):
    """The palette with one entry (blue, green, red) changed."""
    return palette[: 4 * entry] + bytes(colour) + b"\x00" + palette[4 * entry + 4 :]


def rle(rows):
    out = bytearray()
    for row in rows:
        out += row + b"\x00\x00"
    return bytes(out + b"\x00\x01")


seeds = {
    "plain_padded_markers": control(flags=0x03) + palette + pixels,
    "plain_short": control() + palette + b"\x01\x02\x03",
    "rle8_deltas": control(compression=1, flags=0x02) + palette
    + rle([b"\x05\x01\x00\x03\x07\x08\x09\x00", b"\x00\x02\x0a\x03\xff\x02", b"\x00\x05abcde\x00"]),
    "rle8_v5": control(compression=1, info=3) + palette + rle([b"\x10\x05"] * 40),
    "rle8_ends_on_last_row": control(compression=1, flags=0x02) + palette
    + b"\x00\x02\x00\xff\x00\x02\x00\xff\x00\x02\x00\xb9\x00\x00",
    "sixteen_colours": control(colours=2, flags=0x03) + palette[:64] + bytes(64),
    "fixed_layout": control(offset=5, flags=0x01) + palette + b"\xff" * 40,
    "raw_size": control(flags=0x04) + b"\x7f\x07\xb8\x02" + palette,
    "core_header": control(info=CORE_HEADER, flags=PAD | MARKERS) + core_palette + pixels,
    "core_short_palette": control(info=CORE_HEADER, colours=SIXTEEN_COLOURS, flags=PAD | MARKERS)
    + core_palette[:48] + bytes(64),
    "bit_field_masks": control(compression=BIT_FIELDS, flags=PAD | MARKERS | MASKS) + palette + pixels,
    "alpha_bit_field_masks": control(compression=ALPHA_BIT_FIELDS, flags=PAD | MARKERS | MASKS)
    + palette + pixels,
    "top_down": control(flags=PAD | MARKERS | TOP_DOWN) + palette + pixels,
    "top_down_rle8": control(compression=1, flags=TOP_DOWN) + palette + rle([b"\x10\x05"] * 4),
    "no_signature": control(flags=PAD | MARKERS | NO_SIGNATURE) + palette + pixels,
    # For landinfo's hints: objects drawn in a copy of entry 255, or in magenta
    # at entry 17 with no index 255 at all.
    "marker_colour_copied": control(flags=PAD) + with_entry(17, palette[1020:1023]) + pixels,
    "magenta_without_markers": control(flags=PAD) + with_entry(17, (255, 0, 255))
    + bytes(range(255)) * 4,
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
print(f"wrote {len(seeds)} seeds to {here}", file=sys.stdout)
