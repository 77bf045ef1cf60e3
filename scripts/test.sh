#!/usr/bin/env bash
# test.sh -- installs what the tests need, builds, and runs every test with
# CTest under a virtual X server (Mesa's software renderer): once plain
# (build/), once with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/); then builds the libFuzzer harnesses with clang (build-fuzz/)
# and runs each for a short smoke check. Extra arguments go to both ctest runs.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

FUZZ_SMOKE_SECONDS=${FUZZ_SMOKE_SECONDS:-20}
# Build directories of the three builds; the defaults are the usual ones.
PLAIN_BUILD=${VEVUV_PLAIN_BUILD:-$VEVUV_ROOT/build}
ASAN_BUILD=${VEVUV_ASAN_BUILD:-$VEVUV_ROOT/build-asan}
FUZZ_BUILD=${VEVUV_FUZZ_BUILD:-$VEVUV_ROOT/build-fuzz}
FUZZERS=(plan locator room_record sgi)

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
export LIBGL_ALWAYS_SOFTWARE=1

# Runs the suite of one build directory under its own virtual X server.
run_suite() {
    (cd "$1" && xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        ctest --output-on-failure -j2 "${@:2}")
}

# Plain build and suite.
# Every part runs even when an earlier one fails; the status tells.
status=0
VEVUV_BUILD=$PLAIN_BUILD
build_vevuv -DBUILD_TESTING=ON -DVEVUV_BENCH=ON
run_suite "$VEVUV_BUILD" "$@" || status=1

# Sanitized build and suite: the first error ends the process; leaks of the
# GL, GLUT and X libraries (not ours) are suppressed by tests/lsan.supp.
VEVUV_BUILD=$ASAN_BUILD
build_vevuv -DBUILD_TESTING=ON -DVEVUV_SANITIZE=ON
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$VEVUV_ROOT/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
echo "Sanitized suite (AddressSanitizer, UndefinedBehaviorSanitizer):"
run_suite "$VEVUV_BUILD" "$@" || status=1

# Fuzzers: built with clang, each run briefly from its seed corpus. A run
# that finds a crash, a leak or a hang leaves the input in build-fuzz/ and
# fails the test command.
mkdir -p "$FUZZ_BUILD"
CC=clang CXX=clang++ cmake -S "$VEVUV_ROOT" -B "$FUZZ_BUILD" -DVEVUV_FUZZ=ON -DBUILD_TESTING=OFF \
    >"$FUZZ_BUILD/configure.log" 2>&1 || { cat "$FUZZ_BUILD/configure.log"; exit 1; }
cmake --build "$FUZZ_BUILD" --target fuzzers -j"$(nproc)" >"$FUZZ_BUILD/build.log" 2>&1 \
    || { grep -E -A5 'error|Error' "$FUZZ_BUILD/build.log" | head -80; exit 1; }
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
echo "Fuzz smoke check, ${FUZZ_SMOKE_SECONDS} s per reader:"
fuzz_pids=()
for name in "${FUZZERS[@]}"; do
    work=$FUZZ_BUILD/smoke/$name
    rm -rf "$work" && mkdir -p "$work/corpus" "$work/findings"
    "$FUZZ_BUILD/tests/fuzz/fuzz_$name" -max_total_time="$FUZZ_SMOKE_SECONDS" -timeout=25 \
        -close_fd_mask=3 -dict="$VEVUV_ROOT/tests/fuzz/$name.dict" \
        -artifact_prefix="$work/findings/" "$work/corpus" "$VEVUV_ROOT/tests/fuzz/corpus/$name" \
        >"$work/log" 2>&1 &
    fuzz_pids+=($!)
done
for i in "${!FUZZERS[@]}"; do
    name=${FUZZERS[$i]}
    log=$FUZZ_BUILD/smoke/$name/log
    if wait "${fuzz_pids[$i]}"; then
        echo "  fuzz_$name: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$log"), no finding"
    else
        echo "  fuzz_$name: FAILED; input kept in $FUZZ_BUILD/smoke/$name/findings/" >&2
        grep -E -A25 '^==[0-9]+==|runtime error|SUMMARY' "$log" | head -60 >&2
        status=1
    fi
done
exit "$status"
