#!/usr/bin/env bash
# Installs what is missing, then cross-builds Korvane for Windows x86-64 with mingw-w64
# (cmake/mingw-w64-x86_64.cmake) into build-windows/ (or the folder given as $1): the Win32
# window korvane.exe, its zip and installer, and the tests (model, checks, the Win32 window,
# the UTF conversions, the installer). Further arguments go to cmake. The programs need no MinGW
# DLL; scripts/test-windows.sh runs them under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-windows}"
shift || true

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "$@"
cmake --build "$build" --parallel "$(nproc)"
