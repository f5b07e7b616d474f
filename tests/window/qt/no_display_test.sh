#!/usr/bin/env bash
# Runs korvane where no display can be opened and checks that it fails cleanly: status 1 and
# exactly one line on standard error naming the problem, nothing on standard output.
set -u
exe="$1"
fail=0
check() {
    local label="$1"
    shift
    local out err status
    out="$(mktemp)"
    err="$(mktemp)"
    env "$@" "$exe" >"$out" 2>"$err"
    status=$?
    if [ "$status" -ne 1 ]; then
        echo "$label: exit status $status, expected 1"
        fail=1
    fi
    if [ "$(wc -l <"$err")" -ne 1 ] || ! grep -q '^korvane: cannot open a display: ' "$err"; then
        echo "$label: standard error is not one 'cannot open a display' line:"
        cat "$err"
        fail=1
    fi
    if [ -s "$out" ]; then
        echo "$label: unexpected standard output"
        fail=1
    fi
    rm -f "$out" "$err"
}
check "no display variables" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
check "X display that does not exist" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:239
check "platform plugin that does not exist" QT_QPA_PLATFORM=nonexistent
exit "$fail"
