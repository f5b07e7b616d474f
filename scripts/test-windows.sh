#!/usr/bin/env bash
# Cross-builds the tests for Windows x86-64 (scripts/build-windows.sh) and runs them with ctest
# under Wine, in a Wine prefix of their own inside build-windows/ that is made once and reused.
# Fails when any test fails. Works headless: without a display it runs Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-windows"

"$root/scripts/build-windows.sh" "$build" -DKORVANE_WERROR=ON

# shellcheck source=scripts/wine.sh
source "$root/scripts/wine.sh"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# A Windows program opening a window needs a display; Wine's console programs do not.
xvfb_pid=""
stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
trap stop EXIT
if [ -z "${DISPLAY:-}" ]; then
    # shellcheck source=scripts/xvfb.sh
    source "$root/scripts/xvfb.sh"
    start_xvfb 1280x1024x24
fi

make_wine_prefix desktop

# One Wine server, with Wine's own services, for the whole run, started apart from ctest: the
# first test would start them otherwise, and they would hold that test's output open (about
# 2.5 s per test, and per listing of a program's tests, while ctest waits for it to close).
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

# junit.xml: the results that the accessibility report is made from (tools/acr.py).
ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 300 --output-junit junit.xml
# Every Windows test that the accessibility report names is one that ran.
/usr/bin/python3 "$root/tools/acr.py" check --platform windows --junit "windows=$build/junit.xml"
