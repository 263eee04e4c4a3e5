#!/bin/sh
# Regenerates the PNG, GIF and PNM fixtures under formats/ with the tools of
# Debian's netpbm, imagemagick and python3-pil packages. The source pictures
# are defined below; for every fixture the expected decoded colours are
# written beside it as <name>.ref.ppm (and the expected alpha plane, grey in
# all three channels, as <name>.alpha.ppm), computed here from the source
# values, never read back through a tool. The script checks that each tool
# wrote the PNG colour type, bit depth and chunks the fixture is named for.
#
# PYTHON and CONVERT choose the interpreter (it needs PIL) and ImageMagick's
# convert.
set -e
cd "$(dirname "$0")"
mkdir -p formats
cd formats
PYTHON=${PYTHON:-python3}
CONVERT=${CONVERT:-convert}
export CONVERT
exec "$PYTHON" - <<'PY'
import os, shutil, struct, subprocess
from PIL import Image

CONVERT = os.environ["CONVERT"]
W, H = 7, 5


def run(args, out=None, stdin=None):
    data = subprocess.run(args, check=True, capture_output=True, input=stdin).stdout
    if out:
        open(out, "wb").write(data)
    return data


def pam(path, width, height, depth, maxval, tupltype, samples):
    fmt = ">%dH" if maxval > 255 else "%dB"
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL %d\nTUPLTYPE %s\nENDHDR\n" % (
        width, height, depth, maxval, tupltype)
    open(path, "wb").write(header.encode() + struct.pack(fmt % len(samples), *samples))


