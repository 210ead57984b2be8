#!/usr/bin/env bash
# The downloads, made as ./orv package makes them, around the 32-bit and 64-bit
# orvane.exe, then checked: the zip's contents, and the installer driven under
# Wine by the end-to-end tests of InstallerE2eTest.cpp (install silently, start
# the installed program, uninstall); 64-bit where the driver is, as no 32-bit
# code may run there.
# usage: package_test.sh EXE32 EXE64 E2E_TESTS_EXE WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
exe32=$1 exe64=$2 exe=$2 e2e=$3 work=$4 options=(--installer-arch amd64)
if [ "$(od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$e2e") + 4)) -N2 "$e2e" | tr -d ' ')" = 014c ]; then
    exe=$exe32 options=()
fi

version=$(head -n1 "$root/VERSION")
rm -rf "$work"
mkdir -p "$work"
"$root/package/make_package.sh" "${options[@]}" "$exe32" "$exe64" "$work/dist" >/dev/null

status=0
fail() {
    echo "FAILED: $*"
    status=1
}

zip=$work/dist/orvane-$version.zip
setup=$work/dist/orvane-$version-setup.exe
[ -f "$zip" ] || fail "no $zip"
[ -f "$setup" ] || fail "no $setup"
[ $status -eq 0 ] || exit 1

# The zip: a folder per program, with its help and the text for Windows users.
expected=$(for f in Orvane-32-bit Orvane-64-bit; do printf '%s\n' "$f/" "$f/ReadMe.txt" "$f/help/" \
    "$f/orvane.exe" $(cd "$(dirname "$exe")" && find help -type f | sed "s|^|$f/|"); done | sort)
listed=$(cmake -E tar tf "$zip" | sort)
if [ "$listed" != "$expected" ]; then
    fail "the zip holds:"$'\n'"$listed"
fi
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
for bits in 32 64; do
    built=exe$bits folder=$work/unzipped/Orvane-$bits-bit
    cmp -s "${!built}" "$folder/orvane.exe" || fail "the zip's $bits-bit orvane.exe is not the build's"
    cmp -s "$(dirname "$exe")/help/index.htm" "$folder/help/index.htm" || fail "the zip's help differs"
    grep -q "^Orvane $version"$'\r'"$" "$folder/ReadMe.txt" ||
        fail "ReadMe.txt does not open with 'Orvane $version' in Windows line ends"
done

# The installer carries the version too (the installed program's is checked under Wine).
setup_version=$(i686-w64-mingw32-strings -el "$setup" | grep -A1 -x ProductVersion | tail -n1)
[ "$setup_version" = "$version.0" ] ||
    fail "the installer's version resource names '$setup_version', not $version.0"
# Run as the user, it starts Orvane as the user.
grep -qa 'requestedExecutionLevel level="asInvoker"' "$setup" || fail "the installer asks for more"

ORV_INSTALLER=$setup ORV_VERSION=$version \
    "$here/wine-run.sh" "$e2e" "$exe" --gtest_filter='InstallerTest.*' || status=1
exit $status
