#!/usr/bin/env bash
# Fails, naming file and line, when a source includes a header of a higher
# layer or of its sibling. Layers, bottom to top:
#   win, app, autostart | process (siblings: neither includes the other), ui, orvane
# The resource ids in res/ belong to the windows: ui and orvane only.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case $1 in
    win) echo 0 ;;
    app) echo 2 ;;
    autostart | process) echo 4 ;;
    res) echo 5 ;;
    ui) echo 6 ;;
    orvane) echo 8 ;;
    tests | bench) echo 9 ;;
    *) echo "" ;;
    esac
}

status=0
for layer in win app autostart process ui orvane; do
    own=$(rank "$layer")
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
        theirs=$(rank "$target")
        [ -n "$theirs" ] || continue
        if [ "$target" != "$layer" ] && [ "$theirs" -ge "$own" ]; then
            echo "$file:$line: layer '$layer' includes '$target' ($(sed -E 's/^[[:space:]]*//' <<<"$text"))"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$layer" || true)
done
if [ $status -eq 0 ]; then
    echo "layers: every include points down"
fi
exit $status
