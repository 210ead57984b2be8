#!/usr/bin/env bash
# Runs a Windows test program under the Wine prefix that ./orv test prepared.
set -eu
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "run the tests through ./orv test (it prepares Xvfb and a fresh Wine prefix)" >&2
    exit 1
fi
exe=$1
shift
exec "${ORV_WINE:-wine}" "$exe" "$@"
