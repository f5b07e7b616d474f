#!/usr/bin/env bash
# Builds the release artefacts of Korvane as they are published, so that anyone can build them
# again from the same commit and compare checksums (README, "Checking a release"):
#
#   scripts/build-release.sh linux   [build-dir]   (default build-release/)
#       window/qt/korvane (RelWithDebInfo) and korvane_<version>_amd64.deb (cpack, stripped)
#   scripts/build-release.sh windows [build-dir]   (default build-release-windows/)
#       korvane.exe (Release, mingw-w64), korvane-<version>-win64.zip, korvane-<version>-setup.exe,
#       korvane-<version>-x64.msi
#   scripts/build-release.sh web     [build-dir]   (default build-release-web/)
#       window/web/korvane-<version>.html (emscripten) and korvane-<version>-web.zip
#
# Beside them, both: the accessibility conformance report korvane-<version>-acr.{md,html,
# openacr.yaml}, rendered from the test results committed in docs/accessibility/results.json
# (tools/acr.py), so the same commit gives the same bytes.
#
# Builds only those targets, writes their checksums to <build-dir>/SHA256SUMS and the versions
# of the tools that made them to <build-dir>/BUILDINFO, and prints both. Every time stamp in
# the artefacts is SOURCE_DATE_EPOCH: taken from the environment when set, otherwise the date
# of the commit (git log -1 --format=%ct). Files are made with umask 022, as dpkg-buildpackage
# does. A build folder used before is configured again but not emptied.
#
# Signing (windows only; docs/releasing.md): with KORVANE_SIGN_CERT and KORVANE_SIGN_KEY (or
# KORVANE_SIGN_PKCS12) naming a code-signing certificate and its key, the shipped korvane.exe,
# the uninstaller inside the installer, the MSI's custom action DLL inside the MSI, the
# installer and the MSI are signed with Authenticode (packaging/windows/sign.sh), and their
# signatures kept in <build-dir>/signatures/*.p7s, which
# SHA256SUMS lists too. Without a key but with KORVANE_SIGNATURES naming a folder of such
# signatures, from a signed release, those are attached in the same places: the rebuild of a
# signed release, to be compared with its checksums. With neither, nothing is signed and the
# artefacts are byte for byte those of an unsigned build. (window/win32/korvane.exe, the program
# as linked, is never signed; the shipped program is the one in the zip and the installer.)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

platform="${1:-}"
case "$platform" in
linux) build="${2:-$root/build-release}" ;;
windows) build="${2:-$root/build-release-windows}" ;;
web) build="${2:-$root/build-release-web}" ;;
*)
    echo "usage: scripts/build-release.sh linux|windows|web [build-dir]" >&2
    exit 2
    ;;
esac

umask 022
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct)"
fi
export SOURCE_DATE_EPOCH

say() { echo "build-release: $*"; }
say "$platform artefacts in $build, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

# Artefacts, as paths or patterns inside the build folder, and the Debian packages whose
# versions decide their bytes.
if [ "$platform" = linux ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKORVANE_TESTS=OFF -DKORVANE_BENCHMARKS=OFF >/dev/null
    cmake --build "$build" --target korvane --parallel "$(nproc)"
    # cpack keeps its staging folder, and with it the modes of folders it made before.
    rm -rf "$build"/korvane_*.deb "$build/_CPack_Packages"
    (cd "$build" && cpack -G DEB >/dev/null)
    artefacts=(window/qt/korvane 'korvane_*.deb')
    tools=(g++ binutils libc6-dev qt6-base-dev qt6-base-dev-tools cmake dpkg-dev
        libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 libgcc-s1)
elif [ "$platform" = web ]; then
    emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten.cmake" -DKORVANE_TESTS=OFF >/dev/null
    cmake --build "$build" --target korvane_web korvane_web_package --parallel "$(nproc)"
    artefacts=('window/web/korvane-*.html' 'korvane-*-web.zip')
    tools=(emscripten binaryen nodejs cmake zip)
else
    unset KORVANE_SIGN
    # The signing files as absolute paths: the build signs from a folder of its own.
    for variable in KORVANE_SIGN_CERT KORVANE_SIGN_KEY KORVANE_SIGN_PKCS12 \
        KORVANE_SIGN_PASSWORD_FILE KORVANE_SIGNATURES; do
        if [ -n "${!variable:-}" ]; then
            export "$variable=$(realpath "${!variable}")"
        fi
    done
    signatures="$build/signatures"
    if [ -n "${KORVANE_SIGN_CERT:-}${KORVANE_SIGN_PKCS12:-}" ]; then
        say "signing with ${KORVANE_SIGN_CERT:-$KORVANE_SIGN_PKCS12}"
        rm -rf "$signatures"
        export KORVANE_SIGN="$root/packaging/windows/sign.sh" KORVANE_SIGNATURES="$signatures"
    elif [ -n "${KORVANE_SIGNATURES:-}" ]; then
        say "attaching the signatures of $KORVANE_SIGNATURES"
        if [ "$KORVANE_SIGNATURES" != "$(realpath -m "$signatures")" ]; then
            rm -rf "$signatures"
            mkdir -p "$signatures"
            cp "$KORVANE_SIGNATURES"/*.p7s "$signatures/"
        fi
        export KORVANE_SIGN="$root/packaging/windows/sign.sh" KORVANE_SIGNATURES="$signatures"
    else
        rm -rf "$signatures"
    fi
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DKORVANE_TESTS=OFF >/dev/null
    # The packages are made by a target of their own once there is a Windows program.
    targets=()
    known="$(ninja -C "$build" -t targets all)"
    for target in korvane korvane_windows_packages; do
        if grep -q "^$target: " <<<"$known"; then
            targets+=("$target")
        fi
    done
    if [ "${#targets[@]}" -gt 0 ]; then
        cmake --build "$build" --target "${targets[@]}" --parallel "$(nproc)"
    fi
    artefacts=(window/win32/korvane.exe 'korvane-*-win64.zip' 'korvane-*-setup.exe'
        'korvane-*-x64.msi')
    tools=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev cmake nsis zip
        wixl msitools libmsi0 libgcab-1.0-0 faketime)
    if [ -n "${KORVANE_SIGN:-}" ]; then
        artefacts+=('signatures/*.p7s')
        tools+=(osslsigncode)
    fi
fi

/usr/bin/python3 "$root/tools/acr.py" render --results "$root/docs/accessibility/results.json" \
    --out "$build" --name 'korvane-{version}-acr'
artefacts+=('korvane-*-acr.*')
tools+=(python3)

sums="$build/SHA256SUMS"
: >"$sums"
for pattern in "${artefacts[@]}"; do
    files="$(cd "$build" && { compgen -G "$pattern" || true; } | LC_ALL=C sort)"
    for file in $files; do
        (cd "$build" && sha256sum "$file") >>"$sums"
    done
    if [ -z "$files" ]; then
        say "no $pattern: not built on this platform yet"
    fi
done
{
    echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
    dpkg-query -W -f='${Package} ${Version} ${Architecture}\n' "${tools[@]}" 2>/dev/null || true
} >"$build/BUILDINFO"
cat "$build/SHA256SUMS"