def write_ref(name, colours, width=W, height=H):
    open(name + ".ref.ppm", "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(v for c in colours for v in c))


def write_alpha(name, alpha, width=W, height=H):
    open(name + ".alpha.ppm", "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(a for a in alpha for _ in range(3)))


def scale(v, maxval):
    return (v * 255 + maxval // 2) // maxval


def png_chunks(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.setdefault(kind.decode(), data[at + 8:at + 8 + length])
        at += 12 + length
    return chunks


def check_png(path, colour_type, depth, interlaced=False, trns=False):
    c = png_chunks(path)
    ihdr = c["IHDR"]
    got = (ihdr[9], ihdr[8], ihdr[12], "tRNS" in c)
    assert got == (colour_type, depth, int(interlaced), trns), (path, got)


# Source pictures --------------------------------------------------------
coords = [(x, y) for y in range(H) for x in range(W)]
rgb = [((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y * 29 + 7) % 256) for x, y in coords]
rgb16 = [((x * 9371 + y * 3119) % 65536, (x * 1237 + y * 17011 + 999) % 65536, (x * y * 4099 + 77) % 65536)
         for x, y in coords]
# Two colours that differ at 16 bits but not at 8: only the first is the
# transparent colour of the tRNS fixtures.
rgb16[0], rgb16[1] = (0x1234, 0x5678, 0x9ABC), (0x1235, 0x5678, 0x9ABC)
alpha8 = [(x * 41 + y * 23) % 256 for x, y in coords]
alpha8[0], alpha8[1] = 0, 255
alpha16 = [(x * 9001 + y * 4001) % 65536 for x, y in coords]
alpha16[0], alpha16[1] = 0, 65535
greys = {m: [(x * 3 + y * 5) % (m + 1) for x, y in coords] for m in (1, 3, 15)}
greys[255] = [(x * 37 + y * 11) % 256 for x, y in coords]
greys[65535] = [(x * 9371 + y * 3119) % 65536 for x, y in coords]
greys[65535][0], greys[65535][1] = 0x4321, 0x4322
eight = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255), (255, 255, 255)]
palettes = {
    1: [(200, 30, 40), (10, 220, 90)],
    2: [(200, 30, 40), (10, 220, 90), (70, 70, 250), (250, 250, 10)],
    4: [((i * 53) % 256, (i * 97) % 256, (i * 31 + 40) % 256) for i in range(16)],
}
indexed = {bits: [p[(x + 2 * y) % len(p)] for x, y in coords] for bits, p in palettes.items()}
# 17 x 9 with 153 colours, for the 8-bit palettes.
MW, MH = 17, 9
many = [((x // 2) * 30, y * 28, ((x // 2) * 7 + y * 3) % 256) for y in range(MH) for x in range(MW)]


def ppm(path, pixels, width=W, height=H, maxval=255):
    fmt = ">%dH" if maxval > 255 else "%dB"
    flat = [v for p in pixels for v in p]
    open(path, "wb").write(b"P6\n%d %d\n%d\n" % (width, height, maxval) + struct.pack(fmt % len(flat), *flat))


def pgm(path, values, maxval):
    fmt = ">%dH" if maxval > 255 else "%dB"
    open(path, "wb").write(b"P5\n%d %d\n%d\n" % (W, H, maxval) + struct.pack(fmt % len(values), *values))


os.makedirs("src", exist_ok=True)
ppm("src/rgb.ppm", rgb)
ppm("src/rgb16.ppm", rgb16, maxval=65535)
for m, v in greys.items():
    pgm("src/grey%d.pgm" % m, v, m)
for bits, pixels in indexed.items():
    ppm("src/pal%d.ppm" % bits, pixels)
ppm("src/many.ppm", many, MW, MH)

grey_ref = {m: [(scale(v, m),) * 3 for v in values] for m, values in greys.items()}
rgb16_ref = [tuple(scale(v, 65535) for v in p) for p in rgb16]

# PNG: every colour type and bit depth ---------------------------------
for m, depth in ((1, 1), (3, 2), (15, 4), (255, 8), (65535, 16)):
    name = "png_grey%d" % depth
    run(["pnmtopng", "-force", "src/grey%d.pgm" % m], name + ".png")
    check_png(name + ".png", 0, depth)
    write_ref(name, grey_ref[m])
run(["pnmtopng", "-force", "-interlace", "src/grey3.pgm"], "png_grey2_adam7.png")
check_png("png_grey2_adam7.png", 0, 2, interlaced=True)
write_ref("png_grey2_adam7", grey_ref[3])

run(["pnmtopng", "-force", "src/rgb.ppm"], "png_rgb8.png")
check_png("png_rgb8.png", 2, 8)
write_ref("png_rgb8", rgb)
run(["pnmtopng", "-force", "-interlace", "src/rgb.ppm"], "png_rgb8_adam7.png")
check_png("png_rgb8_adam7.png", 2, 8, interlaced=True)
write_ref("png_rgb8_adam7", rgb)
run(["pnmtopng", "-force", "src/rgb16.ppm"], "png_rgb16.png")
check_png("png_rgb16.png", 2, 16)
write_ref("png_rgb16", rgb16_ref)

for bits in (1, 2, 4):
    name = "png_pal%d" % bits
    run(["pnmtopng", "src/pal%d.ppm" % bits], name + ".png")
    check_png(name + ".png", 3, bits)
    write_ref(name, indexed[bits])
run(["pnmtopng", "-interlace", "src/pal4.ppm"], "png_pal4_adam7.png")
check_png("png_pal4_adam7.png", 3, 4, interlaced=True)
write_ref("png_pal4_adam7", indexed[4])
run(["pnmtopng", "src/many.ppm"], "png_pal8.png")
check_png("png_pal8.png", 3, 8)
write_ref("png_pal8", many, MW, MH)

# Grey with alpha, 8-bit (PIL) and 16-bit (netpbm).
la = Image.new("LA", (W, H))
la.putdata([(g, a) for g, a in zip(greys[255], alpha8)])
la.save("png_greya8.png")
check_png("png_greya8.png", 4, 8)
write_ref("png_greya8", grey_ref[255])
write_alpha("png_greya8", alpha8)
pam("src/greya16.pam", W, H, 2, 65535, "GRAYSCALE_ALPHA", [v for g, a in zip(greys[65535], alpha16) for v in (g, a)])
run(["pamtopng", "src/greya16.pam"], "png_greya16.png")
check_png("png_greya16.png", 4, 16)
write_ref("png_greya16", grey_ref[65535])
write_alpha("png_greya16", [scale(a, 65535) for a in alpha16])

# RGBA: 8-bit (PIL, and netpbm interlaced), 16-bit (ImageMagick).
rgba = Image.new("RGBA", (W, H))
rgba.putdata([p + (a,) for p, a in zip(rgb, alpha8)])
rgba.save("png_rgba8.png")
check_png("png_rgba8.png", 6, 8)
write_ref("png_rgba8", rgb)
write_alpha("png_rgba8", alpha8)
pam("src/rgba8.pam", W, H, 4, 255, "RGB_ALPHA", [v for p, a in zip(rgb, alpha8) for v in p + (a,)])
run(["pamtopng", "-interlace", "src/rgba8.pam"], "png_rgba8_adam7.png")
check_png("png_rgba8_adam7.png", 6, 8, interlaced=True)
write_ref("png_rgba8_adam7", rgb)
write_alpha("png_rgba8_adam7", alpha8)
pam("src/rgba16.pam", W, H, 4, 65535, "RGB_ALPHA", [v for p, a in zip(rgb16, alpha16) for v in p + (a,)])
run([CONVERT, "src/rgba16.pam", "-strip", "-define", "png:color-type=6", "-define", "png:bit-depth=16", "png_rgba16.png"])
check_png("png_rgba16.png", 6, 16)
write_ref("png_rgba16", rgb16_ref)
write_alpha("png_rgba16", [scale(a, 65535) for a in alpha16])

# tRNS: a palette with graded alpha (PIL), one transparent palette entry
# (netpbm), a single RGB and grey colour at 8 and 16 bits (netpbm, PIL).
pal = Image.new("P", (W, H))
pal.putpalette([v for c in palettes[4] for v in c])
pal.putdata([(x + 2 * y) % 16 for x, y in coords])
pal_alpha = [(i * 17) % 256 for i in range(10)]  # entries 10..15 stay opaque
pal.save("png_pal4_trns.png", transparency=bytes(pal_alpha), bits=4)
check_png("png_pal4_trns.png", 3, 4, trns=True)
write_ref("png_pal4_trns", indexed[4])
write_alpha("png_pal4_trns", [pal_alpha[i] if i < 10 else 255 for i in ((x + 2 * y) % 16 for x, y in coords)])

key = many[3 * MW + 5]
run(["pnmtopng", "-transparent=rgb:%02x/%02x/%02x" % key, "src/many.ppm"], "png_pal8_trns.png")
check_png("png_pal8_trns.png", 3, 8, trns=True)
write_ref("png_pal8_trns", many, MW, MH)
write_alpha("png_pal8_trns", [0 if p == key else 255 for p in many], MW, MH)

key = rgb[2 * W + 3]
run(["pamtopng", "-transparent=rgb:%02x/%02x/%02x" % key, "src/rgb.ppm"], "png_rgb8_trns.png")
check_png("png_rgb8_trns.png", 2, 8, trns=True)
write_ref("png_rgb8_trns", rgb)
write_alpha("png_rgb8_trns", [0 if p == key else 255 for p in rgb])

run(["pamtopng", "-transparent=rgb:1234/5678/9abc", "src/rgb16.ppm"], "png_rgb16_trns.png")
check_png("png_rgb16_trns.png", 2, 16, trns=True)
write_ref("png_rgb16_trns", rgb16_ref)
write_alpha("png_rgb16_trns", [0 if p == rgb16[0] else 255 for p in rgb16])

grey = Image.new("L", (W, H))
grey.putdata(greys[255])
key = greys[255][W + 2]
grey.save("png_grey8_trns.png", transparency=key)
check_png("png_grey8_trns.png", 0, 8, trns=True)
write_ref("png_grey8_trns", grey_ref[255])
write_alpha("png_grey8_trns", [0 if v == key else 255 for v in greys[255]])

run(["pamtopng", "-transparent=rgb:55/55/55", "src/grey3.pgm"], "png_grey2_trns.png")
check_png("png_grey2_trns.png", 0, 2, trns=True)
write_ref("png_grey2_trns", grey_ref[3])
write_alpha("png_grey2_trns", [0 if v == 1 else 255 for v in greys[3]])

run(["pamtopng", "-transparent=rgb:4321/4321/4321", "src/grey65535.pgm"], "png_grey16_trns.png")
check_png("png_grey16_trns.png", 0, 16, trns=True)
write_ref("png_grey16_trns", grey_ref[65535])
write_alpha("png_grey16_trns", [0 if v == 0x4321 else 255 for v in greys[65535]])

# GIF --------------------------------------------------------------------
run(["ppmtogif", "src/many.ppm"], "gif_global.gif")
write_ref("gif_global", many, MW, MH)
run(["ppmtogif", "-interlace", "src/many.ppm"], "gif_interlaced.gif")
write_ref("gif_interlaced", many, MW, MH)
run([CONVERT, "src/many.ppm", "-interlace", "GIF", "gif_interlaced_im.gif"])
assert open("gif_interlaced_im.gif", "rb").read().find(b",") > 0
write_ref("gif_interlaced_im", many, MW, MH)
key = indexed[4][W + 1]
run(["ppmtogif", "-transparent=rgb:%02x/%02x/%02x" % key, "src/pal4.ppm"], "gif_transparent.gif")
write_ref("gif_transparent", indexed[4])
write_alpha("gif_transparent", [0 if p == key else 255 for p in indexed[4]])
pal.save("gif_pil_transparent.gif", transparency=6)
write_ref("gif_pil_transparent", indexed[4])
write_alpha("gif_pil_transparent", [0 if p == palettes[4][6] else 255 for p in indexed[4]])


def gif_parts(data):
    """Splits a single-frame GIF without extensions other than a GCE into
    screen, global table, blocks before the image, image descriptor, rest."""
    flags = data[10]
    table = 3 << ((flags & 7) + 1) if flags & 0x80 else 0
    at = 13 + table
    start = at
    while data[at] == 0x21:  # extensions: introducer, label, sub-blocks
        at += 2
        while data[at]:
            at += data[at] + 1
        at += 1
    assert data[at] == 0x2C
    return data[:13], data[13:13 + table], data[start:at], data[at:at + 10], data[at + 10:]


# The global table made wrong and the right one moved into a local table:
# only a reader that prefers the local table gets the colours.
screen, table, before, desc, rest = gif_parts(open("gif_global.gif", "rb").read())
wrong = bytes(255 - b for b in table)
local = bytearray(desc)
local[9] = (local[9] & 0x40) | 0x80 | (screen[10] & 7)
open("gif_local.gif", "wb").write(screen + wrong + before + bytes(local) + table + rest)
write_ref("gif_local", many, MW, MH)

# A 7 x 5 frame at (3, 2) on a 12 x 9 screen with background index 2, with
# and without a transparent index.
SW, SH, LEFT, TOP = 12, 9, 3, 2
for name, source in (("gif_offset", "src/pal4.ppm"), ("gif_offset_transparent", "gif_transparent.gif")):
    if source.endswith(".ppm"):
        run(["ppmtogif", source], name + ".gif")
        source = name + ".gif"
    screen, table, before, desc, rest = gif_parts(open(source, "rb").read())
    screen = bytearray(screen)
    screen[6:10] = struct.pack("<HH", SW, SH)
    screen[11] = 2
    desc = bytearray(desc)
    desc[1:5] = struct.pack("<HH", LEFT, TOP)
    open(name + ".gif", "wb").write(bytes(screen) + table + before + bytes(desc) + rest)
    colours = [tuple(table[i:i + 3]) for i in range(0, len(table), 3)]
    transparent = before[6] if before[:2] == b"\x21\xf9" and before[3] & 1 else None
    fill = colours[2 if transparent is None else transparent]
    canvas = [fill] * (SW * SH)
    for (x, y), p in zip(coords, indexed[4]):
        canvas[(TOP + y) * SW + LEFT + x] = p
    write_ref(name, canvas, SW, SH)
    if transparent is not None:
        write_alpha(name, [0 if p == colours[transparent] else 255 for p in canvas], SW, SH)

# PNM --------------------------------------------------------------------
mono = [int((x * 3 + y) % 5 < 2) for x, y in coords]  # 1 = black
pam("src/mono.pam", W, H, 1, 1, "BLACKANDWHITE", [1 - b for b in mono])
run(["pamtopnm", "src/mono.pam"], "pnm_p4.pbm")
run(["pnmtoplainpnm", "pnm_p4.pbm"], "pnm_p1.pbm")
run([CONVERT, "pnm_p4.pbm", "-compress", "none", "pnm_p1_im.pbm"])
for name in ("pnm_p4", "pnm_p1", "pnm_p1_im"):
    write_ref(name, [(0, 0, 0) if b else (255, 255, 255) for b in mono])
run(["pamtopnm", "src/grey255.pgm"], "pnm_p5.pgm")
run(["pnmtoplainpnm", "pnm_p5.pgm"], "pnm_p2.pgm")
run([CONVERT, "pnm_p5.pgm", "-compress", "none", "pnm_p2_im.pgm"])
run(["ppmtoppm"], "pnm_p6.ppm", stdin=open("src/rgb.ppm", "rb").read())
run(["pnmtoplainpnm", "pnm_p6.ppm"], "pnm_p3.ppm")
run([CONVERT, "pnm_p6.ppm", "-compress", "none", "pnm_p3_im.ppm"])
for name in ("pnm_p5", "pnm_p2", "pnm_p2_im"):
    write_ref(name, grey_ref[255])
for name in ("pnm_p6", "pnm_p3", "pnm_p3_im"):
    write_ref(name, rgb)
run(["pamdepth", "65535", "src/rgb16.ppm"], "pnm_p6_16.ppm")
run(["pnmtoplainpnm", "pnm_p6_16.ppm"], "pnm_p3_16.ppm")
run(["pamdepth", "65535", "src/grey65535.pgm"], "pnm_p5_16.pgm")
for name in ("pnm_p6_16", "pnm_p3_16"):
    write_ref(name, rgb16_ref)
write_ref("pnm_p5_16", grey_ref[65535])
shutil.rmtree("src")
PY
