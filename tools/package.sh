#!/usr/bin/env bash
# Builds the Debian package with dpkg-buildpackage from a clean copy of this
# checkout (its tracked and new files, without build folders) in
# build-package/ (the programs only: ./test.sh runs the tests), then checks it with
# tests/install/package_test.sh. The results land in the repository's root:
# orbo_<version>_<arch>.deb, its debug symbols orbo-dbgsym_<version>_<arch>.deb,
# and the .buildinfo and .changes files that list them.
#   tools/package.sh             build and check
#   tools/package.sh --no-check  build only
# ORBO_MAINTAINER="Name <address>" in the environment names the package's
# maintainer; without it, the one in debian/control.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

check=1
case "${1:-}" in
  --no-check) check=0 ;;
  "") ;;
  *) echo "usage: tools/package.sh [--no-check]" >&2; exit 2 ;;
esac

# dpkg-buildpackage (dpkg-dev) with debhelper builds; lintian, appstreamcli and
# mmdebstrap (a fresh Debian root to install into) check.
tools=(dpkg-dev debhelper)
[ "$check" -eq 1 ] && tools+=(lintian appstream mmdebstrap)
orbo_install_packages "${tools[@]}"
# The build dependencies that debian/control names.
if ! dpkg-checkbuilddeps 2>/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    dpkg-checkbuilddeps || true
    echo "Install them as root with:"
    echo "  apt-get build-dep $PWD"
    exit 1
  fi
  echo "Installing the package's build dependencies"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends ./ >/dev/null
fi

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
work=$PWD/build-package
tree=$work/orbo-${version%-*}
rm -rf "$work"
mkdir -p "$tree"
# A clean tree: what git tracks and the new files it does not ignore, as they
# are in the working tree.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf - | tar -xf - -C "$tree"
else
  tar --exclude=./build --exclude='./build-*' --exclude=./out --exclude='./orbo_*' \
    --exclude='./orbo-dbgsym_*' -cf - . | tar -xf - -C "$tree"
fi

start=$SECONDS
echo "Building orbo $version in $tree (log: $work/build.log)"
maintainer=()
[ -n "${ORBO_MAINTAINER:-}" ] && maintainer=("-m$ORBO_MAINTAINER")
if ! (cd "$tree" && DEB_BUILD_OPTIONS="parallel=$(nproc 2>/dev/null || echo 2)" \
  dpkg-buildpackage -us -uc -b "${maintainer[@]}") >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  echo "dpkg-buildpackage failed; the whole log is $work/build.log" >&2
  exit 1
fi
echo "Built in $((SECONDS - start)) s"

rm -f orbo_*.deb orbo-dbgsym_*.deb orbo_*.buildinfo orbo_*.changes
changes=orbo_${version}_${arch}.changes
cp "$work/$changes" "$work/orbo_${version}_${arch}.buildinfo" "$work/orbo_${version}_${arch}.deb" \
  "$work/orbo-dbgsym_${version}_${arch}.deb" .

if [ "$check" -eq 1 ]; then
  start=$SECONDS
  bash tests/install/package_test.sh "$changes" "$tree"
  echo "Checked in $((SECONDS - start)) s"
fi
echo "$PWD/orbo_${version}_${arch}.deb"
