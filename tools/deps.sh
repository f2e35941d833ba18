# Sourced by run.sh and test.sh: installs the Debian packages the build needs.
# As root the missing ones are installed with apt-get; otherwise the exact
# command is printed and the script stops.

ORBO_PACKAGES=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libhwy-dev libcli11-dev libtbb-dev libpng-dev libdeflate-dev
  qt6-base-dev libgl-dev libx11-dev
  qt6-tools-dev qt6-l10n-tools help2man
  fonts-noto-cjk qt6-translations-l10n
  strace
)

orbo_install_deps() {
  local missing=()
  local pkg
  for pkg in "${ORBO_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local cmd="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}"
    echo "Install them as root with:"
    echo "  $cmd"
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures the given folder with any extra CMake arguments.
orbo_configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# Builds the given folder: everything, or the targets named after it.
orbo_build() {
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" "${targets[@]}"
}
