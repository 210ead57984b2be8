#!/usr/bin/env bash
# sign_helper.sh IN.exe OUT_DIR: two self-signed code-signing certificates
# made afresh, whose keys are thrown away: OUT_DIR/SignedHelper.exe signed
# with one, which the tests trust (OUT_DIR/SignTest.cer), and
# OUT_DIR/UntrustedHelper.exe with the other, which nothing trusts.
set -euo pipefail
in=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# sign CN OUT.exe: a certificate for CN, and IN.exe signed with it.
sign() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=$1" \
        -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature,keyCertSign" \
        -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Orvane test helper" \
        -in "$in" -out "$work/$2" >/dev/null
}
sign "Orvane Untrusted Publisher" UntrustedHelper.exe
sign "Orvane Test Publisher" SignedHelper.exe
openssl x509 -in "$work/cert.pem" -outform der -out "$work/SignTest.cer"
mv "$work/SignedHelper.exe" "$work/UntrustedHelper.exe" "$work/SignTest.cer" "$out/"
