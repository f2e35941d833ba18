#!/usr/bin/env bash
# Installs the built programs into a temporary prefix and runs them from other
# temporary folders: both must find the installed default texture when the
# current folder has no ./Data/texture1.bmp, prefer ./Data/texture1.bmp when it
# has one, look in the folder ORBO_DATA_DIR names instead of the installed one
# (nowhere beyond the current folder when it is empty), and orbo-render must
# never swap a texture named with --texture. The build folder's
# install_manifest.txt (the user's own install) is left as it was.
#
# usage: installed_texture_test.sh CMAKE BUILD_DIR SOURCE_DIR
# The window is watched with strace (which files it opens); exit status 77 (a
# skip) when strace cannot trace here.
set -uo pipefail

cmake=$1
build=$2
source=$3

tmp=$(mktemp -d)
orbo_pid=
manifest=$build/install_manifest.txt
cleanup() {
  [ -n "$orbo_pid" ] && kill -KILL "$orbo_pid" 2>/dev/null
  # cmake --install writes its list of files into the build folder: the
  # user's list comes back, or none when there was none.
  if [ -e "$tmp/manifest.saved" ]; then
    mv -f "$tmp/manifest.saved" "$manifest"
  elif [ -e "$tmp/manifest.none" ]; then
    rm -f "$manifest"
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
tmp=$(cd -P "$tmp" && pwd)
# What the user set does not steer this test.
unset ORBO_DATA_DIR

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

prefix=$tmp/prefix
if [ -e "$manifest" ]; then
  cp -p "$manifest" "$tmp/manifest.saved"
else
  touch "$tmp/manifest.none"
fi
if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: cmake --install (are orbo and orbo-render built?)" >&2
  exit 1
fi
installed_texture=$prefix/share/orbo/Data/texture1.bmp
[ -f "$installed_texture" ] || fail "the install has no $installed_texture"

empty=$tmp/elsewhere
local_data=$tmp/with-data
mkdir -p "$empty" "$local_data/Data"
printf 'BM not an image' >"$local_data/Data/texture1.bmp"

# --- orbo-render -------------------------------------------------------------

# The reference frame: the build's orbo-render with the texture named explicitly.
"$build/bin/orbo-render" --mode texture --texture "$source/Data/texture1.bmp" -o "$tmp/reference.png" ||
  fail "the reference frame could not be rendered"

(cd "$empty" && "$prefix/bin/orbo-render" --mode texture -o fallback.png) 2>"$tmp/err" ||
  fail "installed orbo-render did not find the installed texture: $(cat "$tmp/err")"
cmp -s "$tmp/reference.png" "$empty/fallback.png" ||
  fail "the frame drawn with the installed texture differs from the reference"

(cd "$empty" && "$prefix/bin/orbo-render" --help) >"$tmp/help" ||
  fail "orbo-render --help failed"
grep -qF "./Data/texture1.bmp" "$tmp/help" && grep -qF "$installed_texture" "$tmp/help" ||
  fail "--help does not say where the default texture is looked for: $(cat "$tmp/help")"

# A texture named on the command line is never replaced by the default one.
(cd "$empty" && "$prefix/bin/orbo-render" --mode texture --texture missing.bmp -o named.png) 2>"$tmp/err"
status=$?
[ "$status" -eq 1 ] || fail "a missing --texture gave status $status, not 1"
grep -qF "missing.bmp" "$tmp/err" || fail "the message does not name missing.bmp: $(cat "$tmp/err")"
[ ! -e "$empty/named.png" ] || fail "a frame was written although --texture was missing"

# ./Data/texture1.bmp in the current folder comes first, even when it is broken.
(cd "$local_data" && "$prefix/bin/orbo-render" --mode texture -o local.png) 2>"$tmp/err"
status=$?
[ "$status" -eq 1 ] || fail "a broken ./Data/texture1.bmp gave status $status, not 1"
grep -qF "./Data/texture1.bmp" "$tmp/err" || fail "the message does not name ./Data/texture1.bmp: $(cat "$tmp/err")"

# ORBO_DATA_DIR names the folder looked in instead of the installed one: here a
# broken texture, which must be the one read. Empty, only ./Data is looked at.
other=$tmp/other-data
mkdir -p "$other"
printf 'BM not an image' >"$other/texture1.bmp"
(cd "$empty" && ORBO_DATA_DIR=$other "$prefix/bin/orbo-render" --mode texture -o other.png) 2>"$tmp/err"
status=$?
[ "$status" -eq 1 ] && grep -qF "$other/texture1.bmp" "$tmp/err" ||
  fail "ORBO_DATA_DIR=$other did not read $other/texture1.bmp (status $status): $(cat "$tmp/err")"
(cd "$empty" && ORBO_DATA_DIR= "$prefix/bin/orbo-render" --mode texture -o none.png) 2>"$tmp/err"
status=$?
[ "$status" -eq 1 ] && ! grep -qF "$prefix" "$tmp/err" ||
  fail "with ORBO_DATA_DIR empty the installed texture was used (status $status): $(cat "$tmp/err")"

# A moved install still finds its texture, relative to the program.
mv "$prefix" "$tmp/moved"
(cd "$empty" && "$tmp/moved/bin/orbo-render" --mode texture -o moved.png) 2>"$tmp/err" ||
  fail "a moved install did not find its texture: $(cat "$tmp/err")"
mv "$tmp/moved" "$prefix"

# --- orbo, the window ----------------------------------------------------------

if ! strace -o /dev/null true >/dev/null 2>&1; then
  [ "$failures" -eq 0 ] || exit 1
  echo "SKIP: strace cannot trace here; the window's lookup was not checked" >&2
  exit 77
fi

# Starts the installed window in folder $1 and prints the path of the first
# texture1.bmp it opened successfully (nothing after 30 s).
opened_texture() {
  local log=$tmp/strace.log
  rm -f "$log"
  (cd "$1" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    strace -f -e trace=openat -o "$log" "$prefix/bin/orbo") >/dev/null 2>&1 &
  local watcher=$! found= i
  for i in $(seq 300); do
    [ -z "$orbo_pid" ] && [ -s "$log" ] && orbo_pid=$(head -n 1 "$log" | cut -d' ' -f1)
    found=$(grep -E 'texture1\.bmp", [^)]*\) = [0-9]+$' "$log" 2>/dev/null | head -n 1 | sed -E 's/.*openat\([^"]*"([^"]*)".*/\1/')
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$orbo_pid" ] && kill -KILL "$orbo_pid" 2>/dev/null
  orbo_pid=
  wait "$watcher"
  echo "$found"
}

opened=$(opened_texture "$empty")
[ "$opened" = "$installed_texture" ] ||
  fail "the window started elsewhere opened '${opened:-no texture}', not $installed_texture"

opened=$(opened_texture "$local_data")
[ "$opened" = "./Data/texture1.bmp" ] ||
  fail "the window started beside ./Data opened '${opened:-no texture}', not ./Data/texture1.bmp"

[ "$failures" -eq 0 ] || exit 1
echo "installed programs find their default texture"
