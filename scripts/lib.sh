# Shared by scripts/run, scripts/test, scripts/package, scripts/sanitize and
# scripts/fuzz. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build of scripts/test and scripts/package: the program, the tests and
# the benchmarks.
BUILD_DIR="${GLIDRA_BUILD_DIR:-$ROOT/build}"
# The desktop id, as the build names its files (the CMake option GLIDRA_APP_ID).
APP_ID="io.github.glidra.Glidra"

# What building the program, the replay tool and their Debian package needs:
# all that scripts/run installs. Their libraries come with these; what runs
# beside them (Qt's plugins, a Chinese font) with the package's dependencies.
BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-svg-dev libgl-dev
  qcoro-qt6-dev
  libglib2.0-dev libpulse-dev
  libevdev-dev libudev-dev libxcb1-dev
  # the package: Debian's build flags, and what cpack runs (dpkg-shlibdeps, file)
  dpkg-dev file
  # the user's keyboard layout, for the titles of recorded keys
  libxkbcommon-dev libxkbcommon-x11-dev
)
# What the tests, the benchmarks and the package's checks need besides:
# scripts/test installs these too, scripts/run never does.
TEST_PACKAGES=(
  # services the tests start privately: PipeWire's sound server as GNOME runs
  # it (pactl comes with pulseaudio-utils) and a StatusNotifier watcher
  pipewire pipewire-pulse wireplumber pulseaudio-utils xvfb openbox dbus-daemon
  haskell-status-notifier-item-utils
  # RealtimeKit and polkit, which the thread-priority test runs on a system
  # bus of its own
  rtkit polkitd
  # setxkbmap, to switch a private X server's keyboard layout
  x11-xkb-utils
  umockdev libumockdev-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # the texts of the windows the tests draw, and Qt's own, in Chinese
  fonts-noto-cjk qt6-translations-l10n
  locales
  # the package's checks (scripts/package)
  lintian appstream desktop-file-utils man-db
)

# Another apt (unattended upgrades, a software centre) may hold the lock for
# a while: wait for it rather than fail.
APT_OPTIONS=(-o DPkg::Lock::Timeout=300)

# A word for sh: as it is when it holds nothing sh reads specially, else in
# single quotes (the program's own commands quote the same way).
shell_word() {
  if [[ "$1" =~ ^[A-Za-z0-9/._+:@%,=-]+$ ]]; then
    printf '%s' "$1"
  else
    printf "'%s'" "${1//\'/\'\\\'\'}"
  fi
}

# Installs through apt what the arguments name (packages, or ./file.deb;
# options such as --reinstall pass on), never removing a package for them:
# where apt would, it stops before changing anything and names them.
apt_install() {
  local plan removed
  if ! plan=$(DEBIAN_FRONTEND=noninteractive apt-get "${APT_OPTIONS[@]}" install -s --no-remove "$@" 2>&1); then
    removed=$(awk '/^The following packages will be REMOVED:/ { on = 1; next } on && /^  / { print; next } { on = 0 }' <<<"$plan" | xargs)
    if [ -n "$removed" ]; then
      echo "Installing $* would remove $removed; nothing was installed or removed." >&2
      echo "Install what is missing by hand, choosing what to keep, then run this again." >&2
    else
      echo "$plan" >&2
      echo "apt cannot install $*; nothing was installed or removed." >&2
    fi
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get "${APT_OPTIONS[@]}" install -y -qq --no-remove "$@"
}

# The real desktops the live tests run the program on (ctest label "live"):
# GNOME Shell headless with the AppIndicator extension and GNOME Calculator
# as a native Wayland window, KWin on a virtual output, and Qt's Wayland
# platform for the program and the test's own window. Only scripts/test
# installs them; each live test skips, saying so, where they are missing.
LIVE_DESKTOP_PACKAGES=(
  gnome-shell gnome-shell-extension-appindicator gnome-calculator
  kwin-wayland
  qt6-wayland
)

