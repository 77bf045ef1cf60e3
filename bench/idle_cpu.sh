#!/usr/bin/env bash
# idle_cpu.sh -- the processor time vevuv takes when nobody touches it: the
# program is started on a building, left to settle, and its user + system
# time (from /proc) is read over SECONDS of no input, in the plain 700 x 500
# window and as a full-screen kiosk. The baseline is one whole core over the
# same time, so the ratio is the share of a core; the goal is at most 2 %.
# Needs an X server (run.sh runs it under its Xvfb).
#
#   bench/idle_cpu.sh VEVUV_BINARY DATA_DIR [SECONDS]
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: idle_cpu.sh VEVUV_BINARY DATA_DIR [SECONDS]" >&2
    exit 2
fi
vevuv=$(realpath "$1")
data=$(realpath "$2")
seconds=${3:-30}
settle_seconds=5
goal_percent=2
ticks_per_second=$(getconf CLK_TCK)

# User plus system time of a process so far, in clock ticks (the name field
# of /proc/PID/stat is "(vevuv)", without spaces, so the fields count plainly).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Starts vevuv with the given options, lets it settle, measures, ends it.
measure() {
    local label=$1
    shift
    (cd "$data" && exec "$vevuv" "$@") >/dev/null 2>&1 &
    local pid=$!
    sleep "$settle_seconds"
    local before after
    before=$(cpu_ticks "$pid" 2>/dev/null) || { echo "$label: vevuv did not start" >&2; return 1; }
    sleep "$seconds"
    after=$(cpu_ticks "$pid" 2>/dev/null) || { echo "$label: vevuv ended before the measurement did" >&2; return 1; }
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v label="$label" -v ticks=$((after - before)) -v hz="$ticks_per_second" \
        -v s="$seconds" -v goal="$goal_percent" 'BEGIN {
        percent = 100 * ticks / hz / s
        printf "%-36s %8.1f ms of CPU per s   one core   ratio %.4f   goal <= %d %%: %s\n",
               label, 10 * percent, percent / 100, goal, percent <= goal ? "met" : "MISSED"
    }'
}

measure "idle CPU, 700x500 window" --data "$data"
measure "idle CPU, full-screen kiosk" --kiosk --data "$data"
