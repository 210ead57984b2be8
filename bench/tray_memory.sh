#!/bin/bash
# Runs the real program, hidden in the tray as on any later run, for a while
# (10 minutes unless told otherwise) and prints its memory after the first
# minute and at the end. The tray picture is redrawn five times a second, so a
# handle or buffer kept per update shows as steady growth between the two.
# Usage (inside the Wine environment ./orv bench sets up):
#   tray_memory.sh PATH/TO/orvane.exe [minutes]
set -euo pipefail

exe=$1
minutes=${2:-10}
wine=${ORV_WINE:-wine}

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$exe" "$dir/orvane.exe"
printf '[GENERAL]\r\nFirstUse=1\r\n' >"$dir/settings.ini"

"$wine" "$dir/orvane.exe" >/dev/null 2>&1 &
launcher=$!

program_pid() {
    pgrep -n -f "$dir/orvane.exe" || true
}

# Resident and virtual size of the program's own process, in KiB, after this
# many minutes; rss keeps the resident size.
report() {
    local pid minute=$1 label
    label="$1 minute$([ "$1" -eq 1 ] || echo s)"
    pid=$(program_pid)
    if [ -z "$pid" ]; then
        echo "tray_memory: the program is not running ($label)" >&2
        exit 1
    fi
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
    awk -v label="$label" '/^VmRSS|^VmSize/ { v[$1] = $2 }
        END { printf "%-12s resident %7d KiB   virtual %8d KiB\n", label, v["VmRSS:"], v["VmSize:"] }' \
        "/proc/$pid/status"
    echo "RESULT soak_rss_kib_at_$minute $rss"
}

sleep 60
report 1
first=$rss
# A soak of half an hour is also read at 10 minutes: growth that stops early
# is a cache filling, growth that goes on is a leak.
if [ "$minutes" -gt 10 ]; then
    sleep 540
    report 10
    sleep $(((minutes - 10) * 60))
else
    sleep $(((minutes - 1) * 60))
fi
report "$minutes"
echo "growth after the first minute: $((rss - first)) KiB over $((minutes * 300 - 300)) tray updates"

kill "$(program_pid)" 2>/dev/null || true
wait "$launcher" 2>/dev/null || true
