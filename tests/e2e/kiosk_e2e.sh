#!/usr/bin/env bash
# kiosk_e2e.sh -- the command line, and the real program as an unattended
# kiosk: full screen, Esc ignored, a room walked into on keys opens its page
# in the VEVUV_BROWSER program, back at the start picture after 3 s without
# input (also from Find) on the plan it was started with, a missing
# Department.xml survived and its return noticed, status 0
# on SIGTERM. Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"
start_xvfb

# Command lines that end at once: arguments | status | text on stdout or stderr.
while IFS='|' read -r args status text; do
    prepare_data
    start_vevuv $args
    wait_vevuv_exit
    check "'$args' ends with status $status" [ "$VEVUV_STATUS" -eq "$status" ]
    check "'$args' says '$text'" grep -qF -- "$text" "$E2E_WORK/stdout" "$E2E_WORK/stderr"
done <<'ROWS'
--help|0|Usage: vevuv [options] [plan-file]
--version|0|vevuv 1.
--fullscreen|2|vevuv: unknown option '--fullscreen'
-z|2|vevuv: unknown option '-z'
--idle-reset 0|2|--idle-reset wants a number of seconds
--data /no/such/folder|1|vevuv: cannot enter the data folder '/no/such/folder'
plan3.dat plan2.dat|2|vevuv: one plan file at most, not also 'plan2.dat'
--page-base rooms/|2|--page-base wants an http:// or https:// address
ROWS

# True when the kiosk's own browser (named by VEVUV_BROWSER) was started n times.
kiosk_calls_are() { [ "$(find "$E2E_WORK/calls" -name 'kiosk.*' ! -name '*.tmp' | wc -l)" -eq "$1" ]; }
# True when the screen shows the start picture again (a few pixels may differ).
at_start_picture() { shot now && at_most "$(pixels_differing start now "$WINDOW_AREA")" 50; }
# True while the program runs.
running() { kill -0 "$VEVUV_PID" 2>/dev/null; }

prepare_data
sed 's/call\./kiosk./' "$E2E_WORK/bin/xdg-open" >"$E2E_WORK/bin/kiosk's browser"
chmod +x "$E2E_WORK/bin/kiosk's browser"
VEVUV_BROWSER="$E2E_WORK/bin/kiosk's browser" start_vevuv --kiosk --open-pages --idle-reset 3 plan3.dat
wait_for_window
check "the kiosk fills the screen" [ "$WINDOW_AREA" = 1024x768+0+0 ]
stable_shot start
keys Escape q
settle
check "Esc and q do not end a kiosk" running

key_times Up 4
check "a room walked into on keys opens its page in VEVUV_BROWSER" wait_until kiosk_calls_are 1
check "xdg-open is not started" [ "$(browser_calls)" -eq 0 ]
keys t F1
check "3 s after textures off and the help page, the start picture is back" wait_until at_start_picture
plan_reads() { grep -c "^Reading plan from file \"$1\"" "$E2E_WORK/stdout"; }
check "the reset reads the plan the kiosk was started with" [ "$(plan_reads plan3.dat)" -ge 2 ]
check "the reset does not read plan.dat" [ "$(plan_reads plan.dat)" -eq 0 ]
keys slash i s t
away_from_start() { ! at_start_picture; }
check "Find shows its page" wait_until away_from_start
check "3 s after Find was opened, the start picture is back" wait_until at_start_picture

# Without Department.xml the walk goes on; with it back, the next lookup
# reads it and, after the reset, the room opens its page again.
mv "$E2E_WORK/data/Department.xml" "$E2E_WORK/data/Department.away"
key_times Up 4
check "a failing Department.xml is reported" wait_until grep -q '^Parse failed, error' "$E2E_WORK/stdout"
check "a failing Department.xml does not end the kiosk" running
strip_shows_notice() { shot unavailable && at_least "$(pixels_differing start unavailable 690x50+5+5)" 50; }
check "the strip shows a notice, not the corridor line" wait_until strip_shows_notice
mv "$E2E_WORK/data/Department.away" "$E2E_WORK/data/Department.xml"
# (A slow machine may have reset the floor meanwhile: walk on until a room is reached.)
step_until_second_call() { keys Up && sleep 0.3 && kiosk_calls_are 2; }
check "the restored Department.xml is read without a restart" wait_until step_until_second_call

kill -TERM "$VEVUV_PID"
wait_vevuv_exit
check "SIGTERM ends the kiosk with status 0" [ "$VEVUV_STATUS" -eq 0 ]
finish
