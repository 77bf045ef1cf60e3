#!/usr/bin/env bash
# pictures_e2e.sh -- the drawing of the building stays the same pixel for
# pixel: the walking view at the start, along the corridor and inside room
# 304 with the desk, and the pop-up view, each against its reference picture
# in tests/data/pictures/ (VEVUV_RECORD_PICTURES=1 writes them anew).
# Arguments: vevuv binary, data directory, output directory.
source "$(dirname "$0")/lib.sh"
PICTURES=$(cd "$(dirname "$0")/../data/pictures" && pwd)

# Compares shot $1 with its reference; on a difference keeps $1_diff.png.
same_as_reference() {
    if [ "${VEVUV_RECORD_PICTURES:-0}" = 1 ]; then
        cp "$E2E_OUT/$1.png" "$PICTURES/$1.png"
    fi
    local differing
    differing=$(compare -metric AE "$PICTURES/$1.png" "$E2E_OUT/$1.png" "$E2E_OUT/$1_diff.png" 2>&1 | cut -d' ' -f1)
    [ "$differing" = 0 ] || { echo "$1: $differing pixels differ, see $E2E_OUT/$1_diff.png" >&2; return 1; }
}

# Takes the picture once every key sent so far is handled, and compares it.
picture() {
    settle
    stable_shot "$1"
    check "picture '$1' is the reference picture" same_as_reference "$1"
}

launch
picture start
key_times Left 15
picture corridor
key_times Right 15
key_times Up 8
picture room_304
keys v
wait_until strip_hidden || fail "the strip did not hide on 'v'"
stable_shot popup
check "picture 'popup' is the reference picture" same_as_reference popup
keys v
quit_with Escape
finish
