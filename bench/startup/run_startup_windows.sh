#!/usr/bin/env bash
# Start-up time of korvane.exe under Wine against a minimal Win32 program (one window, one
# button: minimal-win32/), both started the same way under one Xvfb in the same run, and the
# size of korvane.exe.
#
#   bench/startup/run_startup_windows.sh [korvane.exe] [runs] [minimal.exe]
#       korvane.exe  default build-windows/window/win32/korvane.exe
#       runs         default 7 (after one discarded warm-up run of each program)
#       minimal.exe  default build-windows/bench/startup/minimal-win32/minimal.exe
#
# Prints the median and the minimum of each time over the runs: the time to the window's map,
# to its first paint and to its drawing settled (the window complete; see show_watch.c) and the
# processor time the program used until then, the median peak RSS, each as a ratio and a difference of korvane.exe to the minimal program, and
# the size of korvane.exe. Both programs come from scripts/build-windows.sh.
#
# The programs run in a Wine prefix of their own (build-windows/wineprefix-startup, made once)
# without a virtual desktop and with unmanaged windows, so that every top-level window is an X
# window of its own on the root, which show_watch.c watches exactly as it watches the Qt
# window. The Wine server is kept running for the whole run, so that no run pays for starting
# it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
# shellcheck source=scripts/wine.sh
source "$root/scripts/wine.sh"
build="$root/build-windows"
korvane="${1:-$build/window/win32/korvane.exe}"
runs="${2:-7}"
minimal="${3:-$build/bench/startup/minimal-win32/minimal.exe}"
settle_ms=500

for exe in "$korvane" "$minimal"; do
    [ -f "$exe" ] || {
        echo "run_startup_windows: no program at $exe (scripts/build-windows.sh builds it)" >&2
        exit 1
    }
done
work="$(mktemp -d)"
xvfb_pid=""
export WINEPREFIX="$build/wineprefix-startup"
export WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck disable=SC2046 # pkg-config's flags are meant to be split into words
gcc -O2 -Wall -Wextra -o "$work/show_watch" "$here/show_watch.c" \
    $(pkg-config --cflags --libs x11 xdamage)

start_xvfb 1280x1024x24

make_wine_prefix windows
wineserver -p
# Starts the prefix's services (explorer, device drivers) before the first measured run.
wine cmd /c exit

# One warm-up run of each, then the runs alternate so that drifts of the machine fall on both.
"$work/show_watch" MINIMAL "$settle_ms" wine "$minimal" >/dev/null
"$work/show_watch" KORVANE "$settle_ms" wine "$korvane" >/dev/null
for _ in $(seq "$runs"); do
    "$work/show_watch" MINIMAL "$settle_ms" wine "$minimal" >>"$work/minimal.txt"
    "$work/show_watch" KORVANE "$settle_ms" wine "$korvane" >>"$work/korvane.txt"
done

median() { # column file
    sort -g -k "$1" "$2" | awk -v c="$1" '{ v[NR] = $c } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
minimum() { # column file
    sort -g -k "$1" "$2" | awk -v c="$1" 'NR == 1 { print $c }'
}
row() { # statistic label column
    local m k
    m="$("$1" "$3" "$work/minimal.txt")"
    k="$("$1" "$3" "$work/korvane.txt")"
    printf '%-8s %-24s %10s %10s %7s %11s\n' "$1" "$2" "$m" "$k" \
        "$(awk -v a="$k" -v b="$m" 'BEGIN { printf "%.2f", a / b }')" \
        "$(awk -v a="$k" -v b="$m" 'BEGIN { printf "%+.1f", a - b }')"
}
echo "runs: $runs per program, alternating; $(wine --version);" \
    "$(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
printf '%-33s %10s %10s %7s %11s\n' "" "minimal" "korvane" "ratio" "difference"
for statistic in median minimum; do
    row "$statistic" "time to map (ms)" 1
    row "$statistic" "time to first paint (ms)" 2
    row "$statistic" "time to settled (ms)" 4
    row "$statistic" "CPU time to settled (ms)" 5
done
row median "peak RSS (KiB)" 3
x86_64-w64-mingw32-strip -o "$work/korvane-stripped.exe" "$korvane"
echo "korvane.exe: $(stat -c %s "$korvane") bytes as built," \
    "$(stat -c %s "$work/korvane-stripped.exe") bytes stripped (as in the packages)"
echo "all runs (map_ms paint_ms rss_kib settled_ms cpu_ms):"
paste "$work/minimal.txt" "$work/korvane.txt" | sed 's/^/  minimal | korvane: /'
