#!/bin/sh
# Regenerates the TIFF and PSD fixtures under formats/ with ImageMagick's
# convert, Pillow and libtiff's tiffcp. The source pictures are
# defined below; each fixture's expected colours are written beside it as
# <name>.ref.ppm, computed here from the source values, never read back
# through a tool. JPEG-compressed fixtures are compared with a tolerance.
#
# PYTHON and CONVERT choose the interpreter (it needs PIL) and ImageMagick's
# convert; TIFFCP libtiff's copier.
set -e
cd "$(dirname "$0")"
mkdir -p formats
cd formats
PYTHON=${PYTHON:-/usr/bin/python3}
export CONVERT=${CONVERT:-convert} TIFFCP=${TIFFCP:-tiffcp}
exec "$PYTHON" - <<'PY'
import os, struct, subprocess, tempfile
from PIL import Image

CONVERT, TIFFCP = os.environ["CONVERT"], os.environ["TIFFCP"]
W, H = 19, 17  # more than one 16 x 16 tile each way
tmp = tempfile.mkdtemp()


def run(*args):
    subprocess.run(list(args), check=True, capture_output=True)


def ppm(path, colours, width=W, height=H):
    open(path, "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(v for c in colours for v in c))


def pgm16(path, values):
    open(path, "wb").write(b"P5\n%d %d\n65535\n" % (W, H) + struct.pack(">%dH" % len(values), *values))


def ref(name, colours, width=W, height=H):
    ppm(name + ".ref.ppm", colours, width, height)


def tmpfile(name):
    return os.path.join(tmp, name)


# A colour picture with every pixel different, one with 40 colours (palette
# files), one with 9 (4-bit palette), a grey ramp and a bilevel pattern.
colour = [((x * 13 + y * 3) % 256, (y * 15 + x) % 256, (x * y * 7 + 40) % 256) for y in range(H) for x in range(W)]
few = [((i % 40) * 6, 255 - (i % 40) * 5, (i % 40) * 3 + 10) for i in ((x // 2) + 4 * (y // 3) for y in range(H) for x in range(W))]
nine = [[(255, 0, 0), (0, 128, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255), (20, 20, 20),
         (200, 200, 200), (128, 64, 0)][(x + y) % 9] for y in range(H) for x in range(W)]
grey = [(x * 11 + y * 2) % 256 for y in range(H) for x in range(W)]
bits = [((x * 3 + y) % 5) < 2 for y in range(H) for x in range(W)]  # True: black
ppm(tmpfile("colour.ppm"), colour)
ppm(tmpfile("few.ppm"), few)
ppm(tmpfile("nine.ppm"), nine)
ppm(tmpfile("grey.ppm"), [(g, g, g) for g in grey])

# TIFF -----------------------------------------------------------------------
run(CONVERT, tmpfile("colour.ppm"), "-compress", "None", "-endian", "LSB", "tiff_rgb_none_ii.tif")
run(CONVERT, tmpfile("colour.ppm"), "-compress", "LZW", "-endian", "MSB", "tiff_rgb_lzw_mm.tif")
run(TIFFCP, "-c", "zip:2", "tiff_rgb_none_ii.tif", "tiff_rgb_deflate_predictor.tif")
run(TIFFCP, "-c", "packbits", "-r", "3", "tiff_rgb_none_ii.tif", "tiff_rgb_packbits_strips.tif")
run(TIFFCP, "-c", "lzw", "-t", "-w", "16", "-l", "16", "tiff_rgb_none_ii.tif", "tiff_rgb_tiled.tif")
run(TIFFCP, "-p", "separate", "tiff_rgb_none_ii.tif", "tiff_rgb_planar.tif")
# JPEG gets a smooth picture, so its loss stays small.
smooth = [(x * 12, y * 14, 128 + x * 2) for y in range(H) for x in range(W)]
ppm(tmpfile("smooth.ppm"), smooth)
run(CONVERT, tmpfile("smooth.ppm"), "-compress", "None", tmpfile("smooth.tif"))
run(TIFFCP, "-c", "jpeg:90", tmpfile("smooth.tif"), "tiff_rgb_jpeg.tif")
ref("tiff_rgb_jpeg", smooth)
for name in ("tiff_rgb_none_ii", "tiff_rgb_lzw_mm", "tiff_rgb_deflate_predictor", "tiff_rgb_packbits_strips",
             "tiff_rgb_tiled", "tiff_rgb_planar"):
    ref(name, colour)

run(CONVERT, tmpfile("few.ppm"), "-type", "Palette", "-compress", "LZW", "tiff_pal8.tif")
ref("tiff_pal8", few)
Image.open(tmpfile("few.ppm")).convert("P", palette=Image.ADAPTIVE, colors=64).save("tiff_pal8_pil.tif", compression="packbits")
ref("tiff_pal8_pil", few)
run(CONVERT, tmpfile("nine.ppm"), "-type", "Palette", "tiff_pal4.tif")
ref("tiff_pal4", nine)

Image.open(tmpfile("grey.ppm")).convert("L").save("tiff_grey8.tif")
ref("tiff_grey8", [(g, g, g) for g in grey])
pgm16(tmpfile("grey16.pgm"), [g * 257 for g in grey])
run(CONVERT, tmpfile("grey16.pgm"), "-endian", "MSB", "-compress", "Zip", "tiff_grey16_mm.tif")
ref("tiff_grey16_mm", [(g, g, g) for g in grey])
run(CONVERT, tmpfile("colour.ppm"), "-depth", "16", "tiff_rgb16.tif")
ref("tiff_rgb16", colour)

# Bilevel: ImageMagick writes min-is-white (Group 4 here), Pillow min-is-black.
bw = Image.new("1", (W, H))
bw.putdata([0 if b else 255 for b in bits])
bw.save(tmpfile("bw.png"))
run(CONVERT, tmpfile("bw.png"), "-monochrome", "-compress", "Group4", "tiff_bilevel_g4.tif")
bw.save("tiff_bilevel_pil.tif")
for name in ("tiff_bilevel_g4", "tiff_bilevel_pil"):
    ref(name, [(0, 0, 0) if b else (255, 255, 255) for b in bits])

# Two pages: the first is the colour picture, the second something else.
run(CONVERT, tmpfile("colour.ppm"), tmpfile("nine.ppm"), "-compress", "LZW", "tiff_two_pages.tif")
ref("tiff_two_pages", colour)

# PSD ------------------------------------------------------------------------
alpha = [(x * 13 + y * 7) % 256 for y in range(H) for x in range(W)]
rgba = Image.open(tmpfile("colour.ppm")).convert("RGBA")
rgba.putalpha(Image.frombytes("L", (W, H), bytes(alpha)))
rgba.save(tmpfile("rgba.png"))
for compression, suffix in (("None", "raw"), ("RLE", "rle")):
    run(CONVERT, tmpfile("colour.ppm"), "-type", "TrueColor", "-compress", compression, "psd_rgb_%s.psd" % suffix)
    ref("psd_rgb_%s" % suffix, colour)
    run(CONVERT, tmpfile("grey.ppm"), "-type", "Grayscale", "-compress", compression, "psd_grey_%s.psd" % suffix)
    ref("psd_grey_%s" % suffix, [(g, g, g) for g in grey])
    run(CONVERT, tmpfile("rgba.png"), "-compress", compression, "psd_rgba_%s.psd" % suffix)
    ref("psd_rgba_%s" % suffix, colour)
    open("psd_rgba_%s.alpha.ppm" % suffix, "wb").write(b"P6\n%d %d\n255\n" % (W, H) + bytes(a for a in alpha for _ in range(3)))


def check(path, want):
    head = open(path, "rb").read(26)
    got = struct.unpack(">HIIHH", head[12:26])
    assert got[0] == want[0] and got[3:] == want[1:], (path, got)


check("psd_rgb_raw.psd", (3, 8, 3))
check("psd_grey_rle.psd", (1, 8, 1))
check("psd_rgba_rle.psd", (4, 8, 3))
PY
