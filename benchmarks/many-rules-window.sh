#!/usr/bin/env bash
# How long the settings window takes to appear, and the memory it adds, with
# many gesture rules in the settings file, on a private desktop (Xvfb,
# openbox, a tray, a session bus), run by hand:
#
#   benchmarks/many-rules-window.sh [BUILD_DIR]
#
# RULES (10000) rules of every kind, finger count, direction, application
# and region, some switched off or needing held keys, go into a settings
# file of their own. The program starts on it; after SETTLE_SECONDS (5) a
# second start asks it for the settings window, and the time until the
# window is on screen is taken, then its resident and private memory before
# and SETTLE_SECONDS after. Then the list is scrolled down by SCROLL_CLICKS
# (300) wheel clicks, and the memory taken again. ROUNDS (3) opens, each on a
# fresh start.
#
# Needs root (it runs the program as an unprivileged user of its own) and
# xvfb, openbox, trayer, xdotool, dbus-daemon and python3.
set -euo pipefail

BUILD_DIR="$(cd "${1:-$(dirname "$0")/../build}" && pwd)"
GLIDRA="$BUILD_DIR/glidra"
RULES="${RULES:-10000}"
ROUNDS="${ROUNDS:-3}"
SCROLL_CLICKS="${SCROLL_CLICKS:-300}"
SETTLE_SECONDS="${SETTLE_SECONDS:-5}"
USER_NAME=glidra-bench

[ -x "$GLIDRA" ] || { echo "no $GLIDRA: build first" >&2; exit 1; }
id "$USER_NAME" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
USER_ID="$(id -u "$USER_NAME")"

WORK="$(mktemp -d)"
chmod 755 "$WORK"
HOME_DIR="$WORK/home"
RUNTIME="$WORK/runtime"
mkdir -p "$HOME_DIR/.config/Glidra" "$RUNTIME"
chmod 700 "$RUNTIME"

DISPLAY_NUMBER="${DISPLAY_NUMBER:-90}"
while [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ]; do DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1)); done
export DISPLAY=":$DISPLAY_NUMBER"

PIDS=()
cleanup() {
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[$i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] && echo "kept $WORK" >&2 || rm -rf "$WORK"
}
trap cleanup EXIT

# The settings file: the rules as the program stores them, a JSON array in
# a data value.
python3 - "$RULES" "$HOME_DIR/.config/Glidra/settings.json" <<'EOF'
import base64, json, random, sys, uuid

count, path = int(sys.argv[1]), sys.argv[2]
random.seed(51)
directional = ["swipe", "holdSwipe", "tapSwipe", "anchorSwipe"]
other = ["tap", "click", "forcePress", "longPress", "pinchIn", "pinchOut", "rotateClockwise",
         "rotateCounterclockwise", "circle", "backAndForth"]
directions = ["up", "down", "left", "right", "upLeft", "upRight", "downLeft", "downRight"]
actions = ["missionControl", "showDesktop", "copy", "paste", "volumeUp", "volumeDown", "lockScreen",
           "mouseDoubleClick", "openFinder", "screenshot", "nextTab", "previousTab", "playPause",
           "openURL", "customShortcut"]
presets = ["anywhere", "center", "left", "right", "top", "bottom", "topLeft", "topRight", "bottomLeft",
           "bottomRight"]
applications = [""] * 20 + ["org.example.App%d.desktop" % i for i in range(60)]
rules = []
for index in range(count):
    kind = random.choice(directional + other)
    rule = {
        "id": str(uuid.UUID(int=random.getrandbits(128), version=4)).upper(),
        "isEnabled": random.random() > 0.1,
        "gesture": {"kind": kind, "fingers": random.randint(1, 5),
                    "direction": random.choice(directions) if kind in directional else "right",
                    "tapCount": random.randint(1, 3) if kind == "tap" else 1},
        "requiredModifiers": random.choice([0] * 9 + [0x100000, 0x40000]),
        "appBundleID": random.choice(applications),
        "action": random.choice(actions),
    }
    if random.random() < 0.2:
        x, y = round(random.uniform(0, 0.5), 3), round(random.uniform(0, 0.5), 3)
        rule["region"] = "custom"
        rule["customRegion"] = {"minX": x, "minY": y, "maxX": x + 0.4, "maxY": y + 0.4}
    else:
        rule["region"] = random.choice(presets)
    if rule["action"] == "openURL":
        rule["parameters"] = {"website": "https://example.org/page/%d" % index}
    if rule["action"] == "customShortcut":
        rule["shortcut"] = {"keyCode": 17, "modifiers": 0xC0000, "label": "Ctrl+Alt+T"}
    rules.append(rule)
data = base64.b64encode(json.dumps(rules, ensure_ascii=False).encode()).decode()
with open(path, "w") as out:
    json.dump({"freeformRules": {"data": data}}, out)
EOF
chown -R "$USER_NAME" "$HOME_DIR" "$RUNTIME"
echo "settings file: $RULES rules, $(($(stat -c %s "$HOME_DIR/.config/Glidra/settings.json") / 1024)) kB"

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

resident_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
private_kb() { awk '/^RssAnon/ {print $2}' "/proc/$1/status"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The settings window: the one of the program wider than the tray icon.
settings_window() {
  local candidate
  for candidate in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$candidate")"
    if [ "$WIDTH" -gt 100 ]; then
      echo "$candidate"
      return
    fi
  done
}

for round in $(seq "$ROUNDS"); do
  "${AS_USER[@]}" "$GLIDRA" >"$WORK/glidra-$round.log" 2>&1 &
  pid=$!
  PIDS+=("$pid")
  sleep "$SETTLE_SECONDS"
  kill -0 "$pid" || { cat "$WORK/glidra-$round.log" >&2; exit 1; }
  before=$(resident_kb "$pid")
  before_private=$(private_kb "$pid")

  asked=$(now_ms)
  "${AS_USER[@]}" "$GLIDRA" >/dev/null 2>&1 || true # a second start opens the window
  window=
  while [ -z "$window" ]; do
    sleep 0.05
    window=$(settings_window "$pid")
    [ $(($(now_ms) - asked)) -lt 120000 ] || { echo "the settings window did not open" >&2; exit 1; }
  done
  shown=$(now_ms)
  sleep "$SETTLE_SECONDS"
  opened=$(resident_kb "$pid")
  opened_private=$(private_kb "$pid")

  # Down the list, as a reader of it would go.
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool mousemove --window "$window" 420 500
  xdotool click --repeat "$SCROLL_CLICKS" --delay 5 5
  sleep "$SETTLE_SECONDS"
  scrolled=$(resident_kb "$pid")
  scrolled_private=$(private_kb "$pid")

  echo "round $round: the window appeared $((shown - asked)) ms after it was asked for;" \
    "resident memory $((before / 1024)) MB before, $((opened / 1024)) MB open (+$(((opened - before) / 1024)) MB)," \
    "$((scrolled / 1024)) MB after scrolling; private ${before_private} / ${opened_private} / ${scrolled_private} kB"
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
