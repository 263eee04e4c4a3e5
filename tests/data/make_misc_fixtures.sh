#!/bin/sh
# Regenerates the IFF and video fixtures under formats/ with Debian's netpbm
# (ppmtoilbm) and ffmpeg. Each IFF fixture is written from a source PPM kept
# beside it as <name>.ref.ppm; each video's first frame, as ffmpeg itself
# decodes and converts it (24-bit blue-green-red rows, top row first), is
# kept as <name>.frame0.bgr.
set -e
cd "$(dirname "$0")"
mkdir -p formats
cd formats

# 7 x 5 in 16 colours (odd width: nibbles and plane padding matter), and
# 40 x 3 in 200 colours for eight planes.
python3 - <<'PY'
import random
def ppm(name, w, h, pixels):
    with open(name, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w, h))
        f.write(bytes(c for p in pixels for c in p))
colours16 = [(i * 17, 255 - i * 13, (i * 71) % 256) for i in range(16)]
ppm("ilbm16.ref.ppm", 7, 5, [colours16[(x * 3 + y * 5) % 16] for y in range(5) for x in range(7)])
random.seed(7)
colours200 = [(random.randrange(256), random.randrange(256), random.randrange(256)) for _ in range(200)]
ppm("ilbm256.ref.ppm", 40, 3, [colours200[(x * 7 + y * 11) % 200] for y in range(3) for x in range(40)])
ppm("ilbm24.ref.ppm", 9, 4, [((x * 29) % 256, (y * 61) % 256, (x * y * 13) % 256) for y in range(4) for x in range(9)])
PY
ppmtoilbm -fixplanes 4 -compress ilbm16.ref.ppm > ilbm16_rle.iff 2>/dev/null
ppmtoilbm -fixplanes 4 -nocompress ilbm16.ref.ppm > ilbm16_raw.iff 2>/dev/null
ppmtoilbm -fixplanes 8 -compress ilbm256.ref.ppm > ilbm256_rle.iff 2>/dev/null
ppmtoilbm -24force -compress ilbm24.ref.ppm > ilbm24_rle.iff 2>/dev/null

# Two short clips; the decoder libraries must show exactly frame 0.
ffmpeg -v error -y -f lavfi -i testsrc=size=32x24:rate=5 -frames:v 3 -c:v mjpeg -q:v 3 first.avi
ffmpeg -v error -y -f lavfi -i testsrc=size=48x32:rate=25 -frames:v 3 -c:v mpeg1video -q:v 4 first.mpg
for clip in first.avi first.mpg; do
  ffmpeg -v error -y -i $clip -frames:v 1 -f rawvideo -pix_fmt bgr24 \
    -sws_flags bicubic+accurate_rnd+full_chroma_int $clip.frame0.bgr
done
ls -l ilbm* first.*
