#!/usr/bin/env bash
# Time from navigation to ready of Korvane's single-file page against a bare page with one text
# box (minimal-web/minimal.html), both opened from disk in one headless Chromium, and the size
# of each file (bench/startup/README.md).
#
#   bench/startup/run_startup_web.sh [page] [runs]
#       page  default build-web/window/web/korvane-VERSION.html (scripts/test-web.sh builds it
#             and installs puppeteer-core into build-web/npm/)
#       runs  default 11 per page (after one discarded warm-up run of each)
#
# Chromium's profile and home lie in build-web/bench-startup/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build-web"
page="${1:-}"
runs="${2:-11}"
if [ -z "$page" ]; then
    page="$(find "$build/window/web" -maxdepth 1 -name 'korvane-*.html' | sort | tail -n 1)"
fi
[ -f "$page" ] || { echo "run_startup_web: no page at '$page' (scripts/test-web.sh builds it)" >&2; exit 1; }
[ -d "$build/npm/node_modules" ] || { echo "run_startup_web: no $build/npm/node_modules (scripts/test-web.sh installs it)" >&2; exit 1; }

NODE_PATH="$build/npm/node_modules" node "$here/web_startup.js" "$page" \
    "$here/minimal-web/minimal.html" "$runs" "$build/bench-startup"
