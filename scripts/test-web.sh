#!/usr/bin/env bash
# Builds the web page and its tests (scripts/build-web.sh, build-web/) and runs them with ctest:
# the model, checks and wiring suites under node, the byte-identity table against its native
# twin, and the page in Debian's Chromium, headless, driven by puppeteer-core. puppeteer-core
# comes from npm with the lock file of tests/window/web (npm ci, into build-web/npm/; it
# downloads no browser). Everything the tools write (npm's cache and logs, Chromium's profile
# and home) stays inside build-web/. Fails when any test fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-web"

"$root/scripts/build-web.sh" "$build" -DKORVANE_WERROR=ON

# The browser tests' node modules, installed again only when the lock file has changed.
npm_dir="$build/npm"
lock="$root/tests/window/web/package-lock.json"
if ! cmp -s "$lock" "$npm_dir/package-lock.json" || [ ! -d "$npm_dir/node_modules" ]; then
    mkdir -p "$npm_dir"
    cp "$root/tests/window/web/package.json" "$lock" "$npm_dir/"
    (cd "$npm_dir" && npm_config_cache="$npm_dir/cache" npm_config_logs_dir="$npm_dir/logs" \
        npm_config_update_notifier=false npm ci --no-audit --no-fund)
fi

# junit.xml: the results that the accessibility report is made from (tools/acr.py), whose web
# test names are checked against the tests that ran.
ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 300 --output-junit junit.xml
/usr/bin/python3 "$root/tools/acr.py" check --platform web --junit "web=$build/junit.xml"
