#!/usr/bin/python3
"""Speed of vorlix-cli's resamplers next to Pillow's Image.resize.

Makes one 4000x3000 photograph-like 24-bit picture, then for each pair of
equivalent filters and each size (a reduction to a quarter, an enlargement
to double) measures both sides in alternating rounds, on one thread each:
ours with `vorlix-cli resample ... --repeat N --threads 1` (the fastest of
the N resamplings it reports), Pillow's resize in this process (the fastest
of N calls). The table gives the fastest over all rounds of each side and
their ratio. Both sides share the machine at the same moments, so the ratio
holds up on a busy machine better than either figure does.

--threads-scaling measures ours on one and on two threads instead and
prints the speed-up.

Missed targets are reported, not failed: the exit status is non-zero only
when something could not be measured.

Run with Debian's interpreter, which has python3-pil:
    /usr/bin/python3 bench/compare_pillow.py [--cli PATH] [--repeat N] [--rounds N]
"""

import argparse
import os
import random
import re
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

try:
    from PIL import Image, ImageChops, ImageDraw
    import PIL
except ImportError:
    sys.exit("compare_pillow.py needs Pillow: apt-get install python3-pil, then run /usr/bin/python3")

REPO = Path(__file__).resolve().parent.parent
SOURCE_SIZE = (4000, 3000)
TARGET_SIZES = [(1000, 750), (8000, 6000)]
SCALING_THREADS = 2
SCALING_TARGET = 1.8


def _filter(name):
    # Pillow 9.1 moved the filter constants into Image.Resampling.
    return getattr(getattr(Image, "Resampling", Image), name)


@dataclass(frozen=True)
class Pair:
    ours: str
    pillow_name: str
    target: float  # the least Pillow/ours ratio aimed for

    @property
    def pillow_filter(self):
        return _filter(self.pillow_name)


PAIRS = [
    Pair("lanczos3", "LANCZOS", 5.0),
    Pair("bicubic", "BICUBIC", 5.0),
    Pair("bilinear", "BILINEAR", 5.0),
    Pair("average", "BOX", 3.0),
    Pair("nearest", "NEAREST", 1.0),
]


class MeasureError(Exception):
    pass