# Installs the Debian packages that are missing; nothing when all are there.
install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing; install them as root: su -c $(shell_word "apt-get install --no-remove ${missing[*]}")" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get "${APT_OPTIONS[@]}" update -qq
  apt_install --no-install-recommends "${missing[@]}"
}

# Runs a command as the owner of the source folder, so that what it makes
# there belongs to them, not to root.
as_source_owner() {
  local owner
  owner=$(stat -c %U "$ROOT")
  if [ "$(id -u)" -eq 0 ] && [ "$owner" != root ]; then
    runuser -u "$owner" -- "$@"
  else
    "$@"
  fi
}

# HARDENING_OPTIONS: the CMake options that build with the flags a Debian
# package is built with, every hardening feature on (fortified functions,
# the strong stack protector, relocations read-only and bound at start), the
# functions fortified one level further.
HARDENING_OPTIONS=()
set_hardening_options() {
  local cppflags cxxflags ldflags
  # From the source folder, which -ffile-prefix-map then names ".".
  cppflags=$(cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)
  cxxflags=$(cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
  ldflags=$(cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)
  # Level 2 checks only buffers whose size the compiler knows, and here it
  # proves every such call safe, so nothing is checked at run time; level 3
  # (GCC 12 and glibc 2.36 have it) also checks the
  # sizes known only then.
  cppflags=${cppflags/-D_FORTIFY_SOURCE=2/-D_FORTIFY_SOURCE=3}
  HARDENING_OPTIONS=(
    "-DCMAKE_CXX_FLAGS=$cppflags $cxxflags"
    "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
    "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags"
  )
}

# What the builds run through: nothing, or as_source_owner where the build
# folder is to be the source owner's (scripts/run).
BUILD_AS=()

# configure_and_build DIR [CMAKE OPTIONS...]
configure_and_build() {
  local dir=$1
  shift
  "${BUILD_AS[@]}" cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  "${BUILD_AS[@]}" cmake --build "$dir" --parallel "$(nproc)"
}

# Makes the Debian package of a built folder with cpack and prints its path.
make_package() {
  local dir=$1 log debs
  rm -f "$dir"/package/glidra_*.deb
  if ! log=$("${BUILD_AS[@]}" env -C "$dir" cpack -G DEB 2>&1); then
    echo "$log" >&2
    echo "cpack could not make the package" >&2
    exit 1
  fi
  debs=("$dir"/package/glidra_*_amd64.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "$log" >&2
    echo "cpack made no single glidra_<version>_amd64.deb in $dir/package" >&2
    exit 1
  fi
  echo "${debs[0]}"
}

# The commands that remove what `cmake --install` put under a prefix, the
# folders of Glidra's own with it; the README gives the same.
prefix_uninstall_commands() {
  local p
  p=$(shell_word "$1")
  echo "rm -f $p/bin/glidra $p/bin/glidra-replay $p/share/applications/$APP_ID.desktop" \
    "$p/share/metainfo/$APP_ID.metainfo.xml $p/share/icons/hicolor/*/apps/$APP_ID.png" \
    "$p/share/icons/hicolor/scalable/apps/$APP_ID.svg $p/share/icons/hicolor/symbolic/apps/$APP_ID-symbolic.svg" \
    "$p/share/man/man1/glidra.1.gz $p/share/man/man1/glidra-replay.1.gz"
  echo "rm -rf $p/share/glidra $p/share/doc/glidra $p/share/gnome-shell/extensions/glidra@glidra.github.io" \
    "$p/share/kwin/scripts/glidra $p/libexec/glidra"
  # The input service's files, which only the package puts where the system
  # reads them.
  echo "rm -f $p/lib/systemd/system/glidra-inputd.socket $p/lib/systemd/system/glidra-inputd.service" \
    "$p/lib/sysusers.d/glidra-input.conf $p/lib/udev/rules.d/70-glidra-inputd-uinput.rules"
}

# Installs a built folder under a prefix of the user's own (GLIDRA_PREFIX);
# the desktop's menu lists it from there when the prefix's share folder is
# one of its data folders (~/.local is).
install_into_prefix() {
  local dir=$1 prefix=$2
  if [ "$(id -u)" -ne 0 ] && [ -e "$prefix" ] && [ ! -w "$prefix" ]; then
    echo "$prefix is not writable: run as root, or set GLIDRA_PREFIX to a folder of yours (~/.local)." >&2
    exit 1
  fi
  # As root into a folder of a user's (sudo GLIDRA_PREFIX=~/.local): as that
  # user, so that the files stay theirs.
  local existing=$prefix owner=root
  while [ ! -e "$existing" ]; do existing=$(dirname "$existing"); done
  [ "$(id -u)" -eq 0 ] && owner=$(stat -c %U "$existing")
  local -a as=()
  [ "$owner" != root ] && as=(runuser -u "$owner" --)
  "${as[@]}" cmake --install "$dir" --prefix "$prefix"
  # Only a theme that keeps a cache needs it brought up to date.
  local icons="$prefix/share/icons/hicolor"
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null 2>&1; then
    "${as[@]}" gtk-update-icon-cache -q -t -f "$icons" || true
  fi
  echo "Installed under $prefix; to remove it:"
  prefix_uninstall_commands "$prefix" | sed 's/^/  /'
}

# The input access Glidra needs, one udev rule per purpose, installed from
# the copies under the prefix Glidra is installed in (RULES_SOURCE):
# "rule file|udev subsystem|what it gives".
INPUT_RULES_TARGET="/etc/udev/rules.d"
INPUT_GRANTS=(
  "70-glidra-touchpad.rules|input|read and write access to every touchpad. Glidra reads it for gestures, and for the actions that synthesise no input (volume, brightness, keep-awake, show desktop, opening applications and websites). Any program of yours can then read the touchpad and write events into it."
  "70-glidra-keyboards.rules|input|read and write access to every keyboard. Glidra reads them for the modifier keys a gesture requires, typing protection, held keys and the keyboard lock. Any program of yours can then read every key you type, passwords included, and write key events into the keyboards."
  "70-glidra-uinput.rules|misc|read and write access to /dev/uinput, which creates virtual input devices. Glidra types shortcuts and makes clicks and scrolls through one. Any program of yours can then inject keys and clicks."
)

# The command that installs a rule from `source` and applies it at once.
rule_install_command() {
  local source=$1 file=$2 subsystem=$3
  echo "install -m 0644 -t $INPUT_RULES_TARGET $(shell_word "$source/$file") && udevadm control --reload && udevadm trigger --subsystem-match=$subsystem"
}

# Runs a command line as root: itself as root, else through sudo where it is
# there, else su, which asks for root's password.
run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    sh -c "$1"
  elif command -v sudo >/dev/null 2>&1; then
    sudo sh -c "$1"
  else
    su -c "$1"
  fi
}

# Says what each grant gives, and asks before installing each one that is
# missing; without a terminal it prints the commands instead. After the
# folder, the rule files to offer; every grant's without them.
offer_input_access_rules() {
  local source=$1 entry file subsystem text answer missing=0
  shift
  local only=" $* "
  if [ -f "$INPUT_RULES_TARGET/70-glidra-input.rules" ]; then
    echo "An earlier Glidra installed all three grants as $INPUT_RULES_TARGET/70-glidra-input.rules;"
    echo "delete it as root (su -c 'rm $INPUT_RULES_TARGET/70-glidra-input.rules') to choose them one by one."
    return 0
  fi
  for entry in "${INPUT_GRANTS[@]}"; do
    IFS='|' read -r file subsystem text <<<"$entry"
    [ $# -eq 0 ] || [[ "$only" == *" $file "* ]] || continue
    cmp -s "$source/$file" "$INPUT_RULES_TARGET/$file" && continue
    missing=1
    local command
    command=$(rule_install_command "$source" "$file" "$subsystem")
    echo
    echo "The udev rule $file gives the user at this computer (the active desktop session) $text" | fold -s -w 78
    if [ ! -t 0 ]; then
      echo "No terminal to ask on. To install it, run as root:"
      echo "  su -c $(shell_word "$command")"
      continue
    fi
    answer=""
    read -r -p "Install $file now? [y/N] " answer || true
    case "$answer" in
      [yY]*)
        if run_as_root "$command"; then echo "Installed."; else echo "Not installed."; fi
        ;;
      *) echo "Not installed: Glidra's general page lists what it is missing." ;;
    esac
  done
  if [ "$missing" -eq 1 ]; then
    echo
    echo "To take a rule back: delete it from $INPUT_RULES_TARGET as root, then run as root"
    echo "  udevadm control --reload && udevadm trigger --subsystem-match=input --subsystem-match=misc"
  fi
}

