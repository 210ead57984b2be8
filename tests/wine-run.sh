#!/usr/bin/env bash
# Runs a Windows test program under the Wine prefix that ./orv test prepared.
set -eu
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "run the tests through ./orv test (it prepares Xvfb and a fresh Wine prefix)" >&2
    exit 1
fi
exe=$1
shift
# The program's output goes through a file: Wine's desktop process, started by
# the first window, inherits the program's output and outlives it by seconds,
# and CTest would wait for it on a pipe.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
"${ORV_WINE:-wine}" "$exe" "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit $status
