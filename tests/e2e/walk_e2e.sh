#!/usr/bin/env bash
# walk_e2e.sh -- the real program on the shipped building, driven by keys:
# start-up lines, walking, the overhead view and its eye, the help page,
# textures off and on, a wall that stops the walk until 'w', and Esc.
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"

launch
stable_shot start

# The status strip (dark grey in a green frame, as launch waited for) shows white text.
check "status strip shows white text" between "$(region_max start 300x30+150+12)" 0.9 1.0

# Walking forward changes the picture.
key_times Up 3
scene_changed() { stable_shot walked; at_least "$(pixels_differing start walked $SCENE_REGION)" 15000; }
check "walking forward changes the picture" wait_until scene_changed

# 'v': the floor from above, surrounded by the dark background, no strip.
keys v
check "'v' hides the status strip" wait_until strip_hidden
stable_shot overhead
check "overhead view: the corners show the dark background" between "$(region_max overhead 60x60+0+0)" 0 0.1
check "overhead view: the floor lies in the middle" between "$(region_mean overhead 40x40+330+230)" 0.3 1.0
# The up arrow lowers the overhead eye, shown at once without a move.
keys Up
eye_lowered() { stable_shot lowered; at_least "$(pixels_differing overhead lowered $SCENE_REGION)" 5000; }
check "up arrow in the overhead view redraws the lower eye at once" wait_until eye_lowered
keys v
check "'v' again brings back the strip" wait_until strip_visible
stable_shot overhead_off
check "'v' again brings back the walking view" at_most "$(pixels_differing walked overhead_off $SCENE_REGION)" 3000

# F1: the help page replaces the building; F1 again brings back the strip.
keys F1
check "F1 hides the status strip" wait_until strip_hidden
stable_shot help
check "help page: its first line shows near the top left" between "$(region_max help 150x30+60+40)" 0.4 1.0
check "help page: no building, only text on the dark background" between "$(region_mean help 700x500+0+0)" 0 0.12
check "help page: nothing below its last line" between "$(region_max help 700x50+0+450)" 0 0.1
keys F1
check "F1 again brings back the status strip" wait_until strip_visible
stable_shot help_off
check "F1 again brings back the building as it was" at_most "$(pixels_differing walked help_off $SCENE_REGION)" 3000

# 't': the walls lose their textures at once, without a move; 't' brings them back.
keys t
untextured() { stable_shot plain; at_least "$(pixels_differing help_off plain $SCENE_REGION)" 5000; }
check "'t' redraws the walls untextured at once" wait_until untextured
keys t

# Turn west and walk along the corridor into the building's end wall.
key_times Left 15
key_times Up 45
settle
stable_shot wall_first
key_times Up 10
settle
stable_shot wall_again
check "walking into a wall many more times leaves the picture still" \
    at_most "$(pixels_differing wall_first wall_again $SCENE_REGION)" 3000

# With 'w' the same steps pass through the wall.
keys w
key_times Up 3
settle
stable_shot through
check "after 'w' the visitor passes through the wall" \
    at_least "$(pixels_differing wall_again through $SCENE_REGION)" 15000

# Esc: one empty line after the start-up lines, exit status 0.
quit_with Escape

finish
