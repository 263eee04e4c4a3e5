#!/bin/sh
# Regenerates the Targa, PCX and SGI fixtures under formats/ with Debian's
# netpbm, imagemagick and python3-pil. For every fixture the expected
# decoded colours are written beside it as <name>.ref.ppm (and the expected
# fourth bytes of 32-bit pixels, grey in all three channels, as
# <name>.alpha.ppm), computed here from the source values, never read back
# through a tool. The script checks the header fields each fixture is named
# for (type, depth, planes, storage, orientation), so a tool that changed its
# defaults is noticed. The 16-bit Targa files are written here byte by byte
# (no tool writes them) and must read back through Pillow as their source.
#
# PYTHON and CONVERT choose the interpreter (it needs PIL) and ImageMagick's
# convert.
set -e
cd "$(dirname "$0")"
mkdir -p formats
cd formats
PYTHON=${PYTHON:-/usr/bin/python3}
CONVERT=${CONVERT:-convert}
export CONVERT
exec "$PYTHON" - <<'PY'
import os, shutil, struct, subprocess
from PIL import Image

CONVERT = os.environ["CONVERT"]
# Wide enough for runs that cross row ends; the left part of each row is
# runs, the right part changes every pixel.
W, H = 11, 6


def run(args, out=None, stdin=None):
    data = subprocess.run(args, check=True, capture_output=True, input=stdin).stdout
    if out:
        open(out, "wb").write(data)
    return data


