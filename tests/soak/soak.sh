#!/usr/bin/env bash
# soak.sh -- drives the real program for a long run on its own virtual X
# server: arrow keys and mouse drags in and out of rooms and along the
# corridor, with plan reloads ('1' to '3'), overhead view ('v') and help
# page (F1) switches on the way. After a warm-up it checks, on the C
# allocator's own figures (printed by the program on F12 under
# VEVUV_HEAP_REPORT=1), that the heap's bytes in use grow by less than 1 MB
# and the blocks mapped on their own by no more than the GL driver's spare
# streaming buffers, and that no file descriptor stays open. Nothing attaches
# to the program: it reports on itself.
# Arguments: vevuv binary, data directory, output directory, and the number
# of motion events after the warm-up (arrow presses plus drag motions;
# default 10000).
source "$(dirname "$0")/../e2e/lib.sh"

SOAK_EVENTS=${4:-10000}
# A sanitized program allocates through the sanitizer, whose blocks the C
# allocator's figures do not see: its figures are reported but not checked.
# LeakSanitizer checks it for leaks when it ends.
SANITIZED=0
grep -aq -e __asan_init -e libasan "$VEVUV_BIN" && SANITIZED=1
HEAP_GROWTH_LIMIT_BYTES=$((1024 * 1024))
# Blocks of 512 KB and more are mapped on their own (app/main.cpp): those are
# the GL driver's 1 MB streaming buffers (a 1,032 kB mapping each), of which
# it keeps one to three alive as it goes; how many are alive at a reading is
# the driver's timing, so the mapped bytes may grow by two of them.
MAPPED_GROWTH_LIMIT_BYTES=$((2 * 1032 * 1024))
# Motion events of one round of the walk below.
ROUND_KEY_MOVES=22
DRAG_STEPS=10
ROUND_EVENTS=$((ROUND_KEY_MOVES + 2 * DRAG_STEPS))
# Rounds before the first measurement: every plan read, rooms visited and the
# browser started, and the GL driver's pools grown to their working size.
WARMUP_ROUNDS=12

warmup=$WARMUP_ROUNDS
rounds=$(( warmup + (SOAK_EVENTS + ROUND_EVENTS - 1) / ROUND_EVENTS ))
# The heap figures are also sampled ten times after the warm-up, to show their course.
sample_every=$(( (rounds - warmup) / 10 > 0 ? (rounds - warmup) / 10 : 1 ))
export VEVUV_HEAP_REPORT=1

# Open file descriptors of vevuv.
vevuv_fd_count() { ls "/proc/$VEVUV_PID/fd" | wc -l; }

# One drag in the scene: press, DRAG_STEPS motions down (walking back),
# DRAG_STEPS motions up (walking forward again) with a small sideways turn,
# release.
drag() {
    local args=(mousemove 350 300 mousedown 1)
    local i
    for ((i = 1; i <= DRAG_STEPS; i++)); do args+=(mousemove $((350 + i)) $((300 + 3 * i))); done
    for ((i = DRAG_STEPS - 1; i >= 0; i--)); do args+=(mousemove $((350 + i)) $((300 + 3 * i))); done
    args+=(mouseup 1)
    xdotool "${args[@]}"
}

# One round from the start point (facing into the rooms across the
# corridor): into the room ahead, back across the corridor into the room
# behind, back to the corridor, turns, a drag, the overhead view with its
# eye moved, the help page, and a plan reload that puts the visitor back
# at the start. 22 key moves and 20 drag motions.
round() {
    local plan=$(( $1 % 3 + 1 ))
    xdotool key --delay 4 Up Up Up Up Down Down Down Down Down Down Down Down Up Up Up Up \
        Left Left Left Right Right Right
    drag
    xdotool key --delay 4 v Up Down v F1 F1 "$plan"
}

# The heap's bytes in use and the bytes of blocks mapped on their own, from
# the program's next heap report: F12 is handled after every earlier event.
heap_reports=0
heap_reports_seen() { [ "$(grep -c '^heap: ' "$E2E_WORK/stdout")" -ge "$heap_reports" ]; }
heap_bytes() {
    heap_reports=$((heap_reports + 1))
    xdotool key F12
    wait_until heap_reports_seen || abort "no heap report on F12"
    grep '^heap: ' "$E2E_WORK/stdout" | tail -n 1 | awk '{ print $2, $6 }'
}

# Heap bytes in use, mapped bytes and open descriptors once every queued
# event is handled and the last picture drawn.
measure() {
    settle
    echo "$(heap_bytes) $(vevuv_fd_count)"
}

launch

for ((r = 0; r < warmup; r++)); do round "$r"; done
read -r heap_before mapped_before fds_before < <(measure)
echo "after warm-up ($((warmup * ROUND_EVENTS)) events): heap ${heap_before} bytes in use," \
     "${mapped_before} mapped, VmRSS $(vevuv_rss_kb) kB, ${fds_before} open fds"

samples=""
for ((r = warmup; r < rounds; r++)); do
    round "$r"
    kill -0 "$VEVUV_PID" 2>/dev/null || abort "vevuv ended during round $r"
    (( (r - warmup + 1) % sample_every == 0 )) && samples="$samples $(heap_bytes | tr ' ' /)"
done
echo "heap samples (bytes in use/mapped) during the run:$samples"
read -r heap_after mapped_after fds_after < <(measure)
echo "after $(((rounds - warmup) * ROUND_EVENTS)) more events: heap ${heap_after} bytes in use," \
     "${mapped_after} mapped, VmRSS $(vevuv_rss_kb) kB, ${fds_after} open fds"
echo "growth: $((heap_after - heap_before)) bytes in use, $((mapped_after - mapped_before)) mapped," \
     "$((fds_after - fds_before)) fds; browser started $(browser_calls) time(s)"

if [ "$SANITIZED" -eq 0 ]; then
    check "the heap's bytes in use grow by less than $HEAP_GROWTH_LIMIT_BYTES after warm-up" \
        [ $((heap_after - heap_before)) -lt "$HEAP_GROWTH_LIMIT_BYTES" ]
    check "the mapped blocks grow by at most $MAPPED_GROWTH_LIMIT_BYTES bytes after warm-up" \
        [ $((mapped_after - mapped_before)) -le "$MAPPED_GROWTH_LIMIT_BYTES" ]
else
    echo "heap growth not checked: sanitized build (leaks are checked at exit)"
fi
check "no file descriptor stays open" [ "$fds_after" -le "$fds_before" ]
check "the browser is started once per run" [ "$(browser_calls)" -eq 1 ]

keys Escape
wait_vevuv_exit
check "Esc still exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
check "nothing on standard error" stderr_empty
finish
