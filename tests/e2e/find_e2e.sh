#!/usr/bin/env bash
# find_e2e.sh -- the real program finds a professor's room, shows the way
# there and walks the visitor in: '/', the name, Enter, 'g'; first the same
# typed at once over the help page. Also: a file broken while Find is open
# and 500 typed characters leave it running.
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"

# Pixels of a shot in the way's bright yellow.
yellow_pixels() {
    convert "$E2E_OUT/$1.png" -crop "$SCENE_REGION" +repage \
        -fx '(r>0.9&&g>0.75&&b<0.2)?1:0' -format '%[fx:round(mean*w*h)]' info:
}

launch

# Typed at once over the help page, before any redraw: Find closes the page
# and the locator file is read before the way is judged. '1' clears the way.
keys F1 slash 3 2 0 Return
key_times Right 15
early_way() { stable_shot early_way; at_least "$(yellow_pixels early_way)" 500; }
check "F1 / 320 Enter right after start shows the way to room 320" wait_until early_way
keys 1

# Face east along the corridor (15 x 6 degrees), where the way will run.
key_times Right 15
settle
stable_shot facing_east
check "no yellow way before a room is chosen" at_most "$(yellow_pixels facing_east)" 0

# Each picture is waited for: a loaded machine may draw it late.
keys slash i s t e r m
list_shown() { stable_shot find_list; at_least "$(pixels_differing facing_east find_list $SCENE_REGION)" 20000; }
check "Find replaces the building with its list" wait_until list_shown

keys Return
way_shown() { stable_shot way_shown; at_least "$(yellow_pixels way_shown)" 500; }
check "the way to room 320 shows on the floor" wait_until way_shown

# About 23 m at walking pace: give the walk up to a minute.
page_opened() { [ "$(browser_calls)" -ge 1 ]; }
walk_ended() { local i; for i in $(seq 6); do wait_until page_opened && return 0; done; return 1; }
keys g
check "walked into room 320: its page opens" walk_ended
printf '1\npublications/room320.html\n' >"$E2E_WORK/expected_call"
check "the page opened is room 320's" \
    cmp -s "$E2E_WORK/expected_call" "$(find "$E2E_WORK/calls" -name 'call.*' ! -name '*.tmp' | head -n1)"
way_gone() { stable_shot arrived; at_most "$(yellow_pixels arrived)" 0; }
check "on arrival the way is gone" wait_until way_gone

# Department.xml broken while Find is open: Find goes on; then 500 characters.
keys slash
cp "$E2E_WORK/data/Department.xml" "$E2E_WORK/Department.good"
printf '<Department><Room>' >"$E2E_WORK/data/Department.xml"
keys a
check "a broken Department.xml is reported" wait_until grep -q '^Department\.xml' "$E2E_WORK/stderr"
check "a broken Department.xml leaves Find running" kill -0 "$VEVUV_PID"
cp "$E2E_WORK/Department.good" "$E2E_WORK/data/Department.xml"
xdotool key --delay 2 $(printf 'x %.0s' $(seq 500))
keys BackSpace Escape
settle
check "500 typed characters leave it running" kill -0 "$VEVUV_PID"

keys Escape
wait_vevuv_exit
check "Esc exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
finish
