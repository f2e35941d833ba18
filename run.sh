#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orbo from the repository root.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

orbo_install_deps
orbo_build build -DORBO_BUILD_TESTS=OFF -DORBO_BUILD_BENCH=OFF
echo "Built. The renderer library is in build/src; the program itself comes next."
