#!/usr/bin/env bash
# Installs a built orbo package into a fresh Debian 12 root as a user would,
# with apt-get and the package's Depends alone (no recommends), runs both
# programs there, then purges it: nothing it installed may be left. The root
# (mmdebstrap, variant minbase, with the updates and security suites) is made in
# build-package/fresh-install of this checkout and removed afterwards; its dpkg
# skips the syncs to disk, as nothing there has to outlive the test. Packages
# come from this machine's apt cache where it has them; those downloaded are
# added to it, so that the next run fetches none.
#   fresh_install_test.sh orbo_<version>_<arch>.deb    (as root)
set -euo pipefail
deb=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$source/build-package/fresh-install
root=$work/root
cache=/var/cache/apt/archives
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
cp "$deb" "$work/package.deb"

# What runs inside the root, as root there.
cat >"$work/checks.sh" <<'CHECKS'
set -euo pipefail
fail() { echo "fresh install: $*" >&2; exit 1; }
everything() { find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp \) -prune -o -print | sort; }
everything >/tmp/before
apt-get install -y -qq --no-install-recommends /tmp/package.deb >/tmp/apt.log 2>&1 ||
  { cat /tmp/apt.log; fail "apt-get install"; }

orbo-render --version | grep -qx 'Licence: MIT' || fail "orbo-render --version"
orbo --version | grep -qx 'Licence: MIT' || fail "orbo --version"
cd /tmp
orbo-render --mode texture --light on -o frame.png || fail "orbo-render could not draw with the installed texture"
[ "$(head -c 8 frame.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "orbo-render wrote no PNG"
for file in /usr/share/man/man1/orbo.1.gz /usr/share/man/man1/orbo-render.1.gz /usr/share/doc/orbo/copyright; do
  [ -s "$file" ] || fail "$file is missing"
done
# The window needs a font with Chinese glyphs, in either language.
fc-list :lang=zh family | grep -q . || fail "no font with Chinese glyphs"
for language in zh en; do
  status=0
  QT_QPA_PLATFORM=offscreen timeout 2 orbo --lang "$language" >/tmp/window.log 2>&1 || status=$?
  [ "$status" -eq 124 ] || { cat /tmp/window.log; fail "the window ($language) ended with status $status"; }
done

dpkg-query -L orbo >/tmp/owned
apt-get purge -y -qq orbo >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; fail "apt-get purge"; }
! dpkg-query -W orbo >/dev/null 2>&1 || fail "orbo is still known to dpkg"
everything >/tmp/after
# Of the paths the package owned, those that remain and were not there before.
sort -u /tmp/owned | comm -12 - /tmp/after | comm -23 - /tmp/before >/tmp/left
find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp \) -prune -o -iname '*orbo*' -print >>/tmp/left
[ ! -s /tmp/left ] || { cat /tmp/left; fail "the purge left the above"; }
echo "fresh install: installed, ran and purged without a trace"
CHECKS

mirror=http://deb.debian.org/debian
start=$SECONDS
if ! mmdebstrap --mode=root --variant=minbase --quiet --skip=essential/unlink --dpkgopt=force-unsafe-io \
  --setup-hook="mkdir -p \"\$1$cache\" && { cp -l $cache/*.deb \"\$1$cache/\" 2>/dev/null || true; }" \
  --customize-hook="upload $work/package.deb /tmp/package.deb" \
  --customize-hook="upload $work/checks.sh /tmp/checks.sh" \
  --customize-hook='chroot "$1" bash /tmp/checks.sh' \
  --customize-hook="for f in \"\$1$cache\"/*.deb; do [ -e \"$cache/\${f##*/}\" ] || cp \"\$f\" $cache/; done" \
  bookworm "$root" "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
  "deb $mirror-security bookworm-security main" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  echo "fresh install: failed (above)" >&2
  exit 1
fi
grep '^fresh install:' "$work/log"
echo "fresh install: $((SECONDS - start)) s"
