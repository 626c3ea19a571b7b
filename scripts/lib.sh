# Shared by scripts/run, scripts/test and scripts/fuzz. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${GLIDRA_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qcoro-qt6-dev
  libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  dbus-daemon
  libevdev-dev libudev-dev
  umockdev libumockdev-dev
  locales
)

# Installs the Debian packages that are missing; nothing when all are there.
install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
      echo "These Debian packages are missing; run as root or install them: ${missing[*]}" >&2
      exit 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}

