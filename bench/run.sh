#!/usr/bin/env bash
# run.sh -- builds the benchmarks and prints every figure (medians) for the
# shipped building and for the capacity building, under a virtual X server
# with Mesa's software renderer, then the wall crossings of a random walk
# of a million moves per plan. The tables also go to build-bench/bench_results.txt.
#
#   bench/run.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEVUV_BENCH_BUILD:-$root/build-bench}
cmake -S "$root" -B "$build" -DVEVUV_BENCH=ON >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target vevuv vevuv_bench vevuv_startup_probe vevuv_minimal_glut vevuv_wall_walk -j"$(nproc)" \
    >"$build.build.log" 2>&1 || { grep -E -A5 'error' "$build.build.log" | head -40; exit 1; }

work=$(mktemp -d /tmp/vevuv_bench_run.XXXXXX)
trap 'rm -rf "$work"' EXIT
points=$(python3 "$root/bench/make_capacity_building.py" --out "$work/capacity" --textures "$root/data")
room=$(echo "$points" | awk '$1 == "room" { print $2 "," $3 }')
corridor=$(echo "$points" | awk '$1 == "corridor" { print $2 "," $3 }')
bin=$build/bench

cat >"$work/figures.sh" <<SCRIPT
set -e
"$bin/vevuv_bench" --building="$root/data" --label="shipped building" \
    --probe="$bin/vevuv_startup_probe" --minimal="$bin/vevuv_minimal_glut" | grep -Ev '^(Reading|Strip:)'
"$bin/vevuv_bench" --building="$work/capacity" --label="capacity building" \
    --figures=frame,motion,find --room="$room" --corridor="$corridor" | grep -Ev '^(Reading|Strip:)'
echo "== where the frame's time goes: each way of drawing on against off =="
"$bin/vevuv_bench" --building="$root/data" --label="shipped building, parts" --figures=parts | grep -Ev '^(Reading|Strip:)'
"$bin/vevuv_bench" --building="$work/capacity" --label="capacity building, parts" \
    --figures=parts --corridor="$corridor" | grep -Ev '^(Reading|Strip:)'
echo "== random walk against the walls (moves that crossed a wall; goal 0) =="
"$bin/vevuv_wall_walk" --building="$root/data" --label="shipped building" | grep -Ev '^(Reading|Strip:)'
"$bin/vevuv_wall_walk" --building="$work/capacity" --label="capacity building" | grep -Ev '^(Reading|Strip:)'
bash "$root/bench/idle_cpu.sh" "$build/vevuv" "$root/data"
SCRIPT
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 3840x2160x24 -nolisten tcp -noreset" bash "$work/figures.sh" \
    | tee "$build/bench_results.txt"