def photo_like_picture(size, seed=1):
    """Broad shading, hard-edged shapes, fine stripes and grain; the same
    bytes for the same seed."""
    width, height = size
    rng = random.Random(seed)

    def stretched(gradient, angle):
        return gradient.rotate(angle, resample=_filter("BICUBIC")).resize(size, _filter("BICUBIC"))

    shading = Image.merge("RGB", (
        stretched(Image.linear_gradient("L"), 0),
        stretched(Image.radial_gradient("L"), 0),
        stretched(Image.linear_gradient("L"), 90),
    ))
    picture = shading.copy()
    draw = ImageDraw.Draw(picture)
    short_side = min(size)
    for index in range(90):
        fill = (rng.randrange(256), rng.randrange(256), rng.randrange(256))
        cx, cy = rng.randrange(width), rng.randrange(height)
        rx = rng.randint(short_side // 100, short_side // 14)
        ry = rx if index % 2 == 0 else rng.randint(short_side // 100, short_side // 14)
        box = (cx - rx, cy - ry, cx + rx, cy + ry)
        if index % 2 == 0:
            draw.ellipse(box, fill=fill)
        else:
            draw.rectangle(box, fill=fill)
    # Fine slanted stripes near the pixel pitch, like fabric or foliage.
    left, top, right, bottom = width * 3 // 5, height * 3 // 5, width * 9 // 10, height * 9 // 10
    stripes = Image.new("RGB", (right - left, bottom - top), (40, 60, 80))
    stripe_draw = ImageDraw.Draw(stripes)
    for x in range(-stripes.height, stripes.width, 4):
        stripe_draw.line((x, stripes.height, x + stripes.height // 2, 0), fill=(210, 190, 160), width=2)
    picture.paste(stripes, (left, top))
    # Shading through the shapes, so large ones are not flat.
    picture = Image.blend(picture, shading, 0.4)
    # Grain of up to +-6 levels.
    noise = Image.frombytes("RGB", size, rng.randbytes(width * height * 3)).point(lambda v: v * 13 // 256)
    return ImageChops.add(picture, noise, scale=1.0, offset=-6)


FASTEST = re.compile(r"^fastest\s+\d+\[ms\]\s+\(([0-9.]+) ms\)", re.MULTILINE)


def ours_ms(cli, source, output, algorithm, size, repeat, threads):
    """The fastest of `repeat` resamplings as vorlix-cli reports it."""
    command = [str(cli), "resample", str(source), str(output), "--algorithm", algorithm,
               "--width", str(size[0]), "--height", str(size[1]),
               "--repeat", str(repeat), "--threads", str(threads)]
    try:
        run = subprocess.run(command, capture_output=True, text=True, check=False)
    finally:
        output.unlink(missing_ok=True)
    if run.returncode != 0:
        raise MeasureError(f"{' '.join(command)} failed with status {run.returncode}: {run.stderr.strip()}")
    match = FASTEST.search(run.stdout)
    if not match:
        raise MeasureError(f"no 'fastest' line in the output of {' '.join(command)}:\n{run.stdout}")
    return float(match.group(1))


def pillow_ms(picture, size, resample_filter, repeat):
    """The fastest of `repeat` resizes, each building a new picture as ours does."""
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        result = picture.resize(size, resample_filter)
        elapsed = (time.perf_counter() - start) * 1000
        del result
        best = min(best, elapsed)
    return best


def case_name(algorithm, size):
    return f"{algorithm} {SOURCE_SIZE[0]}x{SOURCE_SIZE[1]} -> {size[0]}x{size[1]}"


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as info:
            for line in info:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


def compare_with_pillow(cli, source, output, picture, repeat, rounds):
    cases = [(pair, size) for pair in PAIRS for size in TARGET_SIZES]
    ours = {case: float("inf") for case in cases}
    theirs = {case: float("inf") for case in cases}
    for round_number in range(1, rounds + 1):
        print(f"round {round_number}/{rounds} ...", file=sys.stderr, flush=True)
        for case in cases:
            pair, size = case
            ours[case] = min(ours[case], ours_ms(cli, source, output, pair.ours, size, repeat, 1))
            theirs[case] = min(theirs[case], pillow_ms(picture, size, pair.pillow_filter, repeat))

    header = f"{'case':<36} {'ours ms':>9} {'Pillow ms':>10} {'Pillow/ours':>12} {'target':>7}  result"
    print(header)
    print("-" * len(header))
    for case in cases:
        pair, size = case
        ratio = theirs[case] / ours[case] if ours[case] > 0 else float("inf")
        verdict = "pass" if ratio >= pair.target else "fail"
        print(f"{case_name(pair.ours, size):<36} {ours[case]:>9.1f} {theirs[case]:>10.1f} "
              f"{ratio:>12.2f} {pair.target:>7.1f}  {verdict}")


def threads_scaling(cli, source, output, repeat, rounds):
    cases = [(pair.ours, size) for pair in PAIRS for size in TARGET_SIZES]
    single = {case: float("inf") for case in cases}
    multi = {case: float("inf") for case in cases}
    for round_number in range(1, rounds + 1):
        print(f"round {round_number}/{rounds} ...", file=sys.stderr, flush=True)
        for case in cases:
            algorithm, size = case
            single[case] = min(single[case], ours_ms(cli, source, output, algorithm, size, repeat, 1))
            multi[case] = min(multi[case], ours_ms(cli, source, output, algorithm, size, repeat, SCALING_THREADS))

    header = (f"{'case':<36} {'1 thread ms':>12} {f'{SCALING_THREADS} threads ms':>14} "
              f"{'speed-up':>9} {'target':>7}  result")
    print(header)
    print("-" * len(header))
    for case in cases:
        algorithm, size = case
        speedup = single[case] / multi[case] if multi[case] > 0 else float("inf")
        verdict = "pass" if speedup >= SCALING_TARGET else "fail"
        print(f"{case_name(algorithm, size):<36} {single[case]:>12.1f} {multi[case]:>14.1f} "
              f"{speedup:>9.2f} {SCALING_TARGET:>7.1f}  {verdict}")


def positive(text):
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError("must be at least 1")
    return value


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", type=Path, default=REPO / "build" / "vorlix-cli",
                        help="the vorlix-cli to measure (default: build/vorlix-cli in the repository)")
    parser.add_argument("--repeat", type=positive, default=3,
                        help="resamplings per measurement on each side; the fastest counts (default 3)")
    parser.add_argument("--rounds", type=positive, default=3,
                        help="alternating rounds; the fastest over all rounds counts (default 3)")
    parser.add_argument("--threads-scaling", action="store_true",
                        help=f"measure ours on 1 and {SCALING_THREADS} threads instead of against Pillow")
    options = parser.parse_args()
    if not os.access(options.cli, os.X_OK):
        sys.exit(f"{options.cli} is not an executable: build it with "
                 f"'cmake --build build --target vorlix-cli' or pass --cli PATH")

    with tempfile.TemporaryDirectory(prefix="vorlix-compare-") as folder:
        source = Path(folder) / "source.ppm"
        output = Path(folder) / "result.ppm"
        picture = photo_like_picture(SOURCE_SIZE)
        picture.save(source)
        picture = Image.open(source)
        picture.load()

        print(f"{cpu_model()}, {os.cpu_count()} logical CPUs; Pillow {PIL.__version__}; {options.cli}")
        print(f"{SOURCE_SIZE[0]}x{SOURCE_SIZE[1]} photo-like 24-bit picture; fastest of "
              f"{options.repeat} resamplings x {options.rounds} alternating rounds; times in ms", flush=True)
        try:
            if options.threads_scaling:
                threads_scaling(options.cli, source, output, options.repeat, options.rounds)
            else:
                print("both sides single-threaded", flush=True)
                compare_with_pillow(options.cli, source, output, picture, options.repeat, options.rounds)
        except (MeasureError, OSError) as error:
            sys.exit(f"compare_pillow.py: {error}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
