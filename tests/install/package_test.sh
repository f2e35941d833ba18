#!/usr/bin/env bash
# Checks a built orbo .deb: unpacked into a throwaway root with dpkg -x, it
# holds every file an installation needs, its programs run from there and
# report the project's version, its metadata is valid, and lintian finds no
# error (its warnings are listed).
#   package_test.sh orbo_<version>_<arch>.deb
set -euo pipefail
deb=$(realpath "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

dpkg -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
for file in \
  usr/bin/orbo usr/bin/orbo-render \
  usr/share/orbo/Data/texture1.bmp \
  usr/share/orbo/translations/orbo_en.qm \
  usr/share/applications/orbo.desktop \
  usr/share/icons/hicolor/256x256/apps/orbo.png \
  usr/share/man/man1/orbo.1.gz usr/share/man/man1/orbo-render.1.gz \
  usr/share/doc/orbo/copyright usr/share/doc/orbo/changelog.gz; do
  [ -s "$root/$file" ] || fail "$file is missing or empty"
done
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null) || fail "no AppStream metadata"

# The package's fields.
[ "$(dpkg-deb -f "$deb" Package)" = orbo ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = graphics ] || fail "section"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "library dependencies not found: $(dpkg-deb -f "$deb" Depends)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"

# The unpacked programs run, know their version and find their texture.
[ "$("$root/usr/bin/orbo-render" --version)" = "orbo-render $version" ] || fail "orbo-render --version"
[ "$("$root/usr/bin/orbo" --version)" = "Orbo $version" ] || fail "orbo --version"
(cd "$root" && QT_QPA_PLATFORM=offscreen usr/bin/orbo-render --size 64x48 -o frame.png) || fail "orbo-render cannot draw"
[ -s "$root/frame.png" ] || fail "orbo-render wrote no frame"
zcat "$root/usr/share/man/man1/orbo-render.1.gz" | grep -q 'ring.-radius' || fail "orbo-render's manual page lacks its options"
grep -q '^Exec=orbo --lang en$' "$root/usr/share/applications/orbo.desktop" || fail "no English desktop action"

appstreamcli validate --no-net "$metainfo" >/dev/null || { appstreamcli validate --no-net "$metainfo"; fail "AppStream metadata"; }

# lintian: errors fail, warnings are shown.
if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
else
  echo "package test: lintian not installed, not run"
fi
echo "package test: $(basename "$deb") passed"
