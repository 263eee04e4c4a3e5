#!/bin/sh
# Regenerates the colour-reduction fixture: a picture with 257 distinct
# colours and what the JPEG round trip makes of it, by libjpeg-turbo's own
# tools (Debian's libjpeg-turbo-progs): quality 100, baseline tables, 4:2:0,
# then decoded to 236 colours by the two-pass quantiser with Floyd-Steinberg
# dithering.
set -e
cd "$(dirname "$0")/colour"
python3 - <<'PY'
w, h = 23, 19
colours = []
seen = set()
i = 0
while len(colours) < 257:
    c = ((i * 37) % 256, (i * 101 + 40) % 256, (i * 13 + i // 7 * 50) % 256)
    if c not in seen:
        seen.add(c)
        colours.append(c)
    i += 1
pixels = [colours[(x * 7 + y * 23) % 257 if (x + y * w) >= 257 else x + y * w] for y in range(h) for x in range(w)]
assert len(set(pixels)) == 257
open("colours257.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + b"".join(bytes(p) for p in pixels))
PY
cjpeg -quality 100 -baseline colours257.ppm | djpeg -bmp -colors 236 -outfile colours257_reduced.bmp
