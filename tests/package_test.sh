#!/usr/bin/env bash
# The downloads, made as ./orv package makes them, around this build's
# orvane.exe, then checked: the zip's contents, and the installer driven under
# Wine by the end-to-end tests of InstallerE2eTest.cpp (install silently, start
# the installed program, uninstall).
# usage: package_test.sh ORVANE_EXE E2E_TESTS_EXE WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
exe=$1 e2e=$2 work=$3

version=$(head -n1 "$root/VERSION")
rm -rf "$work"
mkdir -p "$work"
"$root/package/make_package.sh" "$exe" "$work/dist" >/dev/null

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

# The zip: one folder with the program, its help and the text for Windows users.
expected=$(printf '%s\n' Orvane/ Orvane/ReadMe.txt Orvane/help/ Orvane/orvane.exe \
    $(cd "$(dirname "$exe")" && find help -type f | sed 's|^|Orvane/|') | sort)
listed=$(cmake -E tar tf "$zip" | sort)
if [ "$listed" != "$expected" ]; then
    fail "the zip holds:"$'\n'"$listed"
fi
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
cmp -s "$exe" "$work/unzipped/Orvane/orvane.exe" || fail "the zip's orvane.exe is not the build's"
cmp -s "$(dirname "$exe")/help/index.htm" "$work/unzipped/Orvane/help/index.htm" ||
    fail "the zip's help page is not the build's"
grep -q "^Orvane $version"$'\r'"$" "$work/unzipped/Orvane/ReadMe.txt" ||
    fail "ReadMe.txt does not open with 'Orvane $version' in Windows line ends"

# The installer carries the version too (the installed program's is checked under Wine).
setup_version=$(i686-w64-mingw32-strings -el "$setup" | grep -A1 -x ProductVersion | tail -n1)
[ "$setup_version" = "$version.0" ] ||
    fail "the installer's version resource names '$setup_version', not $version.0"

ORV_INSTALLER=$setup ORV_VERSION=$version \
    "$here/wine-run.sh" "$e2e" "$exe" --gtest_filter='InstallerTest.*' || status=1
exit $status
