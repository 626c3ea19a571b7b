#!/usr/bin/env bash
# Idle wake-ups and resident memory of the real application on a private
# desktop (Xvfb, openbox, a tray, a session bus), run by hand:
#
#   benchmarks/live-idle-memory.sh [BUILD_DIR]
#
# 1. Idle with no sound server: wake-ups per minute, counted as the context
#    switches of all the program's threads, over the first IDLE_SECONDS (60)
#    after start, while the sound server is still looked for often, and over
#    the IDLE_SECONDS after those.
# 2. Idle with a sound server: the same count over the first 30 s and over
#    the IDLE_SECONDS after those. Qt's pixmap cache looks for unused
#    pixmaps 30 s after the tray icon was first drawn, once.
# 3. Resident memory with the settings window never opened, after it was
#    opened, and after it was closed again (SETTLE_SECONDS, 5, after each),
#    and the private (anonymous) part of it: the rest is the pages of files
#    the program mapped, its libraries' code among them, which stay as long
#    as the code that ran.
#
# Needs root (it runs the program as an unprivileged user of its own) and
# xvfb, openbox, trayer, xdotool, dbus-daemon and pulseaudio.
set -euo pipefail

BUILD_DIR="$(cd "${1:-$(dirname "$0")/../build}" && pwd)"
GLIDRA="$BUILD_DIR/glidra"
IDLE_SECONDS="${IDLE_SECONDS:-60}"
SETTLE_SECONDS="${SETTLE_SECONDS:-5}"
USER_NAME=glidra-bench

[ -x "$GLIDRA" ] || { echo "no $GLIDRA: build first" >&2; exit 1; }
id "$USER_NAME" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
USER_ID="$(id -u "$USER_NAME")"

WORK="$(mktemp -d)"
chmod 755 "$WORK"
HOME_DIR="$WORK/home"
RUNTIME="$WORK/runtime"
mkdir -p "$HOME_DIR" "$RUNTIME"
chown "$USER_NAME" "$HOME_DIR" "$RUNTIME"
chmod 700 "$RUNTIME"

DISPLAY_NUMBER=90
while [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1)); done
export DISPLAY=":$DISPLAY_NUMBER"

PIDS=()
cleanup() {
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[$i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] && echo "kept $WORK" >&2 || rm -rf "$WORK"
}
trap cleanup EXIT

# A prefix, not a function: a function run in the background is a shell of
# its own, and $! would be that shell's.
AS_USER=(setpriv --reuid="$USER_ID" --regid="$(id -g "$USER_NAME")" --clear-groups
  env HOME="$HOME_DIR" XDG_RUNTIME_DIR="$RUNTIME" XDG_CONFIG_HOME="$HOME_DIR/.config"
  XDG_STATE_HOME="$HOME_DIR/.local/state" DISPLAY="$DISPLAY"
  DBUS_SESSION_BUS_ADDRESS="unix:path=$RUNTIME/bus" LANG=C.UTF-8)

Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
PIDS+=($!)
trayer --edge top --align right --widthtype pixel --width 100 >/dev/null 2>&1 &
PIDS+=($!)
"${AS_USER[@]}" dbus-daemon --session --address="unix:path=$RUNTIME/bus" --nofork --nopidfile >/dev/null 2>&1 &
PIDS+=($!)
sleep 1

# Context switches of every thread of `pid` so far.
switches() {
  local total=0 n
  for status in /proc/"$1"/task/*/status; do
    n=$(awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}' "$status" 2>/dev/null || echo 0)
    total=$((total + n))
  done
  echo "$total"
}

resident_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
private_kb() { awk '/^RssAnon/ {print $2}' "/proc/$1/status"; }
# Resident memory with each page shared with other processes counted in
# part: the libraries' pages that the desktop's other programs also map.
proportional_kb() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup"; }

start_glidra() {
  "${AS_USER[@]}" "$GLIDRA" >"$WORK/glidra-$1.log" 2>&1 &
  GLIDRA_PID=$!
  PIDS+=("$GLIDRA_PID")
  sleep "$SETTLE_SECONDS"
  kill -0 "$GLIDRA_PID" || { cat "$WORK/glidra-$1.log" >&2; exit 1; }
}

stop_glidra() {
  kill "$GLIDRA_PID" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$GLIDRA_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$GLIDRA_PID" 2>/dev/null || true
  wait "$GLIDRA_PID" 2>/dev/null || true
}

idle_per_minute() {
  local before after
  before=$(switches "$GLIDRA_PID")
  sleep "$1"
  after=$(switches "$GLIDRA_PID")
  echo $(((after - before) * 60 / $1))
}

# 1. No sound server.
start_glidra nosound
echo "idle without a sound server: $(idle_per_minute "$IDLE_SECONDS") wake-ups per minute over the first ${IDLE_SECONDS} s," \
  "$(idle_per_minute "$IDLE_SECONDS") over the next ${IDLE_SECONDS} s"
stop_glidra

# 2. A sound server of the user's own, with a null sink and source.
cat >"$WORK/pulse.pa" <<EOF
load-module module-native-protocol-unix
load-module module-null-sink sink_name=bench
load-module module-null-source source_name=benchmic
set-default-sink bench
set-default-source benchmic
EOF
chmod 644 "$WORK/pulse.pa"
"${AS_USER[@]}" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes -F "$WORK/pulse.pa" >/dev/null 2>&1 &
PIDS+=($!)
sleep 2
start_glidra sound
echo "idle with a sound server: $(idle_per_minute 30) wake-ups per minute over the first 30 s," \
  "$(idle_per_minute "$IDLE_SECONDS") over the next ${IDLE_SECONDS} s"

# 3. Memory around the settings window, on the same run.
never=$(resident_kb "$GLIDRA_PID")
never_private=$(private_kb "$GLIDRA_PID")
never_proportional=$(proportional_kb "$GLIDRA_PID")
"${AS_USER[@]}" "$GLIDRA" >/dev/null 2>&1 || true  # a second start opens the window
sleep "$SETTLE_SECONDS"
opened=$(resident_kb "$GLIDRA_PID")
opened_private=$(private_kb "$GLIDRA_PID")
opened_proportional=$(proportional_kb "$GLIDRA_PID")
# The settings window: the one wider than the tray icon.
window=
for candidate in $(xdotool search --onlyvisible --pid "$GLIDRA_PID" 2>/dev/null); do
  eval "$(xdotool getwindowgeometry --shell "$candidate")"
  [ "$WIDTH" -gt 100 ] && window=$candidate
done
[ -n "$window" ] || { echo "the settings window did not open" >&2; exit 1; }
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
sleep "$SETTLE_SECONDS"
! xdotool search --onlyvisible --pid "$GLIDRA_PID" 2>/dev/null | grep -qx "$window" || echo "warning: the settings window is still shown" >&2
closed=$(resident_kb "$GLIDRA_PID")
closed_private=$(private_kb "$GLIDRA_PID")
closed_proportional=$(proportional_kb "$GLIDRA_PID")
echo "resident memory: never opened $((never / 1024)) MB, opened $((opened / 1024)) MB, closed $((closed / 1024)) MB" \
  "(${never} / ${opened} / ${closed} kB); private: ${never_private} / ${opened_private} / ${closed_private} kB;" \
  "proportional: ${never_proportional} / ${opened_proportional} / ${closed_proportional} kB"
stop_glidra
