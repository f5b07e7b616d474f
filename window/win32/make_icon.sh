#!/usr/bin/env bash
# Makes window/win32/korvane.ico, the program's icon on Windows, from the committed PNG icon:
# one image each at 256, 48, 32, 24 and 16 pixels. Needs ImageMagick. Run it again whenever
# data/icons/256x256/korvane.png changes, and commit the result.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
convert "$root/data/icons/256x256/korvane.png" -define icon:auto-resize=256,48,32,24,16 \
    "$root/window/win32/korvane.ico"
