#!/usr/bin/env python3
"""Instructions per frame, by function, for every drawing, under callgrind.

Runs orbo-render --bench on one thread for a few frames of each drawing under
valgrind --tool=callgrind, counting only inside CTorusRenderer::RenderFrame,
and prints the instructions per frame in all and for the functions that take
the most (their own instructions, not those of the functions they call).
Instruction counts do not swing with the machine's load as times do, so they
show small steps of progress; they do not show cache misses or how well the
processor overlaps instructions.

    bench/instruction_counts.py [--orbo build/bin/orbo-render] [--frames 3]
                                [--top 8] [--size 800x600] [--simd avx2]

--simd sets ORBO_SIMD for the runs (see bench/README.md): callgrind runs the
code the processor would pick, so counts from machines of different vector
widths differ unless both are held to the same one.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_with_peer import MODES, TORI  # noqa: E402  the same drawings and tori

FRAME = "CTorusRenderer::RenderFrame(CPixelSink&)"


def count(orbo, options, torus, frames, size, env):
    _, ring, section, steps = torus
    with tempfile.TemporaryDirectory(prefix="orbo-callgrind-") as folder:
        out = os.path.join(folder, "callgrind.out")
        command = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                   f"--toggle-collect={FRAME}", orbo, "--bench", str(frames), "--size", size,
                   "--ring-radius", str(ring), "--section-radius", str(section),
                   "--surface-steps", str(steps), "--section-steps", str(steps), "--threads", "1"] + options
        subprocess.run(command, cwd=ROOT, env=env, capture_output=True, text=True, check=True)
        report = subprocess.run(["callgrind_annotate", "--auto=no", "--threshold=100", out], capture_output=True,
                                text=True, check=True).stdout
    total = 0
    functions = []
    for line in report.splitlines():
        match = re.match(r"\s*([0-9,]+) \([ 0-9.]+%\)\s+(.*?)\s*$", line)
        if not match:
            continue
        value = int(match.group(1).replace(",", ""))
        name = match.group(2)
        if "PROGRAM TOTALS" in name:
            total = value
        elif name:
            functions.append((value, name))
    return total, functions


def short(name):
    """The function's name without its file, arguments or template arguments."""
    name = re.sub(r"^[^\s:]+:(?!:)", "", name, count=1)  # the source file the lines came from
    name = re.sub(r" \[[^\]]*\]$", "", name)            # the binary
    name = re.sub(r"^(unsigned long|void|std::size_t) ", "", name)
    depth, kept = 0, ""
    for ch in name:
        if ch in "<({":
            depth += 1
        elif ch in ">)}":
            depth -= 1
        elif depth == 0:
            kept += ch
    return kept.replace("orbo_shading::", "").replace("orbo_span::", "").strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--orbo", default=os.path.join(ROOT, "build", "bin", "orbo-render"))
    parser.add_argument("--frames", type=int, default=3)
    parser.add_argument("--top", type=int, default=8)
    parser.add_argument("--size", default="800x600")
    parser.add_argument("--simd", help="ORBO_SIMD for the runs, e.g. avx2")
    args = parser.parse_args()
    env = dict(os.environ)
    if args.simd:
        env["ORBO_SIMD"] = args.simd

    print(f"size {args.size}, one thread, {args.frames} frames; millions of instructions per frame"
          + (f", ORBO_SIMD={args.simd}" if args.simd else ""))
    for torus in TORI:
        for name, options, _ in MODES:
            total, functions = count(args.orbo, options, torus, args.frames, args.size, env)
            per = lambda value: value / args.frames / 1e6  # noqa: E731
            print(f"\n{name}, {torus[0]}: {per(total):.2f} M")
            merged = {}
            for value, function in functions:
                key = short(function)
                merged[key] = merged.get(key, 0) + value
            for key, value in sorted(merged.items(), key=lambda kv: -kv[1])[:args.top]:
                print(f"  {per(value):7.2f}  {key}")


if __name__ == "__main__":
    main()
