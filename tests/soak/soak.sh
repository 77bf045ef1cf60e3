#!/usr/bin/env bash
# soak.sh -- drives the real program for a long run on its own virtual X
# server: arrow keys and mouse drags in and out of rooms and along the
# corridor, with plan reloads ('1' to '3'), overhead view ('v') and help
# page (F1) switches on the way. After a warm-up it checks that resident
# memory (with the C heap's free pages returned first) grows by less than
# 1 MB and that no file descriptor stays open.
# Arguments: vevuv binary, data directory, output directory, and the number
# of motion events after the warm-up (arrow presses plus drag motions;
# default 10000).
source "$(dirname "$0")/../e2e/lib.sh"

SOAK_EVENTS=${4:-10000}
# A sanitized program keeps freed memory in the sanitizer's own pools,
# which neither malloc_trim nor the system sees returned: its resident
# memory is reported but not checked. LeakSanitizer checks it for leaks when
# it ends, and the quarantine of freed memory is turned off for it.
SANITIZED=0
if grep -aq -e __asan_init -e libasan "$VEVUV_BIN"; then
    SANITIZED=1
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:quarantine_size_mb=0:thread_local_quarantine_size_kb=0"
fi
RSS_GROWTH_LIMIT_KB=1024
# Motion events of one round of the walk below.
ROUND_KEY_MOVES=22
DRAG_STEPS=10
ROUND_EVENTS=$((ROUND_KEY_MOVES + 2 * DRAG_STEPS))
# Rounds before the first measurement: every plan read, rooms visited and the
# browser started, and the GL driver's pools grown to their working size,
# which takes it about 2,000 motion events. Reloads fill the same seven
# texture objects again, so they need no warm-up of their own.
WARMUP_ROUNDS=48

# The measured events follow the warm-up (one more round belongs to it, see below).
warmup=$WARMUP_ROUNDS
rounds=$(( warmup + 1 + (SOAK_EVENTS + ROUND_EVENTS - 1) / ROUND_EVENTS ))
# Resident memory is also sampled ten times after the warm-up, to show its course.
sample_every=$(( (rounds - warmup) / 10 > 0 ? (rounds - warmup) / 10 : 1 ))

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

# Hands the free pages of the C heap back to the system (malloc_trim, called
# through gdb), so that resident memory counts what is in use rather than
# the heap's high-water mark, which moves with the order of frees and with
# glibc's own trimming thresholds. Without gdb the raw figure is taken.
# A gdb that does not finish in time is stopped, and the program is
# continued in case gdb left it stopped.
release_free_heap() {
    command -v gdb >/dev/null || return 0
    if ! timeout 60 gdb -p "$VEVUV_PID" -batch -nx -ex 'call (int) malloc_trim(0)' >/dev/null 2>&1; then
        kill -CONT "$VEVUV_PID" 2>/dev/null
        echo "note: gdb could not call malloc_trim; raw resident memory is measured" >&2
    fi
}

# The smallest resident memory seen in readings every 0.1 s over
# RSS_WINDOW_S seconds of the idle program: Mesa's software driver may still
# replace a 1 MB vertex or bitmap buffer just after the last frame, which
# moves a single reading by a megabyte; memory that is kept (a leak) raises
# every reading.
RSS_WINDOW_S=3
lowest_rss_kb() {
    local lowest reading i
    lowest=$(vevuv_rss_kb)
    for ((i = 0; i < RSS_WINDOW_S * 10; i++)); do
        sleep 0.1
        reading=$(vevuv_rss_kb)
        [ "$reading" -lt "$lowest" ] && lowest=$reading
    done
    echo "$lowest"
}

# Resident memory and open descriptors, once every queued event is handled.
measure() {
    settle
    sleep 0.5
    release_free_heap
    echo "$(lowest_rss_kb) $(vevuv_fd_count)"
}

launch

for ((r = 0; r < warmup; r++)); do round "$r"; done
# The first round after the program has been idle for a measurement grows
# its resident memory once, by about 0.8 MB (with or without the heap
# trimmed), and never again: one measurement and one more round belong to
# the warm-up.
measure >/dev/null
round "$warmup"
read -r rss_before fds_before < <(measure)
echo "after warm-up ($(((warmup + 1) * ROUND_EVENTS)) events): VmRSS ${rss_before} kB, ${fds_before} open fds"

samples=""
for ((r = warmup + 1; r < rounds; r++)); do
    round "$r"
    kill -0 "$VEVUV_PID" 2>/dev/null || abort "vevuv ended during round $r"
    (( (r - warmup) % sample_every == 0 )) && samples="$samples $(vevuv_rss_kb)"
done
echo "VmRSS samples (kB) during the run:$samples"
read -r rss_after fds_after < <(measure)
echo "after $(((rounds - warmup - 1) * ROUND_EVENTS)) more events: VmRSS ${rss_after} kB, ${fds_after} open fds"
echo "growth: $((rss_after - rss_before)) kB, $((fds_after - fds_before)) fds; browser started $(browser_calls) time(s)"

if [ "$SANITIZED" -eq 0 ]; then
    check "resident memory grows by less than $RSS_GROWTH_LIMIT_KB kB after warm-up" \
        [ $((rss_after - rss_before)) -lt "$RSS_GROWTH_LIMIT_KB" ]
else
    echo "resident memory not checked: sanitized build (leaks are checked at exit)"
fi
check "no file descriptor stays open" [ "$fds_after" -le "$fds_before" ]
check "the browser is started once per run" [ "$(browser_calls)" -eq 1 ]

keys Escape
wait_vevuv_exit
check "Esc still exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
check "nothing on standard error" stderr_empty
finish
