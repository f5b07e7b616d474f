#!/usr/bin/env bash
# Start-up time and peak memory of Korvane against a minimal Qt Widgets program (one window,
# one button), both started the same way under one Xvfb in the same run.
#
#   bench/startup/run_startup.sh [korvane-binary] [runs]
#       korvane-binary  default build-pkg/window/qt/korvane
#       runs            default 7 (after one discarded warm-up run of each program)
#
# Prints the median time to the window's map and first paint, the median peak RSS, and each
# as a ratio of Korvane to the minimal program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=../../scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
korvane="${1:-$root/build-pkg/window/qt/korvane}"
runs="${2:-7}"
settle_ms=500

[ -x "$korvane" ] || { echo "run_startup: no program at $korvane" >&2; exit 1; }
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# The watcher and the minimal program, built with the compiler flags of a release build.
# shellcheck disable=SC2046 # pkg-config's flags are meant to be split into words
gcc -O2 -Wall -Wextra -o "$work/show_watch" "$here/show_watch.c" \
    $(pkg-config --cflags --libs x11 xdamage)
# shellcheck disable=SC2046
g++ -O2 -std=c++17 -fPIC -Wall -Wextra -o "$work/minimal" "$here/minimal/main.cpp" \
    $(pkg-config --cflags --libs Qt6Widgets)

start_xvfb 1280x1024x24
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One warm-up run of each, then the runs alternate so that drifts of the machine fall on both.
"$work/show_watch" MINIMAL "$settle_ms" "$work/minimal" >/dev/null
"$work/show_watch" KORVANE "$settle_ms" "$korvane" >/dev/null
for _ in $(seq "$runs"); do
    "$work/show_watch" MINIMAL "$settle_ms" "$work/minimal" >>"$work/minimal.txt"
    "$work/show_watch" KORVANE "$settle_ms" "$korvane" >>"$work/korvane.txt"
done

median() { # column file
    sort -g -k "$1" "$2" | awk -v c="$1" '{ v[NR] = $c } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo "runs: $runs per program, alternating; Qt $(pkg-config --modversion Qt6Widgets);" \
    "$(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
printf '%-22s %10s %10s %8s\n' "median" "minimal" "korvane" "ratio"
for field in "1:time to map (ms)" "2:time to paint (ms)" "3:peak RSS (KiB)"; do
    col="${field%%:*}"
    m="$(median "$col" "$work/minimal.txt")"
    k="$(median "$col" "$work/korvane.txt")"
    printf '%-22s %10s %10s %8s\n' "${field#*:}" "$m" "$k" "$(awk -v a="$k" -v b="$m" 'BEGIN { printf "%.2f", a / b }')"
done
echo "all runs (map_ms paint_ms rss_kib settled_ms cpu_ms):"
paste "$work/minimal.txt" "$work/korvane.txt" | sed 's/^/  minimal | korvane: /'
