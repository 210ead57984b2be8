#!/usr/bin/env bash
# Makes Orvane's two downloads around a built orvane.exe:
#   OUTDIR/orvane-VERSION.zip        the folder Orvane: orvane.exe, help\, ReadMe.txt
#   OUTDIR/orvane-VERSION-setup.exe  an installer of the same files (NSIS)
# usage: make_package.sh ORVANE_EXE OUTDIR
# The help folder is the one beside the exe, as the program opens it. The
# version is the one in VERSION; the installer is for the exe's processor
# (x86, or amd64 for the 64-bit test build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
exe=$(realpath "$1")
out=$(realpath -m "$2")

version=$(head -n1 "$root/VERSION")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
    echo "VERSION holds '$version', not MAJOR.MINOR.PATCH" >&2
    exit 1
}
[ -f "$(dirname "$exe")/help/index.htm" ] || {
    echo "no help folder beside $exe" >&2
    exit 1
}
command -v makensis >/dev/null || {
    echo "makensis is missing (Debian package nsis; ./orv package installs it)" >&2
    exit 1
}

# The PE header's machine field: 0x14c for x86, 0x8664 for x86-64.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
case $(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ') in
014c) arch=x86 ;;
8664) arch=amd64 ;;
*)
    echo "$exe is neither an x86 nor an x86-64 Windows program" >&2
    exit 1
    ;;
esac

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/Orvane
mkdir -p "$folder"
cp "$exe" "$folder/orvane.exe"
cp -r "$(dirname "$exe")/help" "$folder/help"
# Windows' own editor wants CR LF.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/ReadMe.txt" >"$folder/ReadMe.txt"

mkdir -p "$out"
zip=$out/orvane-$version.zip
setup=$out/orvane-$version-setup.exe
rm -f "$zip" "$setup"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip Orvane)
makensis -V2 -WX -NOCD -DVERSION="$version" -DARCH="$arch" -DSTAGE="$folder" \
    -DICON="$root/res/orvane.ico" -DOUTFILE="$setup" "$here/orvane.nsi"
echo "$zip"
echo "$setup"
