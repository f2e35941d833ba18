#!/bin/sh
# Fails when any of the given object files or libraries holds a fused
# multiply-add instruction; skips (77) without objdump. Also fails when no 256-
# or 512-bit code is found in any of them, since then the check would prove
# nothing about the SIMD.
set -u
command -v objdump >/dev/null 2>&1 || { echo "objdump not found: skipped"; exit 77; }
status=0
wideAll=0
for file in "$@"; do
  listing=$(objdump -d --no-show-raw-insn "$file") || exit 1
  fused=$(printf '%s\n' "$listing" | grep -cE '\bv?fn?m(add|sub)[0-9a-z]*\b')
  wide=$(printf '%s\n' "$listing" | grep -cE '%[yz]mm')
  echo "$file: $fused fused multiply-add instructions, $wide instructions on 256/512-bit registers"
  [ "$fused" -eq 0 ] || status=1
  wideAll=$((wideAll + wide))
done
[ "$wideAll" -gt 0 ] || { echo "no wide SIMD code found"; exit 1; }
exit $status
