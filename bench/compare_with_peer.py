#!/usr/bin/env python3
"""Times orbo-render --bench against Mesa's llvmpipe peer on the same scenes.

Runs every scene of both programs in one run, interleaved, for a few rounds,
and prints the median frame time of each with the ratio ours / peer (below 1:
we are faster). A tool for developers, not a test.

    bench/compare_with_peer.py [--orbo build/bin/orbo-render] [--peer DIR]
                               [--rounds 3] [--frames 200] [--size 800x600]
                               [--threads N] [--simd avx2] [--before OLD-ORBO]
                               [--fastest]

The peer is built in a temporary folder from ../shared/peer-llvmpipe (next to
the checkout) when no --peer binary is given; without it only our times print.
--threads N gives both programs N threads (LP_NUM_THREADS for the peer);
--simd avx2 holds our SIMD kernels to AVX2 (ORBO_SIMD, see bench/README.md);
--before times a second orbo-render (an older build) in the same rounds and
adds the ratio new / before. --fastest takes each program's fastest round
rather than the median of the rounds: on a machine shared with other work, a
round's time only grows with the load, so the fastest is the steadiest.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODES = [  # (name, our options, peer mode)
    ("wireframe", ["--mode", "wireframe"], "wire"),
    ("Gouraud", ["--mode", "surface", "--shading", "gouraud"], "gouraud"),
    ("Phong", ["--mode", "surface", "--shading", "phong"], "phong"),
    ("texture, unlit", ["--mode", "texture", "--light", "off"], "texture"),
    ("texture, lit", ["--mode", "texture", "--light", "on", "--shading", "phong"], "texlit"),
]
TORI = [("default torus 200/80, 18x18", 200, 80, 18), ("largest torus 300/120, 36x36", 300, 120, 36)]


def build_peer():
    source = os.path.join(os.path.dirname(ROOT), "shared", "peer-llvmpipe")
    if not os.path.isdir(source):
        print(f"peer: {source} not found, so only our times are shown. Put the peer's sources "
              "there (this script builds it with `make peer`, which needs libosmesa6-dev), or "
              "build it yourself and name the binary with --peer.", file=sys.stderr)
        return None
    folder = tempfile.mkdtemp(prefix="orbo-peer-")
    for name in os.listdir(source):
        shutil.copy(os.path.join(source, name), folder)
    result = subprocess.run(["make", "-s", "peer"], cwd=folder, capture_output=True, text=True)
    if result.returncode != 0:
        print("peer: build failed (needs libosmesa6-dev):\n" + result.stderr, file=sys.stderr)
        return None
    return os.path.join(folder, "peer")


def ours(orbo, options, torus, frames, size, threads, env):
    _, ring, section, steps = torus
    command = [orbo, "--bench", str(frames), "--size", size, "--ring-radius", str(ring),
               "--section-radius", str(section), "--surface-steps", str(steps),
               "--section-steps", str(steps)] + options
    if threads:
        command += ["--threads", str(threads)]
    out = subprocess.run(command, cwd=ROOT, env=env, capture_output=True, text=True, check=True).stdout
    return float(re.search(r"median=([0-9.]+)", out).group(1))


def peer(binary, mode, torus, frames, size, env):
    _, ring, section, steps = torus
    command = [binary, "--mode", mode, "--radii", f"{ring},{section}", "--mesh", f"{steps}x{steps}",
               "--size", size, "--frames", str(frames)]
    out = subprocess.run(command, env=env, capture_output=True, text=True, check=True).stdout
    return float(re.search(r"ms_per_frame=([0-9.]+)", out).group(1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--orbo", default=os.path.join(ROOT, "build", "bin", "orbo-render"))
    parser.add_argument("--peer", help="a built peer binary (default: build one)")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--frames", type=int, default=200)
    parser.add_argument("--size", default="800x600")
    parser.add_argument("--threads", type=int,
                        help="threads of both programs (default: each its own)")
    parser.add_argument("--simd", help="hold our SIMD kernels to this instruction set, e.g. avx2")
    parser.add_argument("--before", help="another orbo-render to time in the same rounds")
    parser.add_argument("--fastest", action="store_true", help="each program's fastest round, not the median")
    args = parser.parse_args()

    binary = args.peer or build_peer()
    our_env, peer_env = dict(os.environ), dict(os.environ)
    if args.simd:
        our_env["ORBO_SIMD"] = args.simd
    if args.threads:
        peer_env["LP_NUM_THREADS"] = str(args.threads)
    times = {}
    for _ in range(args.rounds):
        for torus in TORI:
            for name, options, mode in MODES:
                times.setdefault((torus, name, "ours"), []).append(
                    ours(args.orbo, options, torus, args.frames, args.size, args.threads, our_env))
                if args.before:
                    times.setdefault((torus, name, "before"), []).append(
                        ours(args.before, options, torus, args.frames, args.size, args.threads, our_env))
                if binary:
                    times.setdefault((torus, name, "peer"), []).append(
                        peer(binary, mode, torus, args.frames, args.size, peer_env))

    pick = min if args.fastest else statistics.median
    print(f"size {args.size}, {args.frames} frames, {'fastest' if args.fastest else 'median'} of "
          f"{args.rounds} interleaved rounds (each the median frame time); "
          f"threads {args.threads or 'each its own'}"
          + (f", ORBO_SIMD={args.simd}" if args.simd else "")
          + ("; ratio = ours / peer" if binary else "; no peer")
          + (", and ours / before" if args.before else ""))
    print("| mode | " + " | ".join(t[0] for t in TORI) + " |")
    print("|---|" + "---|" * len(TORI))
    for name, _, _ in MODES:
        cells = []
        for torus in TORI:
            mine = pick(times[(torus, name, "ours")])
            cell = f"{mine:.2f} ms"
            if binary:
                theirs = pick(times[(torus, name, "peer")])
                cell = f"{mine:.2f} vs {theirs:.2f} ms, **{mine / theirs:.2f}**"
            if args.before:
                old = pick(times[(torus, name, "before")])
                cell += f"; before {old:.2f} ms, {mine / old:.2f}"
            cells.append(cell)
        print(f"| {name} | " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
