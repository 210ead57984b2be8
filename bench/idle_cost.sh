#!/bin/bash
# What the program costs while nothing happens, beside Wine's own task manager:
# one after the other on the same wineserver, each for the same time,
#   1. Orvane hidden in the tray (a later run: it starts hidden), with every
#      running process and autostart entry accepted, so nothing flashes,
#   2. the same Orvane shown on the Processes page (a click on its tray icon),
#   3. Orvane hidden in a folder of its own where nothing is accepted yet, so
#      its tray icon flashes as it does for a new user,
#   4. taskmgr.exe on its default page,
#   5. a bare tray monitor (bench/BareTrayMonitor.cpp), the least such a
#      program can cost,
# and prints each one's CPU ticks, the wineserver's ticks over the same time,
# resident memory, and the ratio of CPU (own + wineserver) to taskmgr's and
# to the bare monitor's.
# With "requests" it then counts the wineserver's requests per second by name
# for each (a tracing wineserver of its own, 10 s each).
# Usage (inside the Wine environment ./orv bench sets up, with DISPLAY on Xvfb):
#   idle_cost.sh PATH/TO/orvane.exe [seconds] [requests | pair]
# accept_everything.exe is looked for in bench/tools beside the program.
set -euo pipefail

exe=$1
seconds=${2:-60}
requests=${3:-}
wine=${ORV_WINE:-wine}
out=${ORV_BENCH_OUTPUT:-$(dirname "$exe")/bench-run}
accept=$(dirname "$exe")/bench/tools/accept_everything.exe
bare=$(dirname "$exe")/bench/tools/bare_tray_monitor.exe
settle=15
trace_seconds=10
mkdir -p "$out"

work=$(mktemp -d)
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

hz=$(getconf CLK_TCK)

fail() {
    echo "idle_cost: $*" >&2
    exit 1
}

