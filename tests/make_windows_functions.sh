#!/usr/bin/env bash
# Writes windows-vista-functions.txt, the list tests/check_imports.sh holds the
# program's imports to: the functions of the system DLLs the program may link
# that Windows Vista has, as the toolchain's own headers tell it. Run it by
# hand when the list must change (a DLL added); the list is kept as written.
#
# A function is listed when both
#  - the toolchain's import library for the DLL exports it, and
#  - the toolchain's headers (mingw-w64, /usr/share/mingw-w64/include) declare
#    it with _WIN32_WINNT and WINVER set to 0x0600 (Windows Vista), _WIN32_IE to
#    0x0700 (the Internet Explorer of Vista) and __MSVCRT_VERSION__ to 0x0700
#    (msvcrt.dll as Windows XP and Vista ship it). The headers leave out what a
#    later Windows or msvcrt.dll brought where they mark it; what they do not
#    mark is listed, so the list is as good as their marks.
# The C runtime's start-up functions, which mingw-w64's own start-up code calls
# on every Windows it supports but no installed header declares, are added.
# Kernel32 functions the headers declare unmarked although the platform's
# documentation gives them a later minimum system (Windows 7: CreateRemoteThreadEx;
# Windows 8, or an update: the rest) are taken out; found by looking up, in the
# list, thirty-odd functions known to be later than Vista.
# The list serves the 64-bit program too. What only 64-bit Windows has, which the
# headers and import libraries of the 32-bit toolchain cannot tell, is added by
# name: Kernel32's unwinding functions (64-bit Windows XP and Server 2003 on, by
# the platform's documentation) and __C_specific_handler, which the 64-bit code
# of GCC and mingw-w64 calls; User32's *LongPtr functions (plain macros for the
# *Long ones in 32-bit code, exports since Windows 2000 in 64-bit Windows); and
# the msvcrt.dll functions and data mingw-w64's 64-bit runtime uses.
set -euo pipefail
cd "$(dirname "$0")"
triplet=i686-w64-mingw32
lib=/usr/$triplet/lib
out=windows-vista-functions.txt
dlls="advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 user32 winspool"
headers="windows.h commctrl.h commdlg.h shellapi.h shlobj.h ole2.h oleauto.h winspool.h
    stdio.h stdlib.h string.h time.h locale.h signal.h setjmp.h process.h io.h mbstring.h
    sys/stat.h errno.h wchar.h ctype.h math.h malloc.h direct.h fcntl.h float.h"
startup="__getmainargs __initenv __p__commode __p__fmode __set_app_type __setusermatherr
    _amsg_exit _cexit _initterm _onexit"
only64="KERNEL32.DLL:RtlLookupFunctionEntry KERNEL32.DLL:RtlUnwindEx KERNEL32.DLL:RtlVirtualUnwind
    KERNEL32.DLL:__C_specific_handler USER32.DLL:GetWindowLongPtrA USER32.DLL:SetWindowLongPtrA
    MSVCRT.DLL:___lc_codepage_func MSVCRT.DLL:___mb_cur_max_func MSVCRT.DLL:__iob_func
    MSVCRT.DLL:_commode"
later="CreateRemoteThreadEx AddDllDirectory SetDefaultDllDirectories GetOverlappedResultEx
    InitializeSynchronizationBarrier GetSystemTimePreciseAsFileTime"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    echo "# Functions Windows Vista has, per DLL: \"DLL function\"."
    echo "# Made by tests/make_windows_functions.sh from the import libraries and headers of"
    echo "# $($triplet-gcc --version | head -n1)"
    echo "# (mingw-w64 $(dpkg-query -W -f '${Version}' mingw-w64-common 2>/dev/null || echo '?'))."
    echo "# Listed: exported by the import library and declared by the headers at"
    echo "# _WIN32_WINNT=WINVER=0x0600, _WIN32_IE=0x0700, __MSVCRT_VERSION__=0x0700;"
    echo "# and msvcrt.dll's start-up functions mingw-w64's start-up code calls everywhere;"
    echo "# less Kernel32's$(printf ' %s' $later)"
    echo "# (unmarked in the headers, later than Vista by the platform's documentation);"
    echo "# and, for the 64-bit program, what only 64-bit Windows has:"
    echo "#$(printf ' %s' $only64 | tr ':' ' ')"
    echo "# (see tests/make_windows_functions.sh)."
    for dll in $dlls; do
        name=$(tr '[:lower:]' '[:upper:]' <<<"$dll").DLL
        "$triplet-nm" "$lib/lib$dll.a" 2>/dev/null |
            awk '$2 == "I" && $3 ~ /^__imp__/ { s = substr($3, 8); sub(/@[0-9]+$/, "", s); print s }' |
            sort -u >"$work/exports"
        {
            for h in $headers; do echo "#include <$h>"; done
            echo "void probe(void) {"
            echo "    void *p;"
            sed 's/.*/    p = (void *)\&&;/' "$work/exports"
            echo "    (void)p;"
            echo "}"
        } >"$work/probe.c"
        LANG=C "$triplet-gcc" -fsyntax-only -w -D_WIN32_WINNT=0x0600 -DWINVER=0x0600 \
            -D_WIN32_IE=0x0700 -D__MSVCRT_VERSION__=0x0700 "$work/probe.c" 2>"$work/errors" || true
        {
            grep -oE "'[A-Za-z0-9_]+' undeclared" "$work/errors" | cut -d"'" -f2
            if [ "$dll" = kernel32 ]; then printf '%s\n' $later; fi
        } | sort -u >"$work/undeclared"
        {
            comm -23 "$work/exports" "$work/undeclared"
            if [ "$dll" = msvcrt ]; then printf '%s\n' $startup; fi
            printf '%s\n' $only64 | sed -n "s/^$name://p"
        } | sort -u | sed "s/^/$name /"
    done
} >"$out"
echo "wrote $out: $(grep -vc '^#' "$out") functions"
