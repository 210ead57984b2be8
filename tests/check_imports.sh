#!/usr/bin/env bash
# Fails, naming each one, when a shipped program imports a function that is
# not on the list of functions the oldest Windows the README names has (the
# list's head says where it comes from). Anything newer must be bound at run
# time (app/SystemFunctions), where a missing function only degrades the data;
# an import the system lacks stops the program from loading at all.
#   check_imports.sh EXE... LIST   (the 32-bit and the 64-bit program)
#   check_imports.sh --self-test EXE... LIST   the check, with one import of each
#       DLL struck from the list, must fail and name it
set -euo pipefail
objdump=x86_64-w64-mingw32-objdump # it reads 32-bit programs too

# "DLL function" for every import, the DLL in capitals; "DLL #n" by ordinal.
imports_of() {
    "$objdump" -p "$1" | awk '
        /^[ \t]*DLL Name:/ { dll = toupper($3); next }
        /^[ \t]*$/ { dll = ""; next }
        dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
            if (NF >= 3 && $3 !~ /^</) print dll, $3; else print dll, "#" $2
        }' | sort -u
}

check() {
    local exe=$1 list=$2 imports missing
    # (Whole outputs are read before grep -q, which would cut a pipe short.)
    if ! grep -qE 'file format pei-(i386|x86-64)$' <<<"$("$objdump" -f "$exe" 2>&1)"; then
        echo "$exe is not a Windows program for x86 or x86-64 (./orv builds both)"
        return 1
    fi
    imports=$(imports_of "$exe")
    # A program imports at least from kernel32: no imports read means a misread.
    if ! grep -q '^KERNEL32.DLL ' <<<"$imports"; then
        echo "read no imports of $exe"
        return 1
    fi
    missing=$(comm -23 <(echo "$imports") <(grep -v '^#' "$list" | sort -u))
    if [ -n "$missing" ]; then
        echo "$exe imports what $(basename "$list") does not list (bind it at run time):"
        sed 's/^/  /' <<<"$missing"
        return 1
    fi
    echo "imports: all $(wc -l <<<"$imports") imports of $(basename "$exe") are on $(basename "$list")"
}

# Each program on its own.
if [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$1" != --self-test ]; }; then
    status=0 list=${!#} options=()
    [ "$1" != --self-test ] || { options=(--self-test); shift; }
    for exe in "${@:1:$#-1}"; do "$0" "${options[@]}" "$exe" "$list" || status=1; done
    exit $status
fi
if [ "$1" = --self-test ]; then
    exe=$2 list=$3 status=0
    imports=$(imports_of "$exe")
    reduced=$(mktemp)
    trap 'rm -f "$reduced"' EXIT
    while read -r dll; do
        struck=$(grep -m1 "^$dll " <<<"$imports")
        grep -vxF "$struck" "$list" >"$reduced"
        if output=$(check "$exe" "$reduced"); then
            echo "FAILED: the check passed with '$struck' struck from the list"
            status=1
        elif ! grep -qxF "  $struck" <<<"$output"; then
            echo "FAILED: the check failed without naming '$struck':"$'\n'"$output"
            status=1
        else
            echo "caught: $struck"
        fi
    done < <(cut -d' ' -f1 <<<"$imports" | sort -u)
    exit $status
fi
check "$1" "$2"
