#!/usr/bin/env bash
# room_visit_e2e.sh -- the real program walked from its start into a room of
# the shipped building: the browser opens that room's page once, a second
# room opens nothing more, and the desk moves into the room.
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"

# Prints the room number and its Publications text for a plan position,
# read from the data files independently of the program: the first locator
# record whose bounding box holds the point, then its Room in the XML.
room_at() {
    python3 - "$E2E_DATA" "$1" "$2" <<'PY'
import sys, xml.etree.ElementTree as ET
data, x, y = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
tokens = open(data + "/qor3rdfloor.inp").read().split()
i = tokens.index("description") + 1
while i < len(tokens) and tokens[i] != "0":
    shape, name = int(tokens[i]), tokens[i + 1][1:-1]
    count = 10 if shape == 5 else 6
    values = [float(t) for t in tokens[i + 2:i + 2 + 2 * count]]
    xs, ys = values[0::2], values[1::2]
    i += 2 + 2 * count
    if min(xs) <= x <= max(xs) and min(ys) <= y <= max(ys):
        for room in ET.parse(data + "/Department.xml").iter("Room"):
            if room.findtext("Room_Number") == name:
                print(name, room.findtext("Publications"))
                sys.exit(0)
print("none")
PY
}

# The walk below starts at the plan's start point, plan (4.5, 2.7), facing
# +y; each arrow step is 0.4 world units, 0.4 / 3 plan units.
read -r start_x start_y _ < <(tail -n1 "$E2E_DATA/plan.dat")
[ "$start_x" = 4.5 ] && [ "$start_y" = 2.7 ] ||
    abort "the shipped plan no longer starts at plan (4.5, 2.7); adjust this walk"
read -r first_room first_page < <(room_at 4.5 "$(awk 'BEGIN { print 2.7 + 4 * 0.4 / 3 }')")
read -r second_room _ < <(room_at 4.5 "$(awk 'BEGIN { print 2.7 - 4 * 0.4 / 3 }')")
read -r corridor _ < <(room_at 4.5 2.7)
[ "$first_room" != none ] && [ "$second_room" != none ] && [ "$corridor" = none ] ||
    abort "four steps ahead and back from the start no longer lead into rooms"

launch
stable_shot start

# Four steps ahead: into the first room; its page opens once.
key_times Up 4
settle
stable_shot in_first_room
check "the status line changes inside the room" at_least "$(pixels_differing start in_first_room 690x50+5+5)" 50
check "the browser is started for room $first_room" wait_until [ "$(browser_calls)" -ge 1 ]
printf '1\n%s\n' "$first_page" >"$E2E_WORK/expected_call"
check "the browser receives exactly the page of room $first_room" \
    cmp -s "$E2E_WORK/expected_call" "$(find "$E2E_WORK/calls" -name 'call.*' ! -name '*.tmp' | head -n1)"

# Back at the start, the desk now stands in the room seen through its door.
key_times Down 4
settle
stable_shot back_at_start
check "back in the corridor, the status line is the corridor's again" \
    at_most "$(pixels_differing start back_at_start 690x50+5+5)" 20
check "the desk shows in room $first_room through its door" \
    at_least "$(pixels_differing start back_at_start $SCENE_REGION)" 500

# Four steps back from the start: into the second room; no new page.
key_times Down 4
settle
sleep 1
check "room $second_room opens no second page" [ "$(browser_calls)" -eq 1 ]
# (Memory over many visits: the soak, and the sanitized run's leak check at exit.)

quit_with Escape  # no console lines from the visits

finish
