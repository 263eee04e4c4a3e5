#!/bin/sh
# Regenerates the fixtures of the JPEG save tests (Debian's
# libjpeg-turbo-progs, libimage-exiftool-perl and python3).
#
# Encoder references: libjpeg-turbo's cjpeg with 1x1 sampling, and those
# files rewritten losslessly by jpegtran. The quantisation tables are
# limited to 8 bits (-baseline); from quality 25 up cjpeg writes the same
# bytes without -baseline, below it cjpeg alone would write 16-bit tables.
#
# Exif files: a small picture given Exif blocks by exiftool, in both byte
# orders, with and without a thumbnail, plus copies edited in place where
# exiftool cannot write what a test needs (an entry of type float, an XMP
# segment before the Exif one, a self-referencing IFD chain).
set -e
cd "$(dirname "$0")/jpegsave"
rm -f ./*.jpg ./*.ppm
python3 - <<'PY'
import math
def ppm(name, w, h, pixel):
    rows = b"".join(bytes(pixel(x, y)) for y in range(h) for x in range(w))
    open(name, "wb").write(b"P6\n%d %d\n255\n" % (w, h) + rows)
seed = [4321]
def noise():
    seed[0] = (seed[0] * 1103515245 + 12345) & 0x7FFFFFFF
    return (seed[0] >> 16) % 20
# Colour edges, gradients and noise; 45 x 29 leaves partial blocks.
def photo(x, y):
    r = 128 + 110 * math.sin(x / 5.0) * math.cos(y / 7.0)
    g = 255 * x / 45.0 if (x // 6 + y // 5) % 3 else 30
    b = 255 - 255 * y / 29.0 + (70 if (x - 22) ** 2 + (y - 14) ** 2 < 60 else 0)
    n = noise()
    return [max(0, min(255, int(v) + n - 10)) for v in (r, g, b)]
ppm("source.ppm", 45, 29, photo)
ppm("thumb.ppm", 40, 30, lambda x, y: [x * 6, y * 8, 128])
ppm("bigthumb.ppm", 160, 120, lambda x, y: [int(128 + 100 * math.sin(x / 4.0)), int(128 + 100 * math.cos(y / 5.0)), (2 * x + y) % 256])
PY

for q in 1 10 50 75 90 100; do
  cjpeg -baseline -sample 1x1 -quality $q -outfile s444_q$q.jpg source.ppm
done
for q in 50 90; do
  jpegtran -copy all -progressive -outfile s444_q${q}_prog.jpg s444_q$q.jpg
  jpegtran -copy all -grayscale -outfile s444_q${q}_grey.jpg s444_q$q.jpg
done
jpegtran -copy all -grayscale -outfile tmp_grey.jpg s444_q75.jpg
jpegtran -copy all -progressive -outfile s444_q75_grey_prog.jpg tmp_grey.jpg
rm tmp_grey.jpg

# Exif fixtures.
cjpeg -quality 80 -outfile thumb.jpg thumb.ppm
cjpeg -quality 75 -sample 1x1 -outfile bigthumb.jpg bigthumb.ppm
cjpeg -quality 85 -outfile plain.jpg source.ppm
# exif OUTPUT ORDER [more arguments]: plain.jpg with the common tags.
exif() {
  out=$1; order=$2; shift 2
  exiftool -q -o "$out" -ExifByteOrder="$order" -Make=Vorlix -Model=Bench -Orientation#=1 \
    -XResolution=72 -YResolution=72 -ResolutionUnit=inches "-DateTimeOriginal=2024:05:06 07:08:09" \
    -ExposureTime=1/125 -FNumber=2.8 -ExifImageWidth=45 -ExifImageHeight=29 "$@" plain.jpg
}

exif exif_ii.jpg II "-ThumbnailImage<=thumb.jpg"
exif exif_mm.jpg MM "-ThumbnailImage<=thumb.jpg"
exif exif_noifd1.jpg II
# An Exif segment of exactly 20000 bytes whose last bytes are the thumbnail:
# a description in IFD0 makes up the difference.
segsize() {
  python3 -c '
import struct, sys
b = open(sys.argv[1], "rb").read(); p = 2
while not (b[p + 1] == 0xE1 and b[p + 4:p + 8] == b"Exif"): p += 2 + struct.unpack(">H", b[p + 2:p + 4])[0]
print(struct.unpack(">H", b[p + 2:p + 4])[0] + 2)' "$1"
}
exif big_try.jpg MM -ImageDescription=x "-ThumbnailImage<=bigthumb.jpg"
pad=$((20000 - $(segsize big_try.jpg)))
for attempt in 1 2; do
  rm -f exif_20000.jpg
  exif exif_20000.jpg MM "-ImageDescription=$(printf "%${pad}s" | tr ' ' d)" "-ThumbnailImage<=bigthumb.jpg"
  pad=$((pad + 20000 - $(segsize exif_20000.jpg)))
done
test "$(segsize exif_20000.jpg)" = 20000
rm big_try.jpg
python3 - <<'PY'
import struct
def segment(b):
    p = 2
    while True:
        m, l = b[p + 1], struct.unpack(">H", b[p + 2:p + 4])[0]
        if m == 0xE1 and b[p + 4:p + 8] == b"Exif":
            return p, l + 2
        p += 2 + l
def ifd1_entries(b, p):
    base = p + 10
    e = "<" if b[base:base + 2] == b"II" else ">"
    u16 = lambda o: struct.unpack(e + "H", b[o:o + 2])[0]
    u32 = lambda o: struct.unpack(e + "I", b[o:o + 4])[0]
    ifd0 = base + u32(base + 4)
    ifd1 = base + u32(ifd0 + 2 + 12 * u16(ifd0))
    return e, base, ifd0, ifd1, [ifd1 + 2 + 12 * i for i in range(u16(ifd1))], u16
b = bytearray(open("exif_ii.jpg", "rb").read())
p, size = segment(b)
e, base, ifd0, ifd1, entries, u16 = ifd1_entries(b, p)
# ResolutionUnit (type short) as a float: the thumbnail tags stay intact.
for d in entries:
    if u16(d) == 0x0128:
        struct.pack_into(e + "H", b, d + 2, 11)
open("exif_float.jpg", "wb").write(b)
# IFD1's next-IFD offset pointing back at IFD1.
b = bytearray(open("exif_ii.jpg", "rb").read())
e, base, ifd0, ifd1, entries, u16 = ifd1_entries(b, p)
struct.pack_into(e + "I", b, ifd1 + 2 + 12 * len(entries), ifd1 - base)
open("exif_loop.jpg", "wb").write(b)
# An XMP APP1 segment before the Exif one.
b = open("exif_ii.jpg", "rb").read()
xmp = b"http://ns.adobe.com/xap/1.0/\0<x:xmpmeta xmlns:x='adobe:ns:meta/'/>"
seg = b"\xff\xe1" + struct.pack(">H", len(xmp) + 2) + xmp
open("exif_xmp_first.jpg", "wb").write(b[:p] + seg + b[p:])
# Cut inside the Exif segment, and an Exif segment too short for its TIFF
# header.
open("exif_cut.jpg", "wb").write(b[:p + size // 2])
short = b"\xff\xe1\x00\x0aExif\0\0II"
open("exif_short.jpg", "wb").write(b[:p] + short + b[p + size:])
PY
rm -f thumb.ppm bigthumb.ppm thumb.jpg bigthumb.jpg
