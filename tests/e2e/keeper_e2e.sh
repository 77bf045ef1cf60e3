#!/usr/bin/env bash
# keeper_e2e.sh -- the kiosk as its keeper meets it: a missing plan.dat on
# the out-of-order screen until it is back, a second kiosk on the display
# refused, a room's page as a QR code that a phone reads (no browser),
# SIGHUP reading the data again, and a data folder that cannot be entered
# shown instead of a restart loop. Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_data
data=$E2E_WORK/data
base=https://example.org/dept/

# True while the main window shows the out-of-order screen's dark blue.
out_of_order_shown() {
    shot fault ppm
    local red green blue
    read -r red green blue < <(region_stats fault.ppm 200x100+0+0 mean.r 200x100+0+0 mean.g 200x100+0+0 mean.b)
    between "$red" 0.06 0.10 && between "$green" 0.10 0.14 && between "$blue" 0.33 0.37
}
# Waits for the full-screen kiosk window, which may show no strip.
wait_for_kiosk_window() {
    timeout 20 xdotool search --sync --onlyvisible --name '^Vevuv$' >/dev/null || abort "no kiosk window"
    WINDOW_AREA=1024x768+0+0
}
# The text the QR codes on the screen read, one line each.
qr_text() { shot qr && zbarimg -q --raw "$E2E_OUT/qr.png"; }
printed() { grep -qxF -- "$1" "$E2E_WORK/stdout" "$E2E_WORK/stderr"; }

mv "$data/plan.dat" "$data/plan.away"
start_vevuv --kiosk --data "$data" --page-base "$base"
wait_for_kiosk_window
check "without plan.dat the out-of-order screen shows" wait_until out_of_order_shown
check "the console names plan.dat and the reason" \
    printed "vevuv: out of order: cannot read plan.dat: No such file or directory; trying again every 10 s"
check "the kiosk keeps running" kill -0 "$VEVUV_PID"

"$VEVUV_BIN" --kiosk --data "$data" >/dev/null 2>"$E2E_WORK/second.err"
check "a second kiosk on the display ends with status 1" [ $? -eq 1 ]
check "it names the process that holds the display" grep -qxF \
    "vevuv: another kiosk (process $VEVUV_PID) holds display $DISPLAY; ending" "$E2E_WORK/second.err"

mv "$data/plan.away" "$data/plan.dat"
back_within_15_s() { while [ "$SECONDS" -le 15 ]; do strip_visible && return 0; sleep 0.2; done; return 1; }
SECONDS=0
check "with plan.dat back the building returns within 15 s" back_within_15_s
check "the console says the kiosk is back" printed "vevuv: plan.dat can be read again; back in service"
stable_shot start

key_times Up 4
address=${base}publications/room304.html
check "in room 304 the QR code reads exactly $address" wait_until [ "$(qr_text)" = "$address" ]
code_box=$(convert "$E2E_OUT/qr.png" -crop 512x384+512+384 +repage -fill white +opaque black -format '%@' info:)
code_height=$(cut -d+ -f1 <<<"${code_box#*x}")
check "the code is at least a quarter of the window's height ($code_height of 768 pixels)" at_least "$code_height" 192
check "no browser is started in kiosk mode" [ "$(browser_calls)" -eq 0 ]

# SIGHUP with plan 2 in place of plan 1: read again, back to a start picture, no code.
cp "$data/plan2.dat" "$data/plan.dat"
kill -HUP "$VEVUV_PID"
check "the console says SIGHUP reads the data again" \
    wait_until printed "vevuv: SIGHUP: reading every data file again, back to the start picture"
plan_read_again() { [ "$(grep -c '^Reading plan from file "plan.dat".....done!' "$E2E_WORK/stdout")" -eq 2 ]; }
check "SIGHUP reads plan.dat again" wait_until plan_read_again
new_start() { shot now && at_least "$(pixels_differing start now "$SCENE_REGION")" 5000 && [ -z "$(qr_text)" ]; }
check "the start picture of the new plan shows, without a code" wait_until new_start
kill -TERM "$VEVUV_PID"
wait_vevuv_exit
check "SIGTERM still ends the kiosk with status 0" [ "$VEVUV_STATUS" -eq 0 ]

start_vevuv --kiosk --data /no/such/folder
wait_for_kiosk_window
check "a data folder that cannot be entered shows on the out-of-order screen" wait_until out_of_order_shown
check "the console names the folder" \
    printed "vevuv: out of order: cannot read /no/such/folder: No such file or directory; trying again every 10 s"
kill -TERM "$VEVUV_PID"
wait_vevuv_exit
check "that kiosk ran until SIGTERM" [ "$VEVUV_STATUS" -eq 0 ]
finish
