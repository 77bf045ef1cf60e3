#!/usr/bin/env bash
# quit_e2e.sh -- how the real program starts and ends: 'Q' and 'q' quit like Esc,
# a missing command-line plan ends it with status 255, and a long absolute
# plan path is taken whole.
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"

# 'Q' (shifted) quits with one empty line and status 0.
launch
quit_with shift+q

# A plan named on the command line that does not exist ends the program.
prepare_data
start_vevuv no_such_plan.dat
wait_vevuv_exit
check "a missing command-line plan exits with status 255" [ "$VEVUV_STATUS" -eq 255 ]
{ expected_texture_lines; echo "^$(regex_quote 'Cannot read maze from file "no_such_plan.dat"....exiting!')\$"; } \
    >"$E2E_WORK/expected"
check "a missing command-line plan is named on standard output" stdout_matches "$E2E_WORK/expected"

# A long absolute path is read whole; a later '1' reads the built-in plan.
prepare_data
long_dir="$E2E_WORK/data/plans kept for the exhibition week"
mkdir -p "$long_dir"
cp "$E2E_WORK/data/plan3.dat" "$long_dir/third floor during the renovation.dat"
start_vevuv "$long_dir/third floor during the renovation.dat"
wait_for_window
keys 1
{ expected_world_lines "$long_dir/third floor during the renovation.dat"; expected_world_lines plan.dat; } \
    >"$E2E_WORK/long_path_lines"
quit_with Escape "$E2E_WORK/long_path_lines"  # the long path read whole, then plan.dat on '1'

# 'q' quits like Esc.
launch
quit_with q

finish
