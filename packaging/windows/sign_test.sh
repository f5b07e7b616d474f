#!/usr/bin/env bash
# Packs the Windows packages three times with package.sh and sign.sh, as scripts/build-release.sh
# does: signed with a throwaway self-signed certificate made here, then without a key from the
# signatures the first run kept, then unsigned; and checks:
#   - every signed file verifies (osslsigncode verify) as signed with that certificate, with a
#     SHA-256 digest, and names "Korvane" (the name Windows shows when it asks for consent):
#     korvane.exe as packed in the zip and in the MSI, the MSI's custom action DLL, the
#     installer and the MSI themselves, and korvane.exe and the uninstaller as the signed
#     installer installs them (under Wine, per user into a folder of the test's own);
#   - a signed installer or MSI with one byte changed does not verify;
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
product="$(sed -n 's/^!define PRODUCT_NAME "\(.*\)"$/\1/p' "$identity")"
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

# Verifies with the test certificate as the only authority, and that it is the signer, that
# every digest is SHA-256 and that the signature names the product.
verify() {
    if osslsigncode verify -CAfile "$tmp/cert.pem" -in "$1" >"$tmp/verify.log" 2>&1 &&
        grep -q "Subject: /CN=Korvane test signing" "$tmp/verify.log" &&
        grep -q "Message digest algorithm *: SHA256" "$tmp/verify.log" &&
        ! grep "Message digest algorithm *: " "$tmp/verify.log" | grep -qv ": SHA256" &&
        grep -qx "[[:space:]]*Text description: $product" "$tmp/verify.log"; then
        return 0
    fi
    cat "$tmp/verify.log"
    return 1
}
# does_not_verify FILE: osslsigncode refuses the file's signature.
does_not_verify() {
    ! osslsigncode verify -CAfile "$tmp/cert.pem" -in "$1"
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
msi="$tmp/signed/$name-x64.msi"
msiextract -C "$tmp/signed-msi" "$msi" >/dev/null
msiinfo extract "$msi" Binary.KorvaneActions >"$tmp/signed-msi/actions.dll"

check "korvane.exe in the zip verifies" verify "$program"
check "the zip holds korvane.exe as it was signed" cmp "$program" "$tmp/signed-files/korvane.exe"
check "the installer verifies" verify "$tmp/signed/$name-setup.exe"
check "the MSI verifies" verify "$msi"
check "korvane.exe in the MSI verifies" verify "$tmp/signed-msi/Korvane/korvane.exe"
check "the MSI's custom action DLL verifies" verify "$tmp/signed-msi/actions.dll"
for file in korvane.exe uninstall.exe korvane_msi_actions.dll "$name-setup.exe" "$name-x64.msi"; do
    check "the signing run kept the signature of $file" test -s "$tmp/signatures/$file.p7s"
done

# What the signed installer installs: the files Windows starts, the uninstaller among them.
installed="$tmp/installed"
folder="$(winepath -w "$installed")"
check "the signed installer installs, per user, into a folder of its own" \
    wine "$tmp/signed/$name-setup.exe" /S /CurrentUser "/D=$folder"
check "korvane.exe as installed verifies" verify "$installed/korvane.exe"
check "the uninstaller as installed verifies" verify "$installed/uninstall.exe"
if [ -f "$installed/uninstall.exe" ]; then
    check "the installed uninstaller removes it" \
        wine "$installed/uninstall.exe" /S "_?=$folder"
fi

for package in "$name-setup.exe" "$name-x64.msi"; do
    cp "$tmp/signed/$package" "$tmp/changed-$package"
    printf 'K' | dd of="$tmp/changed-$package" bs=1 seek=4096 conv=notrunc status=none
    check "$package with one byte changed does not verify" \
        does_not_verify "$tmp/changed-$package"
done

osslsigncode remove-signature -in "$program" -out "$tmp/unsigned.exe" >/dev/null
check "korvane.exe without its signature is the unsigned one" \
    cmp "$tmp/unsigned.exe" "$tmp/unsigned-zip/$name/korvane.exe"

for package in "$name-win64.zip" "$name-setup.exe" "$name-x64.msi"; do
    check "$package made from the kept signatures is the signed one" \
        cmp "$tmp/attached/$package" "$tmp/signed/$package"
    check "$package unsigned is the build's" cmp "$tmp/unsigned/$package" "$build/$package"
done

if [ "$failures" -ne 0 ]; then
    echo "sign test: $failures checks FAILED"
    exit 1
fi
echo "sign test passed"
