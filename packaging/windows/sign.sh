#!/usr/bin/env bash
# Signs one Windows program or Windows Installer package in place with Authenticode (SHA-256,
# Debian's osslsigncode), for package.sh, which calls it for korvane.exe, the uninstaller, the
# MSI's custom action DLL, the installer and the MSI:
#
#   sign.sh FILE NAME DESCRIPTION
#
# NAME is the file's name in the release (korvane.exe, uninstall.exe, korvane_msi_actions.dll,
# korvane-1.0.0-setup.exe, korvane-1.0.0-x64.msi);
# DESCRIPTION is what Windows shows as the program's name when it asks for consent. Either
#   - KORVANE_SIGN_CERT and KORVANE_SIGN_KEY name the certificate (PEM or DER, with the chain
#     up to its authority) and its private key, or KORVANE_SIGN_PKCS12 a PKCS#12 file holding
#     both; KORVANE_SIGN_PASSWORD_FILE, when set, holds the key's password; and
#     KORVANE_SIGN_TIMESTAMP_URL, when set, an RFC 3161 time-stamping service. FILE is signed
#     and its signature kept in the folder KORVANE_SIGNATURES as NAME.p7s (DER);
#   - or no key is given, and the signature KORVANE_SIGNATURES/NAME.p7s, made by an earlier
#     signing run, is attached to FILE as it is: that rebuilds a signed release without its key.
# The signing time is SOURCE_DATE_EPOCH, so signing the same bytes with the same RSA key gives
# the same signature.
set -euo pipefail
if [ "$#" -ne 3 ]; then
    echo "usage: sign.sh FILE NAME DESCRIPTION" >&2
    exit 2
fi
file="$1"
name="$2"
description="$3"
signatures="${KORVANE_SIGNATURES:?KORVANE_SIGNATURES must name the folder of the signatures}"
signature="$signatures/$name.p7s"
signed="$file.signed"
rm -f "$signed"

if [ -n "${KORVANE_SIGN_PKCS12:-}${KORVANE_SIGN_CERT:-}" ]; then
    if [ -n "${KORVANE_SIGN_PKCS12:-}" ]; then
        key=(-pkcs12 "$KORVANE_SIGN_PKCS12")
    else
        key=(-certs "$KORVANE_SIGN_CERT" -key "${KORVANE_SIGN_KEY:?KORVANE_SIGN_KEY must name the key of KORVANE_SIGN_CERT}")
    fi
    if [ -n "${KORVANE_SIGN_PASSWORD_FILE:-}" ]; then
        key+=(-readpass "$KORVANE_SIGN_PASSWORD_FILE")
    fi
    if [ -n "${KORVANE_SIGN_TIMESTAMP_URL:-}" ]; then
        key+=(-ts "$KORVANE_SIGN_TIMESTAMP_URL")
    fi
    osslsigncode sign "${key[@]}" -h sha256 -n "$description" \
        -time "${SOURCE_DATE_EPOCH:?}" -in "$file" -out "$signed" >/dev/null
    mkdir -p "$signatures"
    rm -f "$signature"
    osslsigncode extract-signature -in "$signed" -out "$signature" >/dev/null
else
    if [ ! -f "$signature" ]; then
        echo "sign.sh: no key given and no signature $signature to attach" >&2
        exit 1
    fi
    # osslsigncode checks the attached signature against the machine's certificate authorities
    # and fails where they do not know the signer, having written the file all the same; whether
    # the signature is the one of these bytes is what comparing the result with the release tells.
    osslsigncode attach-signature -sigin "$signature" -in "$file" -out "$signed" >/dev/null 2>&1 ||
        true
    if [ ! -s "$signed" ]; then
        echo "sign.sh: $signature could not be attached to $file" >&2
        exit 1
    fi
fi
mv "$signed" "$file"
echo "sign.sh: $name signed"
