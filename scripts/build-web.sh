#!/usr/bin/env bash
# Installs what is missing, then builds Korvane for the browser with Debian's emscripten
# (cmake/emscripten.cmake) into build-web/ (or the folder given as $1): the single-file page
# window/web/korvane-VERSION.html, and the tests (model, checks, the wiring and the layout
# rules, the byte-identity table and its native twin) that ctest runs under node. Further
# arguments go to cmake. Nothing is written outside the build folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-web}"
shift || true

"$root/scripts/setup.sh"
emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten.cmake" "$@"
cmake --build "$build" --parallel "$(nproc)"