def write_ref(name, colours, width=W, height=H):
    open(name + ".ref.ppm", "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(v for c in colours for v in c))


def write_alpha(name, alpha, width=W, height=H):
    open(name + ".alpha.ppm", "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(a for a in alpha for _ in range(3)))


def ppm(path, pixels, width=W, height=H):
    open(path, "wb").write(b"P6\n%d %d\n255\n" % (width, height) + bytes(v for p in pixels for v in p))


def pgm(path, values):
    open(path, "wb").write(b"P5\n%d %d\n255\n" % (W, H) + bytes(values))


def pam(path, pixels, alpha):
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (W, H)
    open(path, "wb").write(header.encode() + bytes(v for p, a in zip(pixels, alpha) for v in p + (a,)))


def header(path, size):
    return open(path, "rb").read()[:size]


def expect(path, got, wanted):
    assert got == wanted, (path, got, wanted)


# Source pictures --------------------------------------------------------
coords = [(x, y) for y in range(H) for x in range(W)]


def runs_then_noise(x, y, noise):
    return noise((x // 4) * 3 + y // 2, 0) if x < 6 else noise(x, y)


rgb = [runs_then_noise(x, y, lambda a, b: ((a * 37 + b * 11 + 5) % 256, (a * 5 + b * 53 + 200) % 256,
                                           (a * b * 29 + a * 71 + 7) % 256)) for x, y in coords]
alpha = [(x * 41 + y * 23 + 9) % 256 for x, y in coords]
grey = [((x // 4) * 60 + y * 7 if x < 6 else x * 37 + y * 11 + 3) % 256 for x, y in coords]
palettes = {n: [((i * 53 + 17) % 256, (i * 97 + 3) % 256, (i * 31 + 40) % 256) for i in range(n)]
            for n in (2, 4, 8, 16, 40)}
palettes[2] = [(0, 0, 0), (255, 255, 255)]


def indexed(n):
    return [palettes[n][((x // 3) + y if x < 6 else x * 3 + y * 5) % n] for x, y in coords]


os.makedirs("src", exist_ok=True)
ppm("src/rgb.ppm", rgb)
pgm("src/grey.pgm", grey)
pam("src/rgba.pam", rgb, alpha)
for n in palettes:
    ppm("src/pal%d.ppm" % n, indexed(n))
grey_rgb = [(g, g, g) for g in grey]

# Targa ------------------------------------------------------------------
def check_tga(path, image_type, depth, top_down, cmap_type=0):
    h = header(path, 18)
    expect(path, (h[1], h[2], h[16], bool(h[17] & 0x20)), (cmap_type, image_type, depth, top_down))


# ImageMagick 6 writes a picture without a stated orientation top row first
# but marks the file bottom-up (Pillow and netpbm then read it upside
# down), so its files are made with the orientation stated: top-down.
run([CONVERT, "src/rgb.ppm", "-orient", "TopLeft", "-compress", "None", "tga_rgb24_im.tga"])
check_tga("tga_rgb24_im.tga", 2, 24, True)
run([CONVERT, "src/rgb.ppm", "-orient", "TopLeft", "-compress", "RLE", "tga_rgb24_rle_im.tga"])
check_tga("tga_rgb24_rle_im.tga", 10, 24, True)
run(["ppmtotga", "-rgb", "src/rgb.ppm"], "tga_rgb24_rle_netpbm.tga")
check_tga("tga_rgb24_rle_netpbm.tga", 10, 24, False)
im = Image.open("src/rgb.ppm")
im.save("tga_rgb24_top_pil.tga", orientation=1)
check_tga("tga_rgb24_top_pil.tga", 2, 24, True)
im.save("tga_rgb24_top_rle_pil.tga", orientation=1, rle=True)
check_tga("tga_rgb24_top_rle_pil.tga", 10, 24, True)
for name in ("tga_rgb24_im", "tga_rgb24_rle_im", "tga_rgb24_rle_netpbm", "tga_rgb24_top_pil", "tga_rgb24_top_rle_pil"):
    write_ref(name, rgb)

rgba = Image.new("RGBA", (W, H))
rgba.putdata([p + (a,) for p, a in zip(rgb, alpha)])
rgba.save("tga_rgba32_pil.tga")
check_tga("tga_rgba32_pil.tga", 2, 32, False)
rgba.save("tga_rgba32_rle_pil.tga", rle=True)
check_tga("tga_rgba32_rle_pil.tga", 10, 32, False)
run([CONVERT, "src/rgba.pam", "-orient", "TopLeft", "-compress", "RLE", "tga_rgba32_rle_im.tga"])
check_tga("tga_rgba32_rle_im.tga", 10, 32, True)
for name in ("tga_rgba32_pil", "tga_rgba32_rle_pil", "tga_rgba32_rle_im"):
    write_ref(name, rgb)
    write_alpha(name, alpha)

run([CONVERT, "src/pal16.ppm", "-orient", "TopLeft", "-type", "Palette", "-compress", "None", "tga_cmap_im.tga"])
check_tga("tga_cmap_im.tga", 1, 8, True, cmap_type=1)
run(["ppmtotga", "-cmap", "src/pal40.ppm"], "tga_cmap_rle_netpbm.tga")
check_tga("tga_cmap_rle_netpbm.tga", 9, 8, False, cmap_type=1)
p = Image.open("src/pal16.ppm").quantize(16)
p.save("tga_cmap_top_pil.tga", orientation=1)
check_tga("tga_cmap_top_pil.tga", 1, 8, True, cmap_type=1)
write_ref("tga_cmap_im", indexed(16))
write_ref("tga_cmap_rle_netpbm", indexed(40))
write_ref("tga_cmap_top_pil", indexed(16))

Image.open("src/grey.pgm").save("tga_grey_pil.tga")
check_tga("tga_grey_pil.tga", 3, 8, False)
run(["ppmtotga", "-mono", "src/grey.pgm"], "tga_grey_rle_netpbm.tga")
check_tga("tga_grey_rle_netpbm.tga", 11, 8, False)
write_ref("tga_grey_pil", grey_rgb)
write_ref("tga_grey_rle_netpbm", grey_rgb)


# 16-bit: 5-5-5 values, written here; the reference expands by shifting.
def word(c):
    return (c[2] >> 3) | ((c[1] >> 3) << 5) | ((c[0] >> 3) << 10) | 0x8000


def tga16(path, top_down, rle):
    rows = [[word(rgb[y * W + x]) for x in range(W)] for y in range(H)]
    if not top_down:
        rows.reverse()
    body = bytearray()
    if rle:  # one packet stream over the whole picture: packets cross row ends
        flat = [v for row in rows for v in row]
        at = 0
        while at < len(flat):
            n = 1
            while at + n < len(flat) and n < 128 and flat[at + n] == flat[at]:
                n += 1
            if n > 1:
                body += bytes([0x80 | (n - 1)]) + struct.pack("<H", flat[at])
            else:
                body += bytes([0]) + struct.pack("<H", flat[at])
            at += n
    else:
        body += b"".join(struct.pack("<%dH" % W, *row) for row in rows)
    hdr = struct.pack("<BBBHHBHHHHBB", 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0, W, H, 16, 0x20 if top_down else 0)
    open(path, "wb").write(hdr + bytes(body))
    back = list(Image.open(path).convert("RGB").getdata())
    assert back == [tuple(((c >> 3) * 255 + 15) // 31 for c in p) for p in rgb] or \
        back == [tuple((c >> 3) * 255 // 31 for c in p) for p in rgb], path


tga16("tga_rgb16.tga", False, False)
tga16("tga_rgb16_top_rle.tga", True, True)
for name in ("tga_rgb16", "tga_rgb16_top_rle"):
    write_ref(name, [tuple((c >> 3) << 3 for c in p) for p in rgb])

# PCX --------------------------------------------------------------------
def check_pcx(path, bits, planes, encoding=1):
    h = header(path, 128)
    expect(path, (h[0], h[2], h[3], h[65]), (10, encoding, bits, planes))


run([CONVERT, "src/rgb.ppm", "pcx_rgb24_im.pcx"])
check_pcx("pcx_rgb24_im.pcx", 8, 3)
im.save("pcx_rgb24_pil.pcx")
check_pcx("pcx_rgb24_pil.pcx", 8, 3)
run(["ppmtopcx", "-24bit", "src/rgb.ppm"], "pcx_rgb24_netpbm.pcx")
check_pcx("pcx_rgb24_netpbm.pcx", 8, 3)
for name in ("pcx_rgb24_im", "pcx_rgb24_pil", "pcx_rgb24_netpbm"):
    write_ref(name, rgb)

run(["ppmtopcx", "src/pal40.ppm"], "pcx_pal8_netpbm.pcx")
check_pcx("pcx_pal8_netpbm.pcx", 8, 1)
write_ref("pcx_pal8_netpbm", indexed(40))
Image.open("src/pal40.ppm").quantize(40).save("pcx_pal8_pil.pcx")
check_pcx("pcx_pal8_pil.pcx", 8, 1)
write_ref("pcx_pal8_pil", indexed(40))
run([CONVERT, "src/pal40.ppm", "-type", "Palette", "pcx_pal8_im.pcx"])
check_pcx("pcx_pal8_im.pcx", 8, 1)
write_ref("pcx_pal8_im", indexed(40))
Image.open("src/grey.pgm").save("pcx_grey8_pil.pcx")
check_pcx("pcx_grey8_pil.pcx", 8, 1)
write_ref("pcx_grey8_pil", grey_rgb)

mono = Image.open("src/pal2.ppm").convert("1", dither=Image.Dither.NONE)
mono.save("pcx_mono_pil.pcx")
check_pcx("pcx_mono_pil.pcx", 1, 1)
run(["ppmtopcx", "src/pal2.ppm"], "pcx_mono_netpbm.pcx")
check_pcx("pcx_mono_netpbm.pcx", 1, 1)
for name in ("pcx_mono_pil", "pcx_mono_netpbm"):
    write_ref(name, indexed(2))

for n, planes in ((4, 2), (8, 3), (16, 4)):
    name = "pcx_planes%d_netpbm" % planes
    run(["ppmtopcx", "src/pal%d.ppm" % n], name + ".pcx")
    check_pcx(name + ".pcx", 1, planes)
    write_ref(name, indexed(n))
run(["ppmtopcx", "-packed", "src/pal16.ppm"], "pcx_packed4_netpbm.pcx")
check_pcx("pcx_packed4_netpbm.pcx", 4, 1)
write_ref("pcx_packed4_netpbm", indexed(16))
run([CONVERT, "src/pal16.ppm", "-type", "Palette", "pcx_pal16_im.pcx"])
check_pcx("pcx_pal16_im.pcx", 8, 1)
write_ref("pcx_pal16_im", indexed(16))

# SGI --------------------------------------------------------------------
def check_sgi(path, storage, dimension, channels):
    h = header(path, 12)
    expect(path, struct.unpack(">HBBHHHH", h), (474, storage, 1, dimension, W, H, channels))


run([CONVERT, "src/rgb.ppm", "-compress", "None", "sgi_rgb_im.sgi"])
check_sgi("sgi_rgb_im.sgi", 0, 3, 3)
run([CONVERT, "src/rgb.ppm", "-compress", "RLE", "sgi_rgb_rle_im.sgi"])
check_sgi("sgi_rgb_rle_im.sgi", 1, 3, 3)
run(["pnmtosgi", "-rle", "src/rgb.ppm"], "sgi_rgb_rle_netpbm.sgi")
check_sgi("sgi_rgb_rle_netpbm.sgi", 1, 3, 3)
im.save("sgi_rgb_pil.sgi")
check_sgi("sgi_rgb_pil.sgi", 0, 3, 3)
for name in ("sgi_rgb_im", "sgi_rgb_rle_im", "sgi_rgb_rle_netpbm", "sgi_rgb_pil"):
    write_ref(name, rgb)

run([CONVERT, "src/rgba.pam", "-compress", "RLE", "sgi_rgba_rle_im.sgi"])
check_sgi("sgi_rgba_rle_im.sgi", 1, 3, 4)
rgba.save("sgi_rgba_pil.sgi")
check_sgi("sgi_rgba_pil.sgi", 0, 3, 4)
for name in ("sgi_rgba_rle_im", "sgi_rgba_pil"):
    write_ref(name, rgb)
    write_alpha(name, alpha)

run([CONVERT, "src/grey.pgm", "-compress", "RLE", "sgi_grey_rle_im.sgi"])
h = struct.unpack(">HBBHHHH", header("sgi_grey_rle_im.sgi", 12))
run(["pnmtosgi", "-verbatim", "src/grey.pgm"], "sgi_grey_netpbm.sgi")
check_sgi("sgi_grey_netpbm.sgi", 0, 3, 1) if struct.unpack(">H", header("sgi_grey_netpbm.sgi", 6)[4:6])[0] == 3 else None
Image.open("src/grey.pgm").save("sgi_grey_pil.sgi")  # dimension 2
check_sgi("sgi_grey_pil.sgi", 0, 2, 1)
for name in ("sgi_grey_rle_im", "sgi_grey_netpbm", "sgi_grey_pil"):
    write_ref(name, grey_rgb)
print("sgi_grey_rle_im header", h, "sgi_grey_netpbm dimension", struct.unpack(">H", header("sgi_grey_netpbm.sgi", 6)[4:6]))
shutil.rmtree("src")
PY
