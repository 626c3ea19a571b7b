# Shared by scripts/run, scripts/test, scripts/package and scripts/fuzz.
# Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${GLIDRA_BUILD_DIR:-$ROOT/build}"
# Where scripts/run installs Glidra.
PREFIX="${GLIDRA_PREFIX:-/usr/local}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qcoro-qt6-dev
  libglib2.0-dev
  libpulse-dev qt6-base-private-dev
  # services the tests start privately: PipeWire's sound server as GNOME runs
  # it (pactl comes with pulseaudio-utils) and a StatusNotifier watcher
  pipewire pipewire-pulse wireplumber pulseaudio-utils xvfb openbox
  haskell-status-notifier-item-utils
  # setxkbmap, to switch a private X server's keyboard layout
  x11-xkb-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  # Qt's own texts in Chinese, loaded at start-up
  qt6-translations-l10n
  dbus-daemon
  libevdev-dev libudev-dev libxcb1-dev
  # the user's keyboard layout, for the titles of recorded keys
  libxkbcommon-dev libxkbcommon-x11-dev
  umockdev libumockdev-dev
  locales
  # the Debian package and its checks (scripts/package)
  dpkg-dev file lintian appstream desktop-file-utils
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

# Installs the build under $PREFIX; the desktop's menu lists it from there.
install_glidra() {
  if [ "$(id -u)" -ne 0 ] && [ ! -w "$PREFIX" ] && [ -e "$PREFIX" ]; then
    echo "$PREFIX is not writable: run with sudo, or set GLIDRA_PREFIX to a folder of yours (~/.local)." >&2
    exit 1
  fi
  cmake --install "$BUILD_DIR" --prefix "$PREFIX"
  # Only a theme that keeps a cache needs it brought up to date.
  local icons="$PREFIX/share/icons/hicolor"
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null 2>&1; then
    gtk-update-icon-cache -q -t -f "$icons" || true
  fi
  echo "Installed under $PREFIX; to remove it: xargs -d '\\n' rm -f -- < '$BUILD_DIR/install_manifest.txt'"
}

# The input access Glidra needs, one udev rule per purpose, installed from
# the copies under $PREFIX: "rule file|udev subsystem|what it adds and allows".
INPUT_RULES_SOURCE="$PREFIX/share/glidra/udev"
INPUT_RULES_TARGET="/etc/udev/rules.d"
INPUT_GRANTS=(
  "70-glidra-touchpad.rules|input|read every touchpad: gestures, and the actions that synthesise no input (volume, brightness, keep-awake, show desktop, opening applications and websites). Any program of yours can then read the touchpad."
  "70-glidra-keyboards.rules|input|read every keyboard: the modifier keys a gesture requires, typing protection, held keys and the keyboard lock. Any program of yours can then see what is typed."
  "70-glidra-uinput.rules|misc|create virtual input devices through /dev/uinput: shortcuts, clicks and scrolls. Any program of yours can then inject keys and clicks."
)

# Says what each grant adds and allows, and asks before installing each one
# that is missing; without a terminal it prints the commands instead.
offer_input_access_rules() {
  local entry file subsystem text answer missing=0
  if [ -f "$INPUT_RULES_TARGET/70-glidra-input.rules" ]; then
    echo "An earlier Glidra installed all three grants as $INPUT_RULES_TARGET/70-glidra-input.rules;"
    echo "delete it (sudo rm $INPUT_RULES_TARGET/70-glidra-input.rules) to choose them one by one."
    return 0
  fi
  for entry in "${INPUT_GRANTS[@]}"; do
    IFS='|' read -r file subsystem text <<<"$entry"
    cmp -s "$INPUT_RULES_SOURCE/$file" "$INPUT_RULES_TARGET/$file" && continue
    missing=1
    local command="install -m 0644 -t '$INPUT_RULES_TARGET' '$INPUT_RULES_SOURCE/$file' && udevadm control --reload && udevadm trigger --subsystem-match=$subsystem"
    echo
    echo "The udev rule $file lets the user at this computer (the active desktop session) $text" | fold -s -w 78
    if [ ! -t 0 ]; then
      echo "No terminal to ask on. To install it, run as root:"
      echo "  $command"
      continue
    fi
    answer=""
    read -r -p "Install $file now? [y/N] " answer || true
    case "$answer" in
      [yY]*)
        if [ "$(id -u)" -eq 0 ]; then sh -c "$command"; else sudo sh -c "$command"; fi
        echo "Installed."
        ;;
      *) echo "Not installed: Glidra's general page lists what it is missing." ;;
    esac
  done
  if [ "$missing" -eq 1 ]; then
    echo
    echo "To take a rule back: delete it from $INPUT_RULES_TARGET, then run"
    echo "  udevadm control --reload && udevadm trigger --subsystem-match=input --subsystem-match=misc"
  fi
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
    "HOME=$(getent passwd "$user" | cut -d: -f6)" "USER=$user" "LOGNAME=$user" "PATH=$PREFIX/bin:/usr/local/bin:/usr/bin:/bin"
    "XDG_RUNTIME_DIR=/run/user/$uid" "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus"
    "XDG_SESSION_ID=$id" "XDG_SESSION_TYPE=$type")
  local line
  while IFS= read -r line; do environment+=("$line"); done < <(session_environment "$user" "$uid")
  # logind's display wins: it names the session's own X server.
  [ -n "$display" ] && environment+=("DISPLAY=$display")
  echo "Starting Glidra for $user in $type session $id."
  exec runuser -u "$user" -- env -i "${environment[@]}" "$PREFIX/bin/glidra"
}

# Shows the engine at work where no desktop is there: a recorded touchpad
# session through the real recognition engine, running the actions a bundled
# configuration binds on a simulated system.
run_replay() {
  local recording="$ROOT/tests/data/recordings/CyPS2_Cypress_Trackpad.three_finger_tap.events"
  local configuration="$ROOT/tests/data/configurations/recordings.json"
  echo "Replaying $(basename "$recording") (three fingers tapping a pad that tracks only two) with the actions of $(basename "$configuration"):"
  "$PREFIX/bin/glidra-replay" --config "$configuration" --run "$recording"
}

# Starts Glidra for the desktop user, or says in one line why it cannot and
# replays a recording instead.
start_glidra() {
  local user
  if [ "$(id -u)" -ne 0 ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec "$PREFIX/bin/glidra"; fi
    echo "No graphical session in this shell: replaying a recorded touchpad session instead."
  elif ! user=$(sudo_user); then
    echo "No desktop user to start Glidra for (run scripts/run with sudo from your desktop session): replaying a recorded touchpad session instead."
  elif ! start_in_session "$user"; then
    echo "$user has no graphical session on this machine: replaying a recorded touchpad session instead."
  fi
  run_replay
}
