#!/usr/bin/env bash
# Makes Orvane's two downloads around the built 32-bit and 64-bit orvane.exe:
#   OUTDIR/orvane-VERSION.zip        the folders Orvane-64-bit and Orvane-32-bit,
#                                    each with orvane.exe, help\ and ReadMe.txt
#   OUTDIR/orvane-VERSION-setup.exe  one installer of both (NSIS), which installs
#                                    the one the user's Windows runs best
# usage: make_package.sh [--installer-arch amd64] EXE32 EXE64 OUTDIR
# Each help folder is the one beside its exe, as the program opens it. The
# version is the one in VERSION. The installer itself is a 32-bit program, so it
# runs on every Windows; --installer-arch amd64 makes it a 64-bit one, for
# testing where the machine runs no 32-bit code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
installer_arch=x86
if [ "${1:-}" = --installer-arch ]; then
    installer_arch=$2
    shift 2
fi
[ $# -eq 3 ] || {
    echo "usage: make_package.sh [--installer-arch amd64] EXE32 EXE64 OUTDIR" >&2
    exit 2
}
exe32=$(realpath -m "$1")
exe64=$(realpath -m "$2")
out=$(realpath -m "$3")

version=$(head -n1 "$root/VERSION")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
    echo "VERSION holds '$version', not MAJOR.MINOR.PATCH" >&2
    exit 1
}
command -v makensis >/dev/null || {
    echo "makensis is missing (Debian package nsis; ./orv package installs it)" >&2
    exit 1
}

# EXE must be a Windows program for MACHINE (the PE header's field: 0x14c x86,
# 0x8664 x86-64) with its help folder beside it.
check_exe() {
    local exe=$1 machine=$2 pe
    [ -f "$exe" ] || {
        echo "no $exe: ./orv builds the 32-bit program in build/, the 64-bit one in build-x64/" >&2
        exit 1
    }
    pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
    [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')" = "$machine" ] || {
        echo "$exe is not a Windows program for machine 0x$machine" >&2
        exit 1
    }
    [ -f "$(dirname "$exe")/help/index.htm" ] || {
        echo "no help folder beside $exe" >&2
        exit 1
    }
}
check_exe "$exe32" 014c
check_exe "$exe64" 8664
# The installer installs one help folder for either program.
diff -r "$(dirname "$exe32")/help" "$(dirname "$exe64")/help" >/dev/null || {
    echo "the help folders beside $exe32 and $exe64 differ: rebuild both" >&2
    exit 1
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# stage_folder NAME EXE
stage_folder() {
    local folder=$stage/$1
    mkdir -p "$folder"
    cp "$2" "$folder/orvane.exe"
    cp -r "$(dirname "$2")/help" "$folder/help"
    # Windows' own editor wants CR LF.
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/ReadMe.txt" >"$folder/ReadMe.txt"
}
stage_folder Orvane-64-bit "$exe64"
stage_folder Orvane-32-bit "$exe32"

mkdir -p "$out"
zip=$out/orvane-$version.zip
setup=$out/orvane-$version-setup.exe
rm -f "$zip" "$setup"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip Orvane-64-bit Orvane-32-bit)
makensis -V2 -WX -NOCD -DVERSION="$version" -DARCH="$installer_arch" -DSTAGE="$stage" \
    -DICON="$root/res/orvane.ico" -DOUTFILE="$setup" "$here/orvane.nsi"
echo "$zip"
echo "$setup"
