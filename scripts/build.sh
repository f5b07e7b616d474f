#!/usr/bin/env bash
# Configures and builds Korvane into build/ (or the folder given); further arguments go to cmake.
#
#   scripts/build.sh [--configure-only] [build-dir] [cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
configure_only=0
if [ "${1:-}" = "--configure-only" ]; then
    configure_only=1
    shift
fi
build="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
if [ "$configure_only" -eq 0 ]; then
    cmake --build "$build" --parallel "$(nproc)"
fi
