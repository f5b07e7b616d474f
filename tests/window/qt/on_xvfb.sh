#!/usr/bin/env bash
# Runs a window test on a virtual X server of its own, on Qt's X11 platform: on_xvfb.sh PROGRAM
# [ARGUMENTS...]. Focus and activation come from a real X server there, not from the offscreen
# platform's stand-in.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
start_xvfb 1280x1024x24
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
export QT_QPA_PLATFORM=xcb
"$@"
