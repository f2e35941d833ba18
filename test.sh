#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh             Release build with debug info, in build/
#   ./test.sh --sanitize  the same tests under AddressSanitizer and
#                         UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

build=build
extra=(-DORBO_SANITIZE=OFF -DORBO_BUILD_TESTS=ON -DORBO_BUILD_BENCH=ON)
case "${1:-}" in
  --sanitize) build=build-sanitize; extra=(-DORBO_SANITIZE=ON -DORBO_BUILD_TESTS=ON -DORBO_BUILD_BENCH=OFF) ;;
  "") ;;
  *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac
# Under CI (CI=true) a compiler warning fails the build; locally it is shown.
if [ "${CI:-}" = true ]; then
  extra+=(-DORBO_WERROR=ON)
else
  extra+=(-DORBO_WERROR=OFF)
fi

orbo_install_deps "${ORBO_TEST_PACKAGES[@]}"
orbo_configure "$build" "${extra[@]}"
orbo_build "$build"

# Any sanitizer report fails the test that produced it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