# --- Starting Glidra in the desktop user's session ---------------------------
# Glidra runs as the desktop user, never as root. Run as root from a desktop
# session, scripts/run starts it as the user who became root, in that user's
# graphical session; where there is none it shows the engine on a recording.

# The user who became root through sudo, pkexec or su (whose login uid stays
# the user's), when that is not root itself.
desktop_user() {
  local uid=""
  if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    echo "$SUDO_USER"
    return 0
  fi
  if [ -n "${PKEXEC_UID:-}" ]; then
    uid=$PKEXEC_UID
  elif [ -r /proc/self/loginuid ]; then
    uid=$(cat /proc/self/loginuid)
  fi
  # 4294967295: no login uid.
  [ -n "$uid" ] && [ "$uid" != 0 ] && [ "$uid" != 4294967295 ] || return 1
  getent passwd "$uid" | cut -d: -f1 | grep .
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

# Starts the Glidra installed under `prefix` as `user` in the graphical
# session; false when there is none.
start_in_session() {
  local user=$1 prefix=$2 uid session id type display
  uid=$(id -u "$user")
  session=$(graphical_session "$uid") || return 1
  read -r id type display <<<"$session"
  local -a environment=(
    "HOME=$(getent passwd "$user" | cut -d: -f6)" "USER=$user" "LOGNAME=$user" "PATH=$prefix/bin:/usr/local/bin:/usr/bin:/bin"
    "XDG_RUNTIME_DIR=/run/user/$uid" "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus"
    "XDG_SESSION_ID=$id" "XDG_SESSION_TYPE=$type")
  local line
  while IFS= read -r line; do environment+=("$line"); done < <(session_environment "$user" "$uid")
  # logind's display wins: it names the session's own X server.
  [ -n "$display" ] && environment+=("DISPLAY=$display")
  echo "Starting Glidra for $user in $type session $id."
  exec runuser -u "$user" -- env -i "${environment[@]}" "$prefix/bin/glidra"
}

# Shows the engine at work where no desktop is there: a recorded touchpad
# session through the real recognition engine, running the actions the
# bundled configuration binds on a simulated system.
run_replay() {
  local prefix=$1
  local recordings="$prefix/share/glidra/recordings"
  local recording="$recordings/CyPS2_Cypress_Trackpad.three_finger_tap.events"
  echo "Replaying $(basename "$recording") (three fingers tapping a pad that tracks only two) with the actions of $recordings/recordings.json:"
  "$prefix/bin/glidra-replay" --config "$recordings/recordings.json" --run "$recording"
}

# Starts the Glidra installed under `prefix` for the desktop user, or says in
# one line why it cannot and replays a recording instead.
start_glidra() {
  local prefix=$1 user
  if [ "$(id -u)" -ne 0 ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec "$prefix/bin/glidra"; fi
    echo "No graphical session in this shell: replaying a recorded touchpad session instead."
  elif ! user=$(desktop_user); then
    echo "No desktop user to start Glidra for (run scripts/run as root from a terminal in your desktop session): replaying a recorded touchpad session instead."
  elif ! start_in_session "$user" "$prefix"; then
    echo "$user has no graphical session on this machine: replaying a recorded touchpad session instead."
  fi
  run_replay "$prefix"
}
