#!/usr/bin/python3
"""Writes the small valid seeds for readers that have no test fixtures.

Each seed is a few hundred bytes so the fuzzer mutates structure, not pixels.
Run from anywhere; writes next to this script: <extension>/<name>.
"""
import io
import os
import struct

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def write(extension, name, data):
    folder = os.path.join(HERE, extension)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def gradient(mode, size):
    image = Image.new("RGBA", size)
    w, h = size
    image.putdata([(x * 255 // max(w - 1, 1), y * 255 // max(h - 1, 1), 128, 64 + x * 16 % 192)
                   for y in range(h) for x in range(w)])
    return image.convert(mode)


def png(image, **options):
    out = io.BytesIO()
    image.save(out, "PNG", **options)
    return out.getvalue()


def seed_png():
    write("png", "rgb.png", png(gradient("RGB", (5, 3))))
    write("png", "rgba_interlaced.png", png(gradient("RGBA", (7, 5)), interlace=1))
    write("png", "grey_alpha.png", png(gradient("LA", (4, 4))))
    write("png", "palette_trns.png", png(gradient("RGB", (6, 2)).convert("P", colors=4),
                                         transparency=1))
    write("png", "grey16.png", png(gradient("L", (3, 3)).convert("I;16")))
    write("png", "mono.png", png(gradient("L", (9, 2)).convert("1")))


def icon_dib(width, height, bits):
    """A DIB as icons carry it: doubled height, colour rows then the AND mask."""
    colours = 1 << bits if bits <= 8 else 0
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)
    palette = b"".join(struct.pack("<BBBB", i * 80 % 256, i * 40 % 256, 255 - i * 60 % 256, 0)
                       for i in range(colours))
    stride = (width * bits + 31) // 32 * 4
    rows = b""
    for y in range(height):
        if bits == 32:
            row = b"".join(struct.pack("<BBBB", x * 60 % 256, y * 70 % 256, 90, 255 - x * 30)
                           for x in range(width))
        elif bits == 24:
            row = b"".join(struct.pack("<BBB", x * 60 % 256, y * 70 % 256, 90) for x in range(width))
        else:
            row = bytes((x + y) % colours for x in range(width)) if bits == 8 else \
                bytes(((x + y) % 4 << 4) | ((x + y + 1) % 4) for x in range((width + 1) // 2))
        rows += row.ljust(stride, b"\0")
    mask_stride = (width + 31) // 32 * 4
    mask = b"".join(bytes([0b10100000 if y == 0 else 0]).ljust(mask_stride, b"\0") for y in range(height))
    return header + palette + rows + mask


def icon(entries, kind=1):
    directory = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    records, images = b"", b""
    for width, height, bits in entries:
        dib = icon_dib(width, height, bits)
        hotspot = (1, 2) if kind == 2 else (1, bits)
        records += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, *hotspot, len(dib), offset)
        images += dib
        offset += len(dib)
    return directory + records + images


def seed_ico():
    write("ico", "pal4.ico", icon([(5, 4, 4)]))
    write("ico", "pal8_and_rgb24.ico", icon([(4, 4, 8), (3, 2, 24)]))
    write("ico", "rgba32.ico", icon([(4, 3, 32)]))


def seed_raw():
    # Two digits give the sides as powers of two; the file is exactly the pixels.
    write("raw", "4x2.raw", b"21" + bytes(range(4 * 2 * 3)))
    write("raw", "1x1.raw", b"00" + b"\x10\x20\x30")


def seed_exif():
    # The APP1 segments (marker included) of the Exif test files.
    folder = os.path.join(HERE, "..", "..", "tests", "data", "jpegsave")
    for name in sorted(os.listdir(folder)):
        if not (name.startswith("exif_") and name.endswith(".jpg")) or os.path.getsize(os.path.join(folder, name)) > 4096:
            continue
        data = open(os.path.join(folder, name), "rb").read()
        at = 2
        while at + 4 <= len(data) and data[at] == 0xFF and data[at + 1] not in (0xDA, 0xD9):
            length = data[at + 2] << 8 | data[at + 3]
            if data[at + 1] == 0xE1 and data[at + 4:at + 8] == b"Exif":
                write("exif", name[:-4] + ".app1", data[at:at + 2 + length])
                break
            at += 2 + length


if __name__ == "__main__":
    seed_png()
    seed_ico()
    seed_raw()
    seed_exif()
