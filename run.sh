#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orbo from the repository root, so
# that ./Data/texture1.bmp is found. Without a display it renders a sample frame
# with orbo-render instead and prints where the PNG is.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

# Only what building and running need: the tests and benchmarks stay out of
# the build (./test.sh adds them).
orbo_install_deps
orbo_configure build -DORBO_SANITIZE=OFF -DORBO_BUILD_TESTS=OFF -DORBO_BUILD_BENCH=OFF
orbo_build build orbo orbo-render

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$PWD/build/sample-frame.png"
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering a sample frame instead."
  build/bin/orbo-render --mode surface --shading phong --angle-x 30 -o "$out"
  echo "$out"
  exit 0
fi
exec build/bin/orbo "$@"
