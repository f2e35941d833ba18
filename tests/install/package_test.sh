#!/usr/bin/env bash
# Checks the orbo package that dpkg-buildpackage made, from its .changes file:
#   - the package's fields and files, unpacked with dpkg -x into a throwaway
#     root; xz compression;
#   - its programs hardened (PIE, relro with -z now, the stack protector,
#     fortified functions), without a .comment section, their debug symbols in
#     the -dbgsym package, and no file of either package naming the build's
#     folder;
#   - the unpacked programs run, name their version and licence, and draw the
#     pinned frames exactly (packaged_frames.py);
#   - the AppStream metadata with appstreamcli --pedantic, and lintian
#     --pedantic -I -E on the whole upload: no tag but those accepted below;
#   - installed with apt into a fresh Debian root, run there and purged
#     (fresh_install_test.sh; as root only).
#   package_test.sh orbo_<version>_<arch>.changes [BUILD_FOLDER]
# BUILD_FOLDER is the tree the package was built in, to look for in the files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
changes=$(realpath "$1")
build_folder=${2:-}
folder=$(dirname "$changes")
version=$(sed -n 's/^Version: //p' "$changes")
arch=$(sed -n 's/^Architecture: //p' "$changes")
deb=$folder/orbo_${version}_${arch}.deb
dbgsym=$folder/orbo-dbgsym_${version}_${arch}.deb
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }
[ -s "$deb" ] && [ -s "$dbgsym" ] || fail "the .changes' packages are not beside it"

# --- Fields and files -------------------------------------------------------------
dpkg -x "$deb" "$root"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orbo ] || fail "package name"
[ "$(field Section)" = graphics ] || fail "section"
[ "$(field Maintainer)" = "${ORBO_MAINTAINER:-$(sed -n 's/^Maintainer: //p' "$source/debian/control")}" ] ||
  fail "maintainer: $(field Maintainer)"
depends=$(field Depends)
[[ $depends == *libqt6widgets6* ]] || fail "library dependencies not found: $depends"
[[ $depends == *"fonts-noto-cjk | fonts-wqy-zenhei | fonts-wqy-microhei"* ]] || fail "no CJK font in Depends: $depends"
! grep -qE '(^|[ ,])[a-z0-9.+-]+-dev([ ,(]|$)' <<<"$depends" || fail "a development package in Depends: $depends"
ar t "$deb" | grep -qx data.tar.xz || fail "the package is not compressed with xz: $(ar t "$deb" | tr '\n' ' ')"

app_id=$(grep -oP '(?<=<id>)[^<]+' "$root"/usr/share/metainfo/*.metainfo.xml) || fail "no AppStream metadata"
[[ $app_id =~ ^[a-z0-9_]+(\.[a-z0-9_]+)+$ ]] || fail "the AppStream id is not reverse DNS in lower case: $app_id"
for file in \
  usr/bin/orbo usr/bin/orbo-render \
  usr/share/orbo/Data/texture1.bmp \
  usr/share/orbo/translations/orbo_en.qm \
  "usr/share/applications/$app_id.desktop" \
  "usr/share/metainfo/$app_id.metainfo.xml" \
  usr/share/icons/hicolor/scalable/apps/orbo.svg \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/orbo.png \
  usr/share/man/man1/orbo.1.gz usr/share/man/man1/orbo-render.1.gz \
  usr/share/doc/orbo/copyright usr/share/doc/orbo/changelog.Debian.gz; do
  [ -s "$root/$file" ] || fail "$file is missing or empty"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$root/usr/share/doc/orbo/copyright" &&
  grep -q '^License: MIT$' "$root/usr/share/doc/orbo/copyright" || fail "the copyright file does not name MIT in DEP-5 form"
grep -q '<project_license>MIT</project_license>' "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metadata licence"
grep -q '^Exec=orbo --lang en$' "$root/usr/share/applications/$app_id.desktop" || fail "no English desktop action"
zcat "$root/usr/share/man/man1/orbo-render.1.gz" | grep -q 'ring.-radius' || fail "orbo-render's manual page lacks its options"

# --- The programs as built ----------------------------------------------------------
ids=()
for program in orbo orbo-render; do
  elf=$root/usr/bin/$program
  readelf -hlSdnW --dyn-syms "$elf" >"$root/elf"
  grep -q 'Type: *DYN' "$root/elf" || fail "$program is not position independent"
  grep -q GNU_RELRO "$root/elf" || fail "$program has no relro"
  grep -qE 'BIND_NOW|FLAGS_1.*NOW' "$root/elf" || fail "$program is not linked with -z now"
  grep -q '__stack_chk_fail' "$root/elf" || fail "$program has no stack protector"
  grep -qE '__[a-z]+_chk@' "$root/elf" || fail "$program calls no fortified function"
  ! grep -qF ' .comment' "$root/elf" || fail "$program keeps its .comment section"
  id=$(sed -n 's/.*Build ID: //p' "$root/elf")
  [ -n "$id" ] || fail "$program has no build id"
  ids+=("$id")
done
dpkg -x "$dbgsym" "$root/dbgsym"
for id in "${ids[@]}"; do
  [ -s "$root/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ] || fail "no debug symbols for build id $id"
done
if [ -n "$build_folder" ]; then
  ! grep -rlaF "$build_folder" "$root" >"$root/traces" || fail "the build's folder is named in: $(cat "$root/traces")"
fi
rm -rf "$root/dbgsym"

# --- The unpacked programs run ------------------------------------------------------
upstream=${version%-*}
[ "$("$root/usr/bin/orbo-render" --version)" = "orbo-render $upstream"$'\n'"Licence: MIT" ] || fail "orbo-render --version"
[ "$("$root/usr/bin/orbo" --version)" = "Orbo $upstream"$'\n'"Licence: MIT" ] || fail "orbo --version"
python3 "$here/packaged_frames.py" "$root/usr/bin/orbo-render" "$source/tests/render/frame_fingerprints.txt" ||
  fail "the packaged orbo-render draws other frames than the tests pinned"

# --- Metadata and lintian -----------------------------------------------------------
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$root/appstream" ||
  { cat "$root/appstream"; fail "AppStream metadata"; }
grep -q 'Validation was successful\.$' "$root/appstream" || { cat "$root/appstream"; fail "AppStream metadata not clean"; }

# Tags that cannot be fixed here, each with its reason:
#   initial-upload-closes-no-bugs: a first upload to Debian closes its ITP bug,
#     which nobody has filed yet.
accepted=(initial-upload-closes-no-bugs)
# Tags are printed on standard output; lintian's own remarks (such as one on
# running as root) on standard error, shown only when it fails.
status=0
lintian --pedantic -I -E --tag-display-limit 0 --suppress-tags "$(IFS=,; echo "${accepted[*]}")" \
  "$changes" >"$root/lintian" 2>"$root/lintian.err" || status=$?
if [ -s "$root/lintian" ] || [ "$status" -ne 0 ]; then
  cat "$root/lintian" "$root/lintian.err"
  fail "lintian found the above (status $status)"
fi

# --- A fresh Debian root ------------------------------------------------------------
if [ "$(id -u)" -eq 0 ]; then
  bash "$here/fresh_install_test.sh" "$deb"
else
  echo "package test: not root, so not installed into a fresh Debian root"
fi
echo "package test: $(basename "$deb") passed"
