#!/usr/bin/env bash
# Makes window/win32/korvane.ico, the program's icon on Windows, from the committed PNG icons of
# data/icons (tools/draw_pictures.py draws them): the 256- and 48-pixel icons as they are, the
# 256-pixel one reduced to 32 and 24 pixels, and at 16 pixels the drawing made for that size,
# taken as it is. Needs ImageMagick.
# Run it again whenever one of those icons changes, and commit the result.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
icons="$root/data/icons"
convert "$icons/256x256/korvane.png" "$icons/48x48/korvane.png" \
    \( -clone 0 -resize 32x32 \) \( -clone 0 -resize 24x24 \) \
    "$icons/16x16/korvane.png" "$root/window/win32/korvane.ico"
