# Sourced by run.sh, test.sh and the tools: installs the Debian packages the
# build needs. As root the missing ones are installed with apt-get; otherwise
# the exact command is printed and the script stops.

# Building and running the programs (debian/control's Build-Depends name the
# same, for the package), and the fonts and Qt translations the window shows.
ORBO_PACKAGES=(
  cmake g++ make pkg-config
  libhwy-dev libcli11-dev libtbb-dev libpng-dev libdeflate-dev libattr1-dev
  qt6-base-dev libgl-dev libx11-dev
  qt6-tools-dev qt6-l10n-tools help2man
  fonts-noto-cjk qt6-translations-l10n
)
# The tests and the benchmarks besides (test.sh).
ORBO_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev strace)

# Installs ORBO_PACKAGES and the packages named after it.
orbo_install_deps() {
  orbo_install_packages "${ORBO_PACKAGES[@]}" "$@"
}

# Installs the packages named, those missing.
orbo_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
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
