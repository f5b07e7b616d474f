#!/usr/bin/env bash
# Installs what is missing, builds Korvane with its tests and runs every test:
#   0. the gates (scripts/gates.sh): clang-format and ShellCheck first, clang-tidy once build/
#      is configured; they take seconds and fail before anything is built;
#   1. the whole suite (model, checks, the event wiring, the window on the offscreen platform,
#      its AT-SPI tree on Xvfb) in build/;
#   2. the Windows tests (model, checks, the Win32 window, the UTF conversions, the installer)
#      cross-built for Windows x86-64 and run under Wine (scripts/test-windows.sh,
#      build-windows/);
#   3. the web page and the model, checks and wiring suites built as WebAssembly with
#      emscripten, the suites and the byte-identity table run under node, the page in headless
#      Chromium (scripts/test-web.sh, build-web/);
#   4. the same suite as in 1 built with AddressSanitizer and UndefinedBehaviorSanitizer
#      (build-asan/);
#   5. every libFuzzer target for a fixed time (build-fuzz/);
#   6. the release artefacts built twice in two folders and compared byte for byte
#      (scripts/check-reproducible.sh);
#   7. the accessibility conformance report of the results of 1, 2 and 3, in build/accessibility/
#      (tools/acr.py).
# Options: --quick runs the gates and stage 1 only; --package also builds, installs and starts
# the Debian package (scripts/check_package.sh; it installs into this machine, so CI asks for
# it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

quick=0
package=0
for arg in "$@"; do
    case "$arg" in
    --quick) quick=1 ;;
    --package) package=1 ;;
    *)
        echo "usage: scripts/test.sh [--quick] [--package]" >&2
        exit 2
        ;;
    esac
done

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT

"$root/scripts/setup.sh"
"$root/scripts/gates.sh" format shellcheck
# Every warning of the build is an error here, as in CI.
"$root/scripts/build.sh" --configure-only "$root/build" -DKORVANE_WERROR=ON >/dev/null
"$root/scripts/gates.sh" --build "$root/build" tidy
"$root/scripts/build.sh" "$root/build" -DKORVANE_WERROR=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir "$root/build" --output-on-failure --timeout 300 \
    --output-junit junit.xml \
    2>&1 | tee "$logs/tests.log"

# stage NAME COMMAND...: runs one stage, its output kept in $logs/NAME.log, and says how long
# it took.
stage() {
    local name="$1" started=$SECONDS
    shift
    "$@" 2>&1 | tee "$logs/$name.log"
    echo "test: stage $name took $((SECONDS - started)) s"
}

if [ "$quick" -eq 0 ]; then
    stage windows "$root/scripts/test-windows.sh"
    stage web "$root/scripts/test-web.sh"
    stage sanitize "$root/scripts/sanitize.sh"
    stage fuzz "$root/scripts/fuzz.sh"
    stage reproducible "$root/scripts/check-reproducible.sh"
fi
if [ "$package" -eq 1 ]; then
    "$root/scripts/check_package.sh" "$root/build"
fi

# The accessibility conformance report of this run, from the results of the three suites
# (docs/accessibility/README.md).
if [ "$quick" -eq 0 ]; then
    /usr/bin/python3 "$root/tools/acr.py" report --junit "linux=$root/build/junit.xml" \
        --junit "windows=$root/build-windows/junit.xml" --junit "web=$root/build-web/junit.xml" \
        --out "$root/build/accessibility"
    echo "test: accessibility conformance report in build/accessibility/report.html"
fi

# One closing line over all stages: the tests of the four suites, the fuzz targets and the
# reproducibility check.
passed=0
for log in "$logs/tests.log" "$logs/windows.log" "$logs/web.log" "$logs/sanitize.log"; do
    [ -f "$log" ] || continue
    n="$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9][0-9]*\).*/\1/p' "$log" | tail -n1)"
    passed=$((passed + ${n:-0}))
done
if [ -f "$logs/fuzz.log" ]; then
    passed=$((passed + $(grep -c '^fuzz: .*exit status 0$' "$logs/fuzz.log" || true)))
fi
if [ -f "$logs/reproducible.log" ]; then
    passed=$((passed + $(grep -c '^check-reproducible: PASS' "$logs/reproducible.log" || true)))
fi
echo "test: $passed passed, 0 failed"
