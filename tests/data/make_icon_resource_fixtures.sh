#!/bin/sh
# Regenerates the icon, cursor and resource-file fixtures under formats/
# with Debian's python3-pil, imagemagick and binutils-mingw-w64-x86-64
# (windres, only for making these files). The source pictures are defined
# below; for every readable fixture the expected decoded colours are
# written beside it as <name>.ref.ppm, computed here from the source
# values, never read back through a tool. The script checks the bit count
# and colour count each tool wrote into the directory.
#
# PYTHON, CONVERT and WINDRES choose the tools.
set -e
cd "$(dirname "$0")"
mkdir -p formats
cd formats
PYTHON=${PYTHON:-python3}
CONVERT=${CONVERT:-convert}
WINDRES=${WINDRES:-x86_64-w64-mingw32-windres}
export CONVERT WINDRES
exec "$PYTHON" - <<'PY'
import os, struct, subprocess, tempfile
from PIL import Image

CONVERT = os.environ["CONVERT"]
WINDRES = os.environ["WINDRES"]
S = 16


def run(args):
    subprocess.run(args, check=True, capture_output=True)


def write_ref(name, image):
    rgb = image.convert("RGB")
    w, h = rgb.size
    data = bytes(v for y in range(h) for x in range(w) for v in rgb.getpixel((x, y)))
    open(name + ".ref.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + data)


def entry(path, index=0):
    d = open(path, "rb").read()
    w, h, cc, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", d, 6 + 16 * index)
    dib_bits = struct.unpack_from("<H", d, offset + 14)[0]
    return d, cc, dib_bits


def check(path, colour_count, bits, index=0):
    _, cc, dib_bits = entry(path, index)
    assert (cc, dib_bits) == (colour_count, bits), (path, cc, dib_bits)


# Sources: a black-and-white checker, 16 distinct colours in bands, 256
# greys, and a full-colour gradient; all 16 x 16.
bw = Image.new("1", (S, S))
for y in range(S):
    for x in range(S):
        bw.putpixel((x, y), 255 if (x // 4 + y // 2) % 2 else 0)
sixteen = [(255 * (i & 1), 255 * ((i >> 1) & 1), 255 * ((i >> 2) & 1)) if i < 8 else
           (128 * (i & 1) + 64, 128 * ((i >> 1) & 1) + 32, 128 * ((i >> 2) & 1) + 16) for i in range(16)]
bands = Image.new("RGB", (S, S))
for y in range(S):
    for x in range(S):
        bands.putpixel((x, y), sixteen[(x + y) % 16])
greys = Image.new("L", (S, S))
for y in range(S):
    for x in range(S):
        greys.putpixel((x, y), y * 16 + x)
gradient = Image.new("RGB", (S, S))
for y in range(S):
    for x in range(S):
        gradient.putpixel((x, y), (x * 17, y * 17, (x * y) % 256))
big = Image.new("RGB", (32, 32))
for y in range(32):
    for x in range(32):
        big.putpixel((x, y), (x * 8, 255 - y * 8, 100))

# Icons (Pillow writes the DIB form when asked; ImageMagick for 4 and 32 bits).
bw.save("ico_1bit.ico", bitmap_format="bmp", sizes=[(S, S)])
check("ico_1bit.ico", 2, 1)
write_ref("ico_1bit", bw)
greys.save("ico_8bit.ico", bitmap_format="bmp", sizes=[(S, S)])
check("ico_8bit.ico", 0, 8)
write_ref("ico_8bit", greys)
gradient.save("ico_24bit.ico", bitmap_format="bmp", sizes=[(S, S)])
check("ico_24bit.ico", 0, 24)
write_ref("ico_24bit", gradient)
with tempfile.TemporaryDirectory() as tmp:
    bands.save(os.path.join(tmp, "bands.png"))
    gradient.save(os.path.join(tmp, "gradient.png"))
    big.save(os.path.join(tmp, "big.png"))
    run([CONVERT, os.path.join(tmp, "bands.png"), "-type", "palette", "ico_4bit.ico"])
    check("ico_4bit.ico", 16, 4)
    write_ref("ico_4bit", bands)
    run([CONVERT, os.path.join(tmp, "gradient.png"), "ico_32bit.ico"])
    check("ico_32bit.ico", 0, 32)
    # A 16 x 16 16-colour image followed by a 32 x 32 one.
    run([CONVERT, os.path.join(tmp, "bands.png"), "-type", "palette", os.path.join(tmp, "big.png"), "ico_two_images.ico"])
    check("ico_two_images.ico", 16, 4)
    write_ref("ico_two_images", bands)

# A cursor: the 16-colour icon with type 2 and the hot spot (5, 9) where
# icons keep planes and bit count.
d = bytearray(open("ico_4bit.ico", "rb").read())
struct.pack_into("<H", d, 2, 2)
struct.pack_into("<HH", d, 6 + 4, 5, 9)
open("cur_hotspot.cur", "wb").write(d)
write_ref("cur_hotspot", bands)

# Resource files. windres keeps the DIBs as the source files hold them (the
# 8-bit bitmap has a colour table of only 3 entries) and writes bitmaps
# before icons whatever the script's order.
three = Image.new("P", (5, 3))
three.putpalette([255, 0, 0, 0, 128, 0, 10, 20, 30])
for y in range(3):
    for x in range(5):
        three.putpixel((x, y), (x + y) % 3)
with tempfile.TemporaryDirectory() as tmp:
    three.save(os.path.join(tmp, "three.bmp"))
    bpp, used = struct.unpack_from("<H", open(os.path.join(tmp, "three.bmp"), "rb").read(), 28)[0], \
        struct.unpack_from("<I", open(os.path.join(tmp, "three.bmp"), "rb").read(), 46)[0]
    assert (bpp, used) == (8, 3), (bpp, used)
    gradient.save(os.path.join(tmp, "photo.jpg"), quality=95)
    for name in ["ico_4bit.ico", "ico_8bit.ico", "ico_24bit.ico", "cur_hotspot.cur"]:
        os.link(name, os.path.join(tmp, name))

    def res(name, lines):
        rc = os.path.join(tmp, name + ".rc")
        open(rc, "w").write("\n".join(lines) + "\n")
        run([WINDRES, "--preprocessor=cpp", "-I", tmp, "-O", "res", rc, name])

    res("res_bitmap.res", ['THREE BITMAP "%s/three.bmp"' % tmp, 'APP ICON "%s/ico_4bit.ico"' % tmp])
    write_ref("res_bitmap", three)
    res("res_icon.res", ['APP ICON "%s/ico_8bit.ico"' % tmp])
    write_ref("res_icon", greys)
    res("res_icon24.res", ['APP ICON "%s/ico_24bit.ico"' % tmp])
    write_ref("res_icon24", gradient)
    res("res_cursor.res", ['POINTER CURSOR "%s/cur_hotspot.cur"' % tmp])
    write_ref("res_cursor", bands)
    res("res_jpeg.res", ['PHOTO JPEG "%s/photo.jpg"' % tmp])
    open("res_jpeg.jpg", "wb").write(open(os.path.join(tmp, "photo.jpg"), "rb").read())
PY
