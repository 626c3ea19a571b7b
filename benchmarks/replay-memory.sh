#!/usr/bin/env bash
# Peak resident memory of glidra-replay against the length of the recording,
# run by hand:
#
#   benchmarks/replay-memory.sh [BUILD_DIR]
#
# Repeats a real two-finger recording end to end (each copy a second after
# the last) into recordings of 1, 1000 and 10000 times its length and replays
# each with --run. Memory that does not grow with the length is what a long
# recording from a bug report needs.
set -euo pipefail

BUILD_DIR="$(cd "${1:-$(dirname "$0")/../build}" && pwd)"
REPLAY="$BUILD_DIR/tools/replay/glidra-replay"
SOURCE="${RECORDING:-$(dirname "$0")/../../shared/fixtures/recordings/CyPS2_Cypress_Trackpad.two_finger_tap.events}"
[ -f "$SOURCE" ] || SOURCE=/work/shared/fixtures/recordings/CyPS2_Cypress_Trackpad.two_finger_tap.events
[ -x "$REPLAY" ] || { echo "no $REPLAY: build first" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# The header once, then the events `copies` times, shifted in time.
repeat() {
  awk -v copies="$1" '
    /^E:/ { events[n++] = $0; next }
    { print }
    END {
      split(events[0], first, " "); split(events[n - 1], last, " ")
      span = last[2] - first[2] + 1
      for (c = 0; c < copies; c++) {
        for (i = 0; i < n; i++) {
          split(events[i], f, " ")
          printf "E: %.6f %s %s %s\n", f[2] + c * span, f[3], f[4], f[5]
        }
      }
    }' "$SOURCE"
}

for copies in 1 1000 10000; do
  LC_ALL=C repeat "$copies" >"$WORK/long.events"
  events=$(grep -c '^E:' "$WORK/long.events")
  /usr/bin/time -f '%M %e' -o "$WORK/time" "$REPLAY" --run "$WORK/long.events" >"$WORK/out" 2>"$WORK/err" || {
    cat "$WORK/err" >&2
    exit 1
  }
  read -r peak seconds <"$WORK/time"
  echo "x$copies: $events events, $(wc -l <"$WORK/out") lines out, peak resident ${peak} kB, ${seconds} s"
done
