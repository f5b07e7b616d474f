#!/usr/bin/env bash
# Packs the Windows packages three times with package.sh and sign.sh, as scripts/build-release.sh
# does: signed with a throwaway self-signed certificate made here, then without a key from the
# signatures the first run kept, then unsigned; and checks:
#   - korvane.exe as packed in the zip, the uninstaller as NSIS packed it into the installer,
#     and the installer verify (osslsigncode verify) as signed with that certificate;
#   - a signed file with one byte changed does not verify;
#   - korvane.exe with its signature removed is the unsigned zip's, byte for byte;
#   - the packages made from the kept signatures are the signed ones, byte for byte: a signed
#     release is checked so, without its key;
#   - the unsigned packages are the build's own, byte for byte: without a key nothing changes.
#
#   sign_test.sh EXE ACTIONS VERSION IDENTITY SOURCE_DATE_EPOCH BUILD_DIR [ICON]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "$#" -lt 6 ]; then
    echo "usage: sign_test.sh EXE ACTIONS VERSION IDENTITY SOURCE_DATE_EPOCH BUILD_DIR [ICON]" >&2
    exit 2
fi
exe="$1"
actions="$2"
version="$3"
identity="$4"
export SOURCE_DATE_EPOCH="$5"
build="$6"
icon=("${@:7}")
name="korvane-$version"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0

# check WHAT COMMAND...: runs the command, and reports WHAT as passed or failed.
check() {
    local what="$1"
    shift
    if "$@" >"$tmp/check.log" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        tail -n 20 "$tmp/check.log" | sed 's/^/    /'
        failures=$((failures + 1))
    fi
}

# pack OUTDIR [VARIABLE=VALUE...]: package.sh into OUTDIR, with only the signing settings given.
pack() {
    local out="$1"
    shift
    if ! env -u KORVANE_SIGN -u KORVANE_SIGN_CERT -u KORVANE_SIGN_KEY -u KORVANE_SIGN_PKCS12 \
        -u KORVANE_SIGN_PASSWORD_FILE -u KORVANE_SIGN_TIMESTAMP_URL -u KORVANE_SIGNATURES "$@" \
        bash "$here/package.sh" "$exe" "$actions" "$version" "$out" "$identity" "${icon[@]}" \
        >"$out.log" 2>&1; then
        cat "$out.log"
        exit 1
    fi
}

# Verifies with the test certificate as the only authority, and that it is the signer.
verify() {
    if osslsigncode verify -CAfile "$tmp/cert.pem" -in "$1" >"$tmp/verify.log" 2>&1 &&
        grep -q "Subject: /CN=Korvane test signing" "$tmp/verify.log"; then
        return 0
    fi
    cat "$tmp/verify.log"
    return 1
}

openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Korvane test signing" -days 1 \
    -addext extendedKeyUsage=codeSigning -keyout "$tmp/key.pem" -out "$tmp/cert.pem" \
    >/dev/null 2>&1

# The signing command keeps a copy of each file it signed.
mkdir "$tmp/signed-files"
cat >"$tmp/sign" <<EOF
#!/bin/sh
"$here/sign.sh" "\$@" && cp "\$1" "$tmp/signed-files/\$2"
EOF
chmod +x "$tmp/sign"

pack "$tmp/signed" KORVANE_SIGN="$tmp/sign" KORVANE_SIGN_CERT="$tmp/cert.pem" \
    KORVANE_SIGN_KEY="$tmp/key.pem" KORVANE_SIGNATURES="$tmp/signatures"
pack "$tmp/attached" KORVANE_SIGN="$here/sign.sh" KORVANE_SIGNATURES="$tmp/signatures"
pack "$tmp/unsigned"
unzip -q "$tmp/signed/$name-win64.zip" -d "$tmp/signed-zip"
unzip -q "$tmp/unsigned/$name-win64.zip" -d "$tmp/unsigned-zip"
program="$tmp/signed-zip/$name/korvane.exe"

check "korvane.exe in the zip verifies" verify "$program"
check "the zip holds korvane.exe as it was signed" cmp "$program" "$tmp/signed-files/korvane.exe"
check "the uninstaller verifies as packed into the installer" \
    verify "$tmp/signed-files/uninstall.exe"
check "the installer verifies" verify "$tmp/signed/$name-setup.exe"
check "the signing run kept the three signatures" test -s "$tmp/signatures/korvane.exe.p7s" \
    -a -s "$tmp/signatures/uninstall.exe.p7s" -a -s "$tmp/signatures/$name-setup.exe.p7s"

cp "$tmp/signed/$name-setup.exe" "$tmp/changed.exe"
printf 'K' | dd of="$tmp/changed.exe" bs=1 seek=4096 conv=notrunc status=none
check "the installer with one byte changed does not verify" \
    bash -c "! osslsigncode verify -CAfile \"\$0\" -in \"\$1\"" "$tmp/cert.pem" "$tmp/changed.exe"

osslsigncode remove-signature -in "$program" -out "$tmp/unsigned.exe" >/dev/null
check "korvane.exe without its signature is the unsigned one" \
    cmp "$tmp/unsigned.exe" "$tmp/unsigned-zip/$name/korvane.exe"

for package in "$name-win64.zip" "$name-setup.exe"; do
    check "$package made from the kept signatures is the signed one" \
        cmp "$tmp/attached/$package" "$tmp/signed/$package"
    check "$package unsigned is the build's" cmp "$tmp/unsigned/$package" "$build/$package"
done

if [ "$failures" -ne 0 ]; then
    echo "sign test: $failures checks FAILED"
    exit 1
fi
echo "sign test passed"
