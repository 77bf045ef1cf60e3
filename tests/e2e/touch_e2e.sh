#!/usr/bin/env bash
# touch_e2e.sh -- the touch face of a kiosk at 1920 x 1080, driven by the
# pointer alone: Prof. Trevarnik's room through Find, the on-screen keyboard,
# his row and "Walk there" in 7 taps; room 312 through the map in 3 taps; the
# idle warning shown and ended by a tap; a missing font file survived; a tap
# on a wall and on the floor walks there.
# Arguments: vevuv binary, data
# directory, output directory.
E2E_SCREEN=1920x1080x24
source "$(dirname "$0")/lib.sh"

# Where the face puts its parts at 1920 x 1080 (buttons 87 pixels high along
# the bottom, the keyboard's keys 85 x 87 on the right half, Find's rows 87
# pixels high on the left half, the floor 1880 pixels wide on the map).
FIND_BUTTON="97 1026"; MAP_BUTTON="281 1026"; HELP_BUTTON="465 1026"; WALK_THERE="1860 1026"
KEY_T="1387 638"; KEY_R="1292 638"; KEY_E="1197 638"; KEY_V="1434 832"
FIRST_ROW="400 166"; MAP_ROOM_312="1068 672"
WELCOME_LINE=1880x70+20+890; CENTRE=960x300+480+390; WALK_THERE_AREA=150x60+1700+995

TAPS=0
# One tap (press and release without moving) at a pixel of the screen.
tap() { xdotool mousemove --sync $1 $2 click 1; TAPS=$((TAPS + 1)); }
# True once the strip has shown exactly this line (the face logs each new line).
strip_said() { grep -qxF "Strip: $1" "$E2E_WORK/stdout"; }
strip_said_like() { grep -qxE "Strip: $1" "$E2E_WORK/stdout"; }
# Pixels of a region of a shot in a colour close to rgb($3) (0 to 255 each).
colour_pixels() {
    convert "$E2E_OUT/$1.png" -crop "$2" +repage -fuzz 8% -fill black +opaque "rgb($3)" \
        -fill white -opaque "rgb($3)" -format '%[fx:round(mean*w*h)]' info:
}
WHITE=255,255,255; BLUE=31,64,140; YELLOW=255,217,0; GREEN=0,84,31; MAP_ROOM=237,237,224
# Takes a shot and counts a colour in a region of it.
shot_pixels() { shot "$1"; colour_pixels "$@"; }
# Restarts the kiosk on fresh data with the given extra arguments.
restart() {
    kill "$VEVUV_PID"; wait_vevuv_exit
    prepare_data
    start_vevuv --kiosk "$@"
    wait_for_window
}

launch --kiosk
stable_shot start
check "the start picture fills the screen" [ "$WINDOW_AREA" = 1920x1080+0+0 ]
check "the start picture shows the welcome line" at_least "$(colour_pixels start $WELCOME_LINE $WHITE)" 500
check "the start picture shows the blue buttons" at_least "$(colour_pixels start 150x60+20+995 $BLUE)" 3000
check "the strip's line is written to the console" wait_until strip_said "You are in the corridor"

# Find, T, R, E, V, his row, "Walk there".
tap $FIND_BUTTON
check "'Find' opens Find" wait_until strip_said "Find: "
for key in "$KEY_T" "$KEY_R" "$KEY_E" "$KEY_V"; do tap $key; done
check "the keyboard typed TREV" wait_until strip_said "Find: TREV"
shot find_trev
check "Find's first row lists room 317" at_least "$(colour_pixels find_trev 900x80+10+125 $WHITE)" 300
tap $FIRST_ROW
check "his row chooses room 317 and shows the way" \
    wait_until strip_said_like "Room 317 \(Prof\. B\. Trevarnik\): [0-9]+ m"
facing_way() { at_least "$(shot_pixels way 400x400+760+600 $YELLOW)" 5000; }
check "the view turns to face the way (yellow ahead)" wait_until facing_way
check "'Walk there' shows" at_least "$(colour_pixels way $WALK_THERE_AREA $YELLOW)" 3000
tap $WALK_THERE
arrived() { strip_said "Room 317 (Office of Prof. Trevarnik)"; }
walked_in() { local i; for i in $(seq 9); do wait_until arrived && return 0; done; return 1; }
check "'Walk there' walks him into room 317" walked_in
check "standing in Prof. Trevarnik's room took $TAPS taps, at most 7" [ "$TAPS" -le 7 ]
banner() { at_least "$(shot_pixels arrived $CENTRE $GREEN)" 20000; }
check "the banner 'You have arrived' shows" wait_until banner

# From a fresh start: Map, room 312, "Walk there".
restart
TAPS=0
tap $MAP_BUTTON
map_shown() { at_least "$(shot_pixels map $CENTRE $MAP_ROOM)" 50000; }
check "'Map' shows the floor from above" wait_until map_shown
tap $MAP_ROOM_312
check "tapping room 312 on the map chooses it" wait_until strip_said_like "Room 312 \(Prof\. A\. Dolvane\): [0-9]+ m"
tap $WALK_THERE
arrived_312() { strip_said "Room 312 (Office of Prof. Dolvane)"; }
walked_in_312() { local i; for i in $(seq 9); do wait_until arrived_312 && return 0; done; return 1; }
check "'Walk there' walks him into room 312" walked_in_312
check "room 312 took $TAPS taps, at most 3" [ "$TAPS" -le 3 ]

# The idle warning: the last 8 s of a 16 s idle reset (its numbers change
# every second, so single shots); a tap ends it and keeps the help page.
restart --idle-reset 16
tap $HELP_BUTTON
help_shown() { at_least "$(shot_pixels help 600x80+20+140 $YELLOW)" 300; }
check "'Help' opens the help page" wait_until help_shown
warned() { at_least "$(shot_pixels warning $CENTRE $YELLOW)" 2000; }
check "'Still there?' shows before the reset" wait_until warned
tap 960 540
warning_gone() { at_most "$(shot_pixels kept $CENTRE $YELLOW)" 0; }
check "a tap ends the warning" wait_until warning_gone
check "the tap keeps the help page open" help_shown

# Without the font files: one console note, the bitmap font, and the face still works.
VEVUV_FONT_DIR=/no/such/folder restart
missing_font_note='^Cannot read font file "/no/such/folder/DejaVuSans.ttf": drawing text with the bitmap font$'
check "a missing font file is one console note" [ "$(grep -c "$missing_font_note" "$E2E_WORK/stdout")" -eq 1 ]
tap $FIND_BUTTON
check "without the font 'Find' still opens Find" wait_until strip_said "Find: "

# Tap to go: the wall beside the door ahead leads into room 304; then the floor ahead.
tap $FIND_BUTTON
tap 150 400
check "a tap on a wall chooses the room behind it" \
    wait_until strip_said_like "Room 304 \(Prof\. G\. Lindquell\): [0-9]+ m"
check "and walks him in" wait_until strip_said "Room 304 (Graphics and Interaction Lab)"
tap 960 800
check "a tap on the floor walks him there" wait_until strip_said_like "Walking to the place you tapped: [0-9]+ m"

kill -TERM "$VEVUV_PID"
wait_vevuv_exit
check "SIGTERM ends the kiosk with status 0" [ "$VEVUV_STATUS" -eq 0 ]
finish
