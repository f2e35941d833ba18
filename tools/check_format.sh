#!/usr/bin/env bash
# Fails when a C++ file of src/ is not laid out as .clang-format says, naming
# each line clang-format would change. Run from anywhere inside the repository.
# As root a missing clang-format is installed (Debian's, version 14); otherwise
# the command to install it is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
  source tools/deps.sh
  orbo_install_packages clang-format
fi
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "no C++ files under src/" >&2
  exit 1
fi
clang-format --version
clang-format --dry-run -Werror "${files[@]}"
echo "${#files[@]} files of src/ follow .clang-format"
