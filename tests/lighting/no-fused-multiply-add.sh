#!/bin/sh
# Fails when the given object file or library holds a fused multiply-add
# instruction; skips (77) without objdump. Also fails when no 256- or 512-bit
# code is found at all, since then the check would prove nothing about the SIMD.
set -u
command -v objdump >/dev/null 2>&1 || { echo "objdump not found: skipped"; exit 77; }
listing=$(objdump -d --no-show-raw-insn "$1") || exit 1
fused=$(printf '%s\n' "$listing" | grep -cE '\bv?fn?m(add|sub)[0-9a-z]*\b')
wide=$(printf '%s\n' "$listing" | grep -cE '%[yz]mm')
echo "$1: $fused fused multiply-add instructions, $wide instructions on 256/512-bit registers"
[ "$wide" -gt 0 ] || { echo "no wide SIMD code found"; exit 1; }
[ "$fused" -eq 0 ]
