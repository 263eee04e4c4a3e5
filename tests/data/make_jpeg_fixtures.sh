#!/bin/sh
# Regenerates the JPEG fixtures: pictures written by libjpeg-turbo's cjpeg and
# by ImageMagick, and what libjpeg-turbo's djpeg decodes from them with the
# settings the tests use (Debian's libjpeg-turbo-progs and imagemagick).
# The encoder fixtures are cjpeg's output for source.ppm; the tests encode
# the same pixels and compare the bytes.
set -e
cd "$(dirname "$0")/jpeg"
rm -f ./*.jpg ./*.ppm ./*.bmp
python3 - <<'PY'
import math
def ppm(name, w, h, pixel):
    rows = b"".join(bytes(pixel(x, y)) for y in range(h) for x in range(w))
    open(name, "wb").write(b"P6\n%d %d\n255\n" % (w, h) + rows)
# Smooth areas, edges and fine detail; odd sizes leave partial blocks.
seed = [12345]
def noise():
    seed[0] = (seed[0] * 1103515245 + 12345) & 0x7FFFFFFF
    return (seed[0] >> 16) % 24
def photo(x, y):
    r = 128 + 100 * math.sin(x / 9.0) * math.cos(y / 13.0)
    g = 255 * x / 96.0 if (x // 12 + y // 10) % 3 else 40
    b = 255 - 255 * y / 60.0 + (60 if (x - 48) ** 2 + (y - 30) ** 2 < 300 else 0)
    n = noise()
    return [max(0, min(255, int(v) + n - 12)) for v in (r, g, b)]
ppm("source.ppm", 97, 61, photo)
# The colour map for the external-palette decoding: 16 distinct colours.
cmap = [(0, 0, 0), (255, 255, 255), (128, 0, 0), (0, 128, 0), (0, 0, 128), (200, 200, 40),
        (40, 200, 200), (200, 40, 200), (90, 90, 90), (170, 170, 170), (255, 128, 0),
        (0, 255, 128), (128, 0, 255), (60, 120, 180), (180, 120, 60), (250, 30, 30)]
ppm("map16.ppm", 16, 1, lambda x, y: cmap[x])
# Four solid blocks for the CMYK file: cyan, magenta, yellow and 50% black.
ppm("blocks.ppm", 32, 32, lambda x, y: [(0, 255, 255), (255, 0, 255), (255, 255, 0), (128, 128, 128)][(x // 16) + 2 * (y // 16)])
PY

# Files written by other tools.
cjpeg -quality 85 -outfile c420.jpg source.ppm
cjpeg -quality 92 -sample 1x1 -outfile c444.jpg source.ppm
cjpeg -quality 80 -progressive -outfile cprog.jpg source.ppm
cjpeg -quality 80 -grayscale -outfile cgrey.jpg source.ppm
cjpeg -quality 75 -arithmetic -restart 2 -outfile carith.jpg source.ppm
convert source.ppm -quality 82 -sampling-factor 2x1 im422.jpg
convert source.ppm -quality 70 -interlace JPEG im_prog.jpg
convert blocks.ppm -colorspace CMYK -quality 100 -sampling-factor 1x1 im_cmyk.jpg
# A large, plain picture: only its header is read.
convert -size 1000x750 xc:'#336699' -quality 50 plain1000x750.jpg

# Reference decodings.
for f in c420 c444 cprog carith im422 im_prog; do
  djpeg -pnm -outfile "$f.ppm" "$f.jpg"
done
for f in c420 cprog im422; do
  for s in 2 4 8; do
    djpeg -pnm -scale 1/$s -outfile "${f}_s$s.ppm" "$f.jpg"
  done
done
# 8-bit outputs as BMP, so the tests see djpeg's indices and colour map.
for f in c420 cprog cgrey; do
  djpeg -bmp -grayscale -colors 236 -outfile "${f}_grey.bmp" "$f.jpg"
done
for f in c420 c444 cprog im422; do
  djpeg -bmp -colors 236 -outfile "${f}_pal.bmp" "$f.jpg"
done
djpeg -bmp -colors 236 -scale 1/2 -outfile c420_pal_s2.bmp c420.jpg
djpeg -pnm -dct fast -outfile c420_fast.ppm c420.jpg
djpeg -bmp -dct fast -onepass -dither ordered -colors 236 -outfile c420_fast_pal.bmp c420.jpg
djpeg -bmp -map map16.ppm -outfile c420_map16.bmp c420.jpg

# Encoder references: cjpeg with the settings of the JPEG class (accurate
# integer DCT, 2x2/1x1/1x1 sampling, standard Huffman tables unless the file
# is progressive, baseline-limited quantisation tables).
cjpeg -quality 90 -baseline -outfile enc_q90.jpg source.ppm
cjpeg -quality 100 -baseline -outfile enc_q100.jpg source.ppm
cjpeg -quality 10 -baseline -outfile enc_q10.jpg source.ppm
cjpeg -quality 1 -baseline -outfile enc_q1.jpg source.ppm
cjpeg -quality 75 -baseline -progressive -outfile enc_q75_prog.jpg source.ppm
cjpeg -quality 50 -baseline -grayscale -outfile enc_q50_grey.jpg source.ppm
cjpeg -quality 60 -baseline -grayscale -progressive -outfile enc_q60_grey_prog.jpg source.ppm