# The newest process of this prefix whose command line matches pattern.
prefix_pid() {
    local pid
    for pid in $(pgrep -f "$1" | sort -rn); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# The wineserver of this prefix: it works in a folder named after the
# prefix's device and inode (server-<dev>-<inode>, in hex).
server_pid() {
    local name pid
    name=server-$(printf %x "$(stat -c %d "$WINEPREFIX")")-$(printf %x "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep wineserver); do
        if [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$name" ]; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# utime + stime of a process (all its threads), in clock ticks.
ticks() {
    sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

resident_kib() {
    awk '/^VmRSS/ { print $2 }' "/proc/$1/status"
}

wait_for() {
    local what=$1 limit=$2 i
    shift 2
    for i in $(seq $((limit * 5))); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.2
    done
    fail "$what did not happen within $limit s"
}

visible_window() {
    xdotool search --onlyvisible --name "$1"
}

sheet_hidden() {
    xdotool search --name '^Orvane : ' >/dev/null && ! visible_window '^Orvane : '
}

# Starts Orvane as on any run after the first, in a folder of its own (with
# "accepted" after accepting everything there) and sets pid once the sheet
# has gone to the tray.
start_orvane() {
    local dir=$work/orvane-$1
    mkdir -p "$dir"
    cp "$exe" "$dir/orvane.exe"
    printf '[GENERAL]\r\nFirstUse=1\r\n' >"$dir/settings.ini"
    if [ "${2:-}" = accepted ]; then
        "$wine" "$accept" "Z:${dir//\//\\}" "Z:${dir//\//\\}\\orvane.exe" >/dev/null 2>&1 ||
            fail "could not accept everything for $dir"
    fi
    (cd "$dir" && exec "$wine" "$dir/orvane.exe" >/dev/null 2>&1) &
    started+=($!)
    wait_for "Orvane's start" 120 prefix_pid "$dir/orvane.exe"
    wait_for "Orvane's sheet going to the tray" 60 sheet_hidden
    pid=$(prefix_pid "$dir/orvane.exe") || fail "Orvane is gone"
    started+=("$pid")
}

# A click on the first icon of Wine's tray window, as a user would; again when
# the first click met the icon of a program killed before.
show_sheet() {
    local try tray X Y WIDTH HEIGHT WINDOW SCREEN
    for try in 1 2 3; do
        tray=$(visible_window '^Wine System Tray$' | head -n1) || true
        [ -n "$tray" ] || fail "no tray window"
        eval "$(xdotool getwindowgeometry --shell "$tray")"
        xdotool mousemove $((X + 10)) $((Y + HEIGHT / 2)) click 1
        # Out of the way, so no tooltip stays up while measuring.
        xdotool mousemove 1000 750
        for _ in $(seq 25); do
            if visible_window '^Orvane : ' >/dev/null; then return 0; fi
            sleep 0.2
        done
        sleep 1
    done
    fail "the tray click did not show the sheet"
}

# Starts Wine's task manager and sets pid once its window shows (the process
# that started it may be gone by then).
start_taskmgr() {
    "$wine" taskmgr >/dev/null 2>&1 &
    started+=($!)
    wait_for "taskmgr's window" 60 visible_window 'Task Manager'
    wait_for "taskmgr's process" 30 prefix_pid 'taskmgr\.exe'
    pid=$(prefix_pid 'taskmgr\.exe') || fail "taskmgr is gone"
    started+=("$pid")
}

# Starts the bare tray monitor and sets pid once its process runs.
start_bare() {
    "$wine" "$bare" >/dev/null 2>&1 &
    started+=($!)
    wait_for "the bare monitor's process" 60 prefix_pid 'bare_tray_monitor\.exe'
    pid=$(prefix_pid 'bare_tray_monitor\.exe') || fail "the bare monitor is gone"
    started+=("$pid")
}

# measure NAME PID: ticks of the process and of the wineserver over the
# window, and the resident memory at its end.
declare -A own server rss
measure() {
    local name=$1 pid=$2 wineserver o0 o1 s0
    wineserver=$(server_pid) || fail "no wineserver for $WINEPREFIX"
    o0=$(ticks "$pid") || fail "$name: the program is gone"
    s0=$(ticks "$wineserver")
    sleep "$seconds"
    o1=$(ticks "$pid") || fail "$name: the program ended while measured"
    own[$name]=$((o1 - o0))
    server[$name]=$(($(ticks "$wineserver") - s0))
    rss[$name]=$(resident_kib "$pid")
    import -window root "$out/idle-$name.png" 2>/dev/null || true
}

stop() {
    kill "$1" 2>/dev/null || true
    local i
    for i in $(seq 50); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.2
    done
}

machine() {
    local cpu
    cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
    echo "$cpu, $(nproc) cores; $($wine --version 2>/dev/null) ($WINEARCH); load average at start: $1"
}

load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "idle cost: ${seconds} s each, one after the other on one wineserver" >&2

# "pair": Orvane hidden and the bare monitor only, to repeat the one ratio.
if [ "$requests" = pair ]; then
    start_orvane idle accepted
    sleep "$settle"
    measure hidden "$pid"
    stop "$pid"
    start_bare
    sleep "$settle"
    measure bare "$pid"
    stop "$pid"
    hidden_total=$((own[hidden] + server[hidden]))
    bare_total=$((own[bare] + server[bare]))
    echo "Orvane hidden ${own[hidden]} + ${server[hidden]} = $hidden_total ticks," \
        "the bare monitor ${own[bare]} + ${server[bare]} = $bare_total ticks, $seconds s each:" \
        "$(awk -v a="$hidden_total" -v b="$bare_total" 'BEGIN { printf "%.2f", a / b }')×;" \
        "$(machine "$load")"
    echo "RESULT idle_seconds $seconds"
    echo "RESULT idle_hidden_ticks $hidden_total"
    echo "RESULT idle_bare_ticks $bare_total"
    exit 0
fi

start_orvane idle accepted
sleep "$settle"
measure hidden "$pid"
show_sheet
sleep 5
measure shown "$pid"
stop "$pid"

start_orvane flashing
sleep "$settle"
measure flashing "$pid"
stop "$pid"

start_taskmgr
sleep "$settle"
measure taskmgr "$pid"
stop "$pid"

start_bare
sleep "$settle"
measure bare "$pid"
stop "$pid"

percent() { awk -v t="$1" -v s="$seconds" -v hz="$hz" 'BEGIN { printf "%.1f %%", t * 100 / (s * hz) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
megabytes() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

base=$((own[taskmgr] + server[taskmgr]))
bare_total=$((own[bare] + server[bare]))
echo
echo "Idle cost, $seconds s each ($hz ticks a second); $(machine "$load")"
echo
echo "| | own CPU | wineserver CPU | own + wineserver | ratio to taskmgr | ratio to the bare monitor | resident memory |"
echo "|---|---|---|---|---|---|---|"
label() {
    case $1 in
    hidden) echo "Orvane hidden in the tray" ;;
    shown) echo "Orvane shown on the Processes page" ;;
    flashing) echo "Orvane hidden, flashing (nothing accepted)" ;;
    taskmgr) echo "taskmgr on its default page" ;;
    bare) echo "a bare tray monitor" ;;
    esac
}
for name in hidden shown flashing taskmgr bare; do
    label=$(label "$name")
    total=$((own[$name] + server[$name]))
    echo "| $label | ${own[$name]} ticks ($(percent "${own[$name]}")) |" \
        "${server[$name]} ticks ($(percent "${server[$name]}")) | $total ticks |" \
        "$(ratio "$total" "$base") | $(ratio "$total" "$bare_total") | $(megabytes "${rss[$name]}") |"
done
echo
# The same figures for ./orv bench to collect.
echo "RESULT idle_seconds $seconds"
for name in hidden shown flashing taskmgr bare; do
    echo "RESULT idle_${name}_ticks $((own[$name] + server[$name]))"
    echo "RESULT idle_${name}_rss_kib ${rss[$name]}"
done
echo
echo "screenshots: $out/idle-{hidden,shown,flashing,taskmgr,bare}.png"

[ "$requests" = requests ] || exit 0

# --- wineserver requests per second by name -----------------------------
# A tracing wineserver prints every request as "tid: name( args )" and every
# reply as "tid: name() = ..."; a thread is the process's whose first thread
# announced its unix pid, or whose thread created it.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trace=$work/trace.log
setsid wineserver -f -d1 -p5 </dev/null >/dev/null 2>"$trace" &

# Offsets of the trace at a window's start and end, per name.
declare -A from to target
trace_window() {
    local name=$1 pid=$2
    target[$name]=$pid
    from[$name]=$(stat -c %s "$trace")
    sleep "$trace_seconds"
    to[$name]=$(stat -c %s "$trace")
}

start_orvane traced accepted
sleep "$settle"
trace_window hidden "$pid"
show_sheet
sleep 5
trace_window shown "$pid"
stop "$pid"
start_orvane traced-flashing
sleep "$settle"
trace_window flashing "$pid"
stop "$pid"
start_taskmgr
sleep "$settle"
trace_window taskmgr "$pid"
stop "$pid"
start_bare
sleep "$settle"
trace_window bare "$pid"
stop "$pid"

# Prints "name count" for the program's requests in a window, and the line
# "* count" for all other clients'.
count_requests() {
    awk -v from="${from[$1]}" -v to="${to[$1]}" -v pid="${target[$1]}" '
        function owner(t) { return (t in proc) ? proc[t] : "?" }
        {
            offset += length($0) + 1
            colon = index($0, ": ")
            if (colon == 0) next
            tid = substr($0, 1, colon - 1)
            rest = substr($0, colon + 2)
            if (rest ~ /^init_first_thread\( / && match(rest, /unix_pid=[0-9]+/))
                proc[tid] = substr(rest, RSTART + 9, RLENGTH - 9)
            if (rest ~ /^new_thread\(\) = 0 / && match(rest, /tid=[0-9a-f]+/))
                proc[substr(rest, RSTART + 4, RLENGTH - 4)] = owner(tid)
            if (offset <= from || offset > to || rest !~ /^[a-z_0-9]+\( /) next
            name = substr(rest, 1, index(rest, "(") - 1)
            if (owner(tid) == pid) own[name]++; else others++
        }
        END {
            for (name in own) print name, own[name]
            print "*", others + 0
        }' "$trace"
}

summarise() {
    local counts total
    counts=$(count_requests "$1")
    total=$(awk '$1 != "*" { t += $2 } END { print t + 0 }' <<<"$counts")
    awk -v name="$1" -v t="$total" -v secs="$trace_seconds" '$1 == "*" {
        printf "%s: %.0f requests/s from the program, %.0f/s from the other clients\n",
            name, t / secs, $2 / secs }' <<<"$counts"
    grep -v '^\* ' <<<"$counts" | sort -k2,2nr | head -n 12 |
        awk -v secs="$trace_seconds" '{ printf "    %-28s %7.1f/s\n", $1, $2 / secs }'
}

echo
echo "wineserver requests, $trace_seconds s each (the program's own by name; top 12)"
for name in hidden shown flashing taskmgr bare; do
    summarise "$name"
done
