#!/usr/bin/env python3
"""Times orbo-render --frames (drawing, encoding and writing a sequence) against
--bench (drawing alone) of the same settings, in one run, interleaved.

For each frame size and drawing, each round runs --bench N, then --frames N at
each compression level asked for, into a temporary folder, and prints a
Markdown table: the time per frame drawn, the time per frame written and their
ratio, the size of frame 0 and the mean file size. A tool for developers, not
a test.

    bench/sequence_bench.py [--orbo build/bin/orbo-render] [--frames 20]
                            [--rounds 3] [--levels default,1,4,9]
                            [--sizes 800x600,1920x1080,3840x2160]
                            [--drawings wireframe,gouraud,phong,texture,lit]
                            [--before OLD-ORBO]

The time per frame written is the steady state of a sequence: the time of
--frames N less that of --frames 1 (the program's start, the texture's
reading, the first frame, which nothing overlaps), over N - 1. The time per
frame drawn is --bench N's mean. Each is the fastest of the rounds: on a
machine shared with other work a round's time only grows with the load.
--before times an older orbo-render's --frames (at its own defaults) in the
same rounds, for the column "before".
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DRAWINGS = {
    "wireframe": ["--mode", "wireframe"],
    "gouraud": ["--mode", "surface", "--shading", "gouraud"],
    "phong": ["--mode", "surface", "--shading", "phong"],
    "texture": ["--mode", "texture", "--light", "off"],
    "lit": ["--mode", "texture", "--light", "on"],
}


def bench(orbo, options, frames):
    out = subprocess.run([orbo, "--bench", str(frames)] + options, cwd=ROOT, capture_output=True,
                         text=True, check=True).stdout
    return float(re.search(r"mean=([0-9.]+)", out).group(1))


def write(orbo, options, frames, level, folder):
    """Seconds to write the sequence, the size of frame 0, the mean size."""
    for name in glob.glob(os.path.join(folder, "*")):
        os.unlink(name)
    extra = [] if level is None else ["--compression", str(level)]
    command = [orbo, "--frames", str(frames)] + options + extra + ["-o", os.path.join(folder, "f%05d.png")]
    start = time.perf_counter()
    subprocess.run(command, cwd=ROOT, check=True)
    seconds = time.perf_counter() - start
    sizes = [os.path.getsize(os.path.join(folder, "f%05d.png" % n)) for n in range(frames)]
    return seconds, sizes[0], sum(sizes) / len(sizes)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--orbo", default=os.path.join(ROOT, "build", "bin", "orbo-render"))
    parser.add_argument("--frames", type=int, default=20)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--levels", default="default,1,4,9")
    parser.add_argument("--sizes", default="800x600,1920x1080,3840x2160")
    parser.add_argument("--drawings", default=",".join(DRAWINGS))
    parser.add_argument("--before", help="an older orbo-render, timed in the same rounds")
    args = parser.parse_args()
    levels = [None if word == "default" else int(word) for word in args.levels.split(",")]
    folder = tempfile.mkdtemp(prefix="orbo-sequence-")
    try:
        print("| size | drawing | drawn ms/frame | compression | written ms/frame | written / drawn |"
              " frame 0 bytes | mean bytes |" + (" before ms/frame | before / drawn |" if args.before else ""))
        print("|---|---|---|---|---|---|---|---|" + ("---|---|" if args.before else ""))
        for size in args.sizes.split(","):
            for drawing in args.drawings.split(","):
                options = DRAWINGS[drawing] + ["--size", size]
                drawn = []
                written = {level: [] for level in levels}
                before = []
                files = {}
                for _ in range(args.rounds):
                    drawn.append(bench(args.orbo, options, args.frames))
                    for level in levels:
                        whole, size0, mean = write(args.orbo, options, args.frames, level, folder)
                        first, _, _ = write(args.orbo, options, 1, level, folder)
                        written[level].append((whole - first) * 1000.0 / (args.frames - 1))
                        files[level] = (size0, mean)
                    if args.before:
                        whole, _, _ = write(args.before, options, args.frames, None, folder)
                        first, _, _ = write(args.before, options, 1, None, folder)
                        before.append((whole - first) * 1000.0 / (args.frames - 1))
                d = min(drawn)
                for level in levels:
                    w = min(written[level])
                    size0, mean = files[level]
                    row = "| %s | %s | %.2f | %s | %.1f | %.1f | %d | %d |" % (
                        size, drawing, d, "default" if level is None else level, w, w / d, size0, mean)
                    if args.before:
                        row += " %.1f | %.1f |" % (min(before), min(before) / d) if level is None else " | |"
                    print(row, flush=True)
    finally:
        shutil.rmtree(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
