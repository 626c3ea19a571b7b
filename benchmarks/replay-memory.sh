#!/bin/sh
# Peak resident memory and CPU time of glidra-replay on long synthetic
# recordings.
#
#   benchmarks/replay-memory.sh [-m "10 60"] [GLIDRA_REPLAY...]
#
# Writes a two-finger recording of each length in minutes (125 Hz while the
# fingers are down: 1.8 s of scrolling up or down, then 0.2 s without a
# touch, over and over) and replays it with each binary given (by default
# build/tools/replay/glidra-replay), printing the file size, the peak RSS
# (/usr/bin/time -v), the wall time, the CPU time (user and system) per
# frame and a digest of the tool's output, so that two builds can be
# compared on the same recordings. Run by hand; not a test.
set -eu

minutes="10 60"
if [ "${1:-}" = "-m" ]; then
    minutes=$2
    shift 2
fi
[ $# -gt 0 ] || set -- build/tools/replay/glidra-replay
for binary in "$@"; do
    [ -x "$binary" ] || { echo "replay-memory: $binary is not an executable" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "replay-memory: needs /usr/bin/time (Debian's time package)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/replay-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# A recording of $1 minutes into $2.
synthesize() {
    LC_ALL=C awk -v minutes="$1" '
    BEGIN {
        print "# EVEMU 1.3"
        print "# a synthetic two-finger session"
        print "N: SynPS/2 Synaptics TouchPad"
        print "I: 0011 0002 0007 01b1"
        print "P: 05 00 00 00 00 00 00 00"
        print "B: 00 0b 00 00 00 00 00 00 00"
        print "B: 01 00 00 00 00 00 00 00 00"
        print "B: 01 00 00 00 00 00 00 00 00"
        print "B: 01 00 00 00 00 00 00 00 00"
        print "B: 01 00 00 00 00 00 00 00 00"
        print "B: 01 00 00 01 00 00 00 00 00"
        print "B: 01 20 e5 00 00 00 00 00 00"
        print "B: 03 03 00 00 11 00 80 60 06"
        print "A: 00 1472 5472 8 0"
        print "A: 01 1408 4448 8 0"
        print "A: 18 0 255 0 0"
        print "A: 1c 0 15 0 0"
        print "A: 2f 0 1 0 0"
        print "A: 35 1472 5472 8 0 42"
        print "A: 36 1408 4448 8 0 42"
        print "A: 39 0 65535 0 0"
        print "A: 3a 0 255 0 0"
        start = 1700000000 * 1000000          # microseconds
        end = start + minutes * 60 * 1000000
        id = 100
        for (touch = 0; ; ++touch) {
            t0 = start + touch * 2000000
            if (t0 >= end) break
            direction = touch % 2 ? -1 : 1
            for (frame = 0; frame < 225; ++frame) {    # 1.8 s at 8 ms
                t = t0 + frame * 8000
                stamp = sprintf("E: %d.%06d", int(t / 1000000), t % 1000000)
                y = 2900 - direction * 600 + direction * frame * 5
                printf "%s 0003 002f 0\n", stamp
                if (frame == 0) printf "%s 0003 0039 %d\n", stamp, id
                printf "%s 0003 0035 %d\n%s 0003 0036 %d\n%s 0003 003a %d\n", stamp, 2600, stamp, y, stamp, 60 + frame % 5
                printf "%s 0003 002f 1\n", stamp
                if (frame == 0) printf "%s 0003 0039 %d\n", stamp, id + 1
                printf "%s 0003 0035 %d\n%s 0003 0036 %d\n%s 0003 003a %d\n", stamp, 3400, stamp, y + 40, stamp, 58 + frame % 3
                if (frame == 0) printf "%s 0001 014a 1\n%s 0001 014d 1\n", stamp, stamp
                printf "%s 0003 0000 2600\n%s 0003 0001 %d\n%s 0003 0018 60\n", stamp, stamp, y, stamp
                printf "%s 0000 0000 0\n", stamp
            }
            t = t0 + 225 * 8000
            stamp = sprintf("E: %d.%06d", int(t / 1000000), t % 1000000)
            printf "%s 0003 002f 0\n%s 0003 0039 -1\n%s 0003 002f 1\n%s 0003 0039 -1\n", stamp, stamp, stamp, stamp
            printf "%s 0001 014a 0\n%s 0001 014d 0\n%s 0003 0018 0\n%s 0000 0000 0\n", stamp, stamp, stamp, stamp
            id += 2
        }
    }' > "$2"
}

printf '%-8s %10s  %-40s %10s %9s %13s  %s\n' minutes "file MB" binary "peak MB" "wall s" "CPU us/frame" \
    "output digest"
for m in $minutes; do
    recording="$work/two-finger-$m-min.events"
    synthesize "$m" "$recording"
    size=$(LC_ALL=C awk -v b="$(wc -c < "$recording")" 'BEGIN { printf "%.1f", b / 1048576 }')
    frames=$(grep -c ' 0000 0000 0$' "$recording")
    for binary in "$@"; do
        LC_ALL=C /usr/bin/time -v "$binary" "$recording" > "$work/out" 2> "$work/time" ||
            { cat "$work/time" >&2; exit 1; }
        peak=$(LC_ALL=C awk '/Maximum resident set size/ { printf "%.1f", $NF / 1024 }' "$work/time")
        wall=$(LC_ALL=C awk '/Elapsed \(wall clock\)/ { n = split($NF, p, ":"); s = 0;
                              for (i = 1; i <= n; ++i) s = s * 60 + p[i]; printf "%.1f", s }' "$work/time")
        cpu=$(LC_ALL=C awk -v frames="$frames" '/(User|System) time \(seconds\)/ { s += $NF }
                                                END { printf "%.2f", s * 1e6 / frames }' "$work/time")
        digest=$(sha256sum < "$work/out" | cut -c1-16)
        printf '%-8s %10s  %-40s %10s %9s %13s  %s (%d lines)\n' "$m" "$size" "$binary" "$peak" "$wall" "$cpu" \
            "$digest" "$(wc -l < "$work/out")"
    done
    rm -f "$recording"
done
