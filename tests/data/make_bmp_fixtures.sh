#!/bin/sh
# Regenerates the BMP fixtures from one small picture with ImageMagick
# (Debian's imagemagick package). The tests compare the decoded pixels with
# picture.ppm, so the fixtures need not be regenerated unless a variant is
# added.
set -e
cd "$(dirname "$0")/bmp"
python3 - <<'PY'
w, h = 7, 5
rows = []
for y in range(h):
    for x in range(w):
        rows.append(bytes(((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y * 29 + 7) % 256)))
open("picture.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + b"".join(rows))
# Eight colours only, so the palette variants are exact.
pal = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255), (255, 255, 255)]
rows = [bytes(pal[(x + 2 * y) % 8]) for y in range(h) for x in range(w)]
open("eight.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + b"".join(rows))
rows = [bytes(pal[7 * ((x + y) % 2)]) for y in range(h) for x in range(w)]
open("mono.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + b"".join(rows))
# 153 colours with runs, for the 8-bit and run-length variants.
W, H = 17, 9
rows = [bytes(((x // 2) * 30, y * 28, ((x // 2) * 7 + y * 3) % 256)) for y in range(H) for x in range(W)]
open("many.ppm", "wb").write(b"P6\n%d %d\n255\n" % (W, H) + b"".join(rows))
PY
convert picture.ppm -define bmp:format=bmp3 rgb24.bmp
convert picture.ppm -define bmp:format=bmp2 os2core24.bmp
convert picture.ppm -alpha set -channel A -fx 0.5 -define bmp:format=bmp4 rgba32_v4.bmp
convert picture.ppm -define bmp:subtype=RGB565 -define bmp:format=bmp4 rgb565.bmp
convert picture.ppm -define bmp:subtype=RGB555 -define bmp:format=bmp4 rgb555.bmp
convert many.ppm -type Palette -compress None -define bmp:format=bmp3 pal8.bmp
convert many.ppm -type Palette -compress RLE -define bmp:format=bmp3 rle8.bmp
convert eight.ppm -type Palette -compress None -define bmp:format=bmp3 pal4.bmp
convert mono.ppm -type Bilevel -define bmp:format=bmp3 mono1.bmp
