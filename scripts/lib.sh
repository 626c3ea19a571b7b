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

# The udev rule that gives the user at the seat the input access Glidra needs
# (it runs as that user, never as root).
INPUT_RULE_SOURCE="$ROOT/data/udev/70-glidra-input.rules"
INPUT_RULE_TARGET="/etc/udev/rules.d/70-glidra-input.rules"

# Says what the rule grants and asks before installing it; without a terminal
# it prints the command instead. Nothing when it is installed already.
offer_input_access_rule() {
  if cmp -s "$INPUT_RULE_SOURCE" "$INPUT_RULE_TARGET"; then
    return 0
  fi
  local install_command="install -m 0644 '$INPUT_RULE_SOURCE' '$INPUT_RULE_TARGET' && udevadm control --reload && udevadm trigger --subsystem-match=input --subsystem-match=misc"
  cat <<TEXT
Glidra reads the touchpad and the keyboards and types shortcuts through a
virtual input device. The udev rule $INPUT_RULE_TARGET lets the user
sitting at this computer (the active desktop session) do that without root:
  - read every touchpad and keyboard: any program of that user can then see
    what is typed;
  - create virtual input devices through /dev/uinput: any program of that user
    can then inject keys and clicks.
To take it back later: delete $INPUT_RULE_TARGET, then run
  udevadm control --reload && udevadm trigger --subsystem-match=input --subsystem-match=misc
TEXT
  if [ ! -t 0 ]; then
    echo "No terminal to ask on. To install the rule, run as root:"
    echo "  $install_command"
    return 0
  fi
  local answer=""
  read -r -p "Install the rule now? [y/N] " answer || true
  case "$answer" in
    [yY]*) ;;
    *)
      echo "Not installed: Glidra will say that it has no access to the input devices."
      return 0
      ;;
  esac
  if [ "$(id -u)" -eq 0 ]; then
    sh -c "$install_command"
  else
    sudo sh -c "$install_command"
  fi
  echo "Installed. The desktop session has the access now; if Glidra still has none, log out and in again."
}
