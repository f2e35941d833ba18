#!/usr/bin/env bash
# Builds the Debian package orbo_<version>_<arch>.deb from this checkout into
# its root folder, then checks it (tests/install/package_test.sh): its files
# unpacked into a throwaway root, the unpacked programs run, lintian.
#   tools/package.sh             build and check
#   tools/package.sh --no-check  build only
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

check=1
case "${1:-}" in
  --no-check) check=0 ;;
  "") ;;
  *) echo "usage: tools/package.sh [--no-check]" >&2; exit 2 ;;
esac

# dpkg-shlibdeps (dpkg-dev) finds the library dependencies; lintian and
# appstreamcli check the result.
orbo_install_deps dpkg-dev lintian appstream

# Installed under /usr, as a distribution's packages are. The programs are
# built as the tests build them; cpack strips them.
build=build-package
orbo_configure "$build" -DCMAKE_INSTALL_PREFIX=/usr -DORBO_SANITIZE=OFF -DORBO_BUILD_TESTS=OFF -DORBO_BUILD_BENCH=OFF
orbo_build "$build"
rm -f "$build"/orbo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/orbo_*.deb)
rm -f orbo_*.deb
cp "$deb" .
deb=$PWD/$(basename "$deb")

if [ "$check" -eq 1 ]; then
  bash tests/install/package_test.sh "$deb"
fi
echo "$deb"
