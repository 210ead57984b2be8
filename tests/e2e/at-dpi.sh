#!/usr/bin/env bash
# at-dpi.sh DPI COMMAND...: runs COMMAND (a test program through wine-run.sh)
# on a screen of DPI dots per inch: in a copy of the prefix ./orv test made,
# whose registry says so before any window opens, on a display of its own of
# 2560 x 1440 (a usual scaled screen; the sheet and a warning beside it fit).
# Both go afterwards.
set -eu
dpi=$1
shift
[ -n "${WINEPREFIX:-}" ] || { echo "run the tests through ./orv test" >&2; exit 1; }
copy=$WINEPREFIX-dpi$dpi xvfb="" fdfile=$(mktemp)
trap 'WINEPREFIX=$copy wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$copy" "$fdfile"' EXIT
trap "exit 130" INT TERM

Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
done
[ -s "$fdfile" ] || { echo "at-dpi.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$fdfile")

# The system's libraries and fonts, most of the prefix and only ever read, are
# linked; every other file is copied, so nothing written there reaches the
# prefix the other tests use.
rm -rf "$copy"
cp -al "$WINEPREFIX" "$copy"
find "$copy" -type f ! -path '*/windows/system32/*' ! -path '*/windows/syswow64/*' \
    ! -path '*/windows/Fonts/*' -print0 | while IFS= read -r -d '' file; do
    cp -p --remove-destination "$WINEPREFIX/${file#"$copy"/}" "$file"
done
export WINEPREFIX=$copy
setsid wineserver -p30 </dev/null >/dev/null 2>&1
for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "${ORV_WINE:-wine}" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
done
"$@"
