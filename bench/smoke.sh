#!/usr/bin/env bash
# smoke.sh -- runs every benchmark figure once in its quick mode, on the
# shipped building and on the capacity building, and checks that each figure
# came out and measured the path it names. Nothing about time is checked.
#
#   bench/smoke.sh BENCH_BIN_DIR SHIPPED_DATA_DIR OUT_DIR
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: smoke.sh BENCH_BIN_DIR SHIPPED_DATA_DIR OUT_DIR" >&2
    exit 2
fi
# The figures need an X server; start a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 3840x2160x24 -nolisten tcp -noreset" bash "$0" "$@"
fi

bin=$1
data=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"

# Checks that a result file holds a line starting with the figure's name.
expect_figure() {
    if ! grep -q "^$2" "$1"; then
        echo "smoke.sh: figure \"$2\" missing from $1" >&2
        exit 1
    fi
}

# Checks that no figure reports a wrong path, a failed start or a decode mismatch.
expect_sound() {
    if grep -E "WRONG PATH|A START FAILED|DECODERS DISAGREE|cannot write" "$1" >&2; then
        echo "smoke.sh: a figure did not measure what it names (see $1)" >&2
        exit 1
    fi
}

"$bin/vevuv_bench" --building="$data" --label=shipped --quick \
    --probe="$bin/vevuv_startup_probe" --minimal="$bin/vevuv_minimal_glut" \
    >"$out/shipped.txt" 2>&1 || { cat "$out/shipped.txt"; exit 1; }
for figure in "start-up to first frame" "frame walking, start pose 700x500" "frame walking, corridor 700x500" \
              "frame one textured layer 700x500" "frame pop-up 700x500" "frame walking, corridor 1920x1080" \
              "frame pop-up 1920x1080" "frame walking, start pose 3840x2160" "frame pop-up 3840x2160" \
              "frame status strip alone 3840x2160" "motion step in a room" \
              "motion step in the corridor" "SGI decode 2048x2048 run-length" \
              "SGI decode 2048x2048 verbatim" "way planning to room" "frame walking, way shown" \
              "start-up to first frame, kiosk with touch face" "frame walking, touch face 1920x1080" \
              "tap on a key to its frame 1920x1080"; do
    expect_figure "$out/shipped.txt" "$figure"
done
expect_sound "$out/shipped.txt"

points=$(python3 "$here/make_capacity_building.py" --out "$out/capacity" --textures "$data")
room=$(echo "$points" | awk '$1 == "room" { print $2 "," $3 }')
corridor=$(echo "$points" | awk '$1 == "corridor" { print $2 "," $3 }')
"$bin/vevuv_bench" --building="$out/capacity" --label=capacity --quick \
    --figures=frame,motion,find --room="$room" --corridor="$corridor" \
    >"$out/capacity.txt" 2>&1 || { cat "$out/capacity.txt"; exit 1; }
for figure in "frame walking, start pose 700x500" "frame walking, corridor 3840x2160" "motion step in a room" "motion step in the corridor" \
              "way planning to room" "frame walking, way shown"; do
    expect_figure "$out/capacity.txt" "$figure"
done
expect_sound "$out/capacity.txt"
bash "$here/idle_cpu.sh" "$bin/../vevuv" "$data" 1 >"$out/idle.txt" 2>&1 || { cat "$out/idle.txt"; exit 1; }
for figure in "idle CPU, 700x500 window" "idle CPU, full-screen kiosk"; do
    expect_figure "$out/idle.txt" "$figure"
done
echo "smoke.sh: every figure ran once (times not checked)"
