#!/usr/bin/env bash
# quit_e2e.sh -- how the real program starts and ends: 'Q' quits like 'q',
# a missing command-line plan ends it with status 255, a long absolute plan
# path is taken whole, and extra arguments are ignored.
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"

start_xvfb

# 'Q' (shifted) quits with one empty line and status 0.
prepare_data
start_vevuv
wait_for_window
keys shift+q
wait_vevuv_exit
check "'Q' exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
{ expected_world_lines plan.dat; echo '^$'; } >"$E2E_WORK/expected"
check "'Q' prints one empty line after the start-up lines" stdout_matches "$E2E_WORK/expected"

# A plan named on the command line that does not exist ends the program.
prepare_data
start_vevuv no_such_plan.dat
wait_vevuv_exit
check "a missing command-line plan exits with status 255" [ "$VEVUV_STATUS" -eq 255 ]
{
    expected_texture_lines
    echo "^$(regex_quote 'Cannot read maze from file "no_such_plan.dat"....exiting!')\$"
} >"$E2E_WORK/expected"
check "a missing command-line plan is named on standard output" \
    stdout_matches "$E2E_WORK/expected"

# A long absolute path is read whole; a later '1' reads the built-in plan.
prepare_data
long_dir="$E2E_WORK/data/plans kept for the exhibition week"
mkdir -p "$long_dir"
cp "$E2E_WORK/data/plan3.dat" "$long_dir/third floor during the renovation.dat"
start_vevuv "$long_dir/third floor during the renovation.dat"
wait_for_window
keys 1
keys Escape
wait_vevuv_exit
check "Esc after a command-line plan exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
{
    expected_world_lines "$long_dir/third floor during the renovation.dat"
    expected_world_lines plan.dat
    echo '^$'
} >"$E2E_WORK/expected"
check "a long command-line plan path is read whole, then '1' reads plan.dat" \
    stdout_matches "$E2E_WORK/expected"

# Two or more arguments are treated like none.
prepare_data
start_vevuv no_such_plan.dat another.dat
wait_for_window
keys Escape
wait_vevuv_exit
check "two arguments: the built-in plan, status 0" [ "$VEVUV_STATUS" -eq 0 ]
{ expected_world_lines plan.dat; echo '^$'; } >"$E2E_WORK/expected"
check "two arguments: the built-in plan's lines" stdout_matches "$E2E_WORK/expected"
check "nothing on standard error" stderr_empty

finish
