#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing, and generates the
# comma-decimal locale the conversion tests run under. Safe to run again and again.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

mapfile -t wanted < <(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$')
missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

install() {
    echo "setup: installing $*"
    if [ -z "${apt_updated:-}" ]; then
        $SUDO apt-get update -qq
        apt_updated=1
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@"
}

if [ "${#missing[@]}" -gt 0 ]; then
    install "${missing[@]}"
fi

# clang's runtime libraries carry clang's major version in their package name.
clang_major="$(clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n1)"
if [ -n "$clang_major" ]; then
    rt="libclang-rt-$clang_major-dev"
    if ! dpkg-query -W -f='${Status}' "$rt" 2>/dev/null | grep -q 'install ok installed'; then
        # Debian 12 and later name it so; older releases ship it inside the clang packages.
        [ -n "${apt_updated:-}" ] || { $SUDO apt-get update -qq; apt_updated=1; }
        if apt-cache show "$rt" >/dev/null 2>&1; then
            install "$rt"
        fi
    fi
fi

# The conversion tests also run under a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating de_DE.UTF-8"
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
