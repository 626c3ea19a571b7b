# Shared by scripts/run, scripts/test and scripts/fuzz. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${GLIDRA_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qcoro-qt6-dev
  libglib2.0-dev
  libpulse-dev qt6-base-private-dev
  # services the tests start privately
  pulseaudio pulseaudio-utils xvfb openbox
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  # Qt's own texts in Chinese, loaded at start-up
  qt6-translations-l10n
  dbus-daemon
  libevdev-dev libudev-dev libxcb1-dev
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

# --- Starting Glidra in the desktop user's session ---------------------------
# Glidra runs as the desktop user, never as root. Run with sudo from a desktop
# session, scripts/run starts it as the user who ran sudo, in that user's
# graphical session; where there is none it shows the engine on a recording.

# The user who ran sudo, when that is not root itself.
sudo_user() {
  [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] && echo "$SUDO_USER"
}

# "ID TYPE DISPLAY" of the user's local graphical session, as logind reports
# it; an active session before one that is only online.
graphical_session() {
  local uid=$1 id type state remote display found=""
  command -v loginctl >/dev/null 2>&1 || return 1
  for id in $(loginctl list-sessions --no-legend 2>/dev/null | awk -v uid="$uid" '$2 == uid { print $1 }'); do
    type=$(loginctl show-session "$id" -p Type --value 2>/dev/null) || continue
    state=$(loginctl show-session "$id" -p State --value 2>/dev/null)
    remote=$(loginctl show-session "$id" -p Remote --value 2>/dev/null)
    display=$(loginctl show-session "$id" -p Display --value 2>/dev/null)
    [[ "$type" == x11 || "$type" == wayland ]] && [ "$remote" != yes ] || continue
    if [ "$state" = active ]; then
      echo "$id $type $display"
      return 0
    fi
    [ -z "$found" ] && found="$id $type $display"
  done
  [ -n "$found" ] && echo "$found"
}

# The variables of the user's session manager that a desktop program needs
# (displays, authority, desktop, locale), as NAME=VALUE lines.
session_environment() {
  local user=$1 uid=$2
  runuser -u "$user" -- env XDG_RUNTIME_DIR="/run/user/$uid" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=/run/user/$uid/bus" \
    systemctl --user show-environment 2>/dev/null |
    grep -E '^(DISPLAY|WAYLAND_DISPLAY|XAUTHORITY|XDG_CURRENT_DESKTOP|XDG_SESSION_DESKTOP|DESKTOP_SESSION|XDG_DATA_DIRS|QT_QPA_PLATFORMTHEME|LANG|LANGUAGE|LC_[A-Z]+)=' || true
}

# Starts Glidra as `user` in the graphical session; false when there is none.
start_in_session() {
  local user=$1 uid session id type display
  uid=$(id -u "$user")
  session=$(graphical_session "$uid") || return 1
  read -r id type display <<<"$session"
  local -a environment=(
    "HOME=$(getent passwd "$user" | cut -d: -f6)" "USER=$user" "LOGNAME=$user" "PATH=/usr/local/bin:/usr/bin:/bin"
    "XDG_RUNTIME_DIR=/run/user/$uid" "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus"
    "XDG_SESSION_ID=$id" "XDG_SESSION_TYPE=$type")
  local line
  while IFS= read -r line; do environment+=("$line"); done < <(session_environment "$user" "$uid")
  # logind's display wins: it names the session's own X server.
  [ -n "$display" ] && environment+=("DISPLAY=$display")
  echo "Starting Glidra for $user in $type session $id."
  exec runuser -u "$user" -- env -i "${environment[@]}" "$BUILD_DIR/glidra"
}

# Shows the engine at work where no desktop is there: a recorded touchpad
# session through the real recognition engine, running the actions a bundled
# configuration binds on a simulated system.
run_replay() {
  local recording="$ROOT/tests/data/recordings/CyPS2_Cypress_Trackpad.three_finger_tap.events"
  local configuration="$ROOT/tests/data/configurations/recordings.json"
  echo "Replaying $(basename "$recording") (three fingers tapping a pad that tracks only two) with the actions of $(basename "$configuration"):"
  "$BUILD_DIR/tools/replay/glidra-replay" --config "$configuration" --run "$recording"
}

# Starts Glidra for the desktop user, or says in one line why it cannot and
# replays a recording instead.
start_glidra() {
  local user
  if [ "$(id -u)" -ne 0 ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec "$BUILD_DIR/glidra"; fi
    echo "No graphical session in this shell: replaying a recorded touchpad session instead."
  elif ! user=$(sudo_user); then
    echo "No desktop user to start Glidra for (run scripts/run with sudo from your desktop session): replaying a recorded touchpad session instead."
  elif ! start_in_session "$user"; then
    echo "$user has no graphical session on this machine: replaying a recorded touchpad session instead."
  fi
  run_replay
}
