#!/usr/bin/env bash
# test.sh -- installs what the tests need, builds, and runs every test with
# CTest under a virtual X server (Mesa's software renderer): once plain
# (build/, with the soak and the benchmarks' smoke run), once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/); the libFuzzer
# harnesses are built with clang (build-fuzz/) and each runs for a short smoke
# check. The sanitized and fuzz builds are made while the plain suite runs.
# Extra arguments go to both ctest runs. Ends with the size of the tests
# against the product code.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

FUZZ_SMOKE_SECONDS=${FUZZ_SMOKE_SECONDS:-10}
# Build directories of the three builds; the defaults are the usual ones.
PLAIN_BUILD=${VEVUV_PLAIN_BUILD:-$VEVUV_ROOT/build}
ASAN_BUILD=${VEVUV_ASAN_BUILD:-$VEVUV_ROOT/build-asan}
FUZZ_BUILD=${VEVUV_FUZZ_BUILD:-$VEVUV_ROOT/build-fuzz}
FUZZERS=(plan locator room_record sgi)

# Every part runs even when an earlier one fails; the status tells.
status=0
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
# The folders' order first: an include against it fails the run.
bash "$VEVUV_ROOT/scripts/check_layers.sh" || status=1
export LIBGL_ALWAYS_SOFTWARE=1

# Runs the suite of one build directory under its own virtual X server; when
# a test fails, the end of the server's log (xvfb.log there) is shown too.
run_suite() {
    (cd "$1" && xvfb-run -a -e "$1/xvfb.log" -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
        ctest --output-on-failure -j2 "${@:2}") \
        || { echo "End of the X server's log:"; tail -n 15 "$1/xvfb.log"; return 1; }
}

# Builds the fuzz harnesses with clang into $FUZZ_BUILD; logs stay there.
build_fuzzers() {
    mkdir -p "$FUZZ_BUILD"
    CC=clang CXX=clang++ cmake -S "$VEVUV_ROOT" -B "$FUZZ_BUILD" -DVEVUV_FUZZ=ON -DBUILD_TESTING=OFF \
        >"$FUZZ_BUILD/configure.log" 2>&1 || { cat "$FUZZ_BUILD/configure.log"; return 1; }
    cmake --build "$FUZZ_BUILD" --target fuzzers -j"$(nproc)" >"$FUZZ_BUILD/build.log" 2>&1 \
        || { grep -E -A5 'error|Error' "$FUZZ_BUILD/build.log" | head -80; return 1; }
}

# Runs each fuzzer briefly from its seed corpus, all at once. A run that finds
# a crash, a leak or a hang leaves the input in build-fuzz/smoke/ and fails.
run_fuzzers() {
    local name i work log status=0 pids=()
    echo "Fuzz smoke check, ${FUZZ_SMOKE_SECONDS} s per reader:"
    for name in "${FUZZERS[@]}"; do
        work=$FUZZ_BUILD/smoke/$name
        rm -rf "$work" && mkdir -p "$work/corpus" "$work/findings"
        "$FUZZ_BUILD/tests/fuzz/fuzz_$name" -max_total_time="$FUZZ_SMOKE_SECONDS" -timeout=25 \
            -close_fd_mask=3 -dict="$VEVUV_ROOT/tests/fuzz/$name.dict" \
            -artifact_prefix="$work/findings/" "$work/corpus" "$VEVUV_ROOT/tests/fuzz/corpus/$name" \
            >"$work/log" 2>&1 &
        pids+=($!)
    done
    for i in "${!FUZZERS[@]}"; do
        name=${FUZZERS[$i]}
        log=$FUZZ_BUILD/smoke/$name/log
        if wait "${pids[$i]}"; then
            echo "  fuzz_$name: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$log"), no finding"
        else
            echo "  fuzz_$name: FAILED; input kept in $FUZZ_BUILD/smoke/$name/findings/" >&2
            grep -E -A25 '^==[0-9]+==|runtime error|SUMMARY' "$log" | head -60 >&2
            status=1
        fi
    done
    return "$status"
}

# Non-blank lines of the C++, Python, shell and CMake files (and .ci/run)
# under tests/ against those outside tests/, data/ and docs/.
print_test_size() {
    local files tests product
    files=$(cd "$VEVUV_ROOT" && { git ls-files -co --exclude-standard 2>/dev/null || find . -type f | sed 's|^\./||'; } \
        | grep -E '\.(cpp|cc|h|hpp|py|sh)$|CMakeLists\.txt$|^\.ci/run$')
    tests=$(cd "$VEVUV_ROOT" && grep -E '^tests/' <<<"$files" | xargs -r cat | grep -c -v -E '^\s*$' || true)
    product=$(cd "$VEVUV_ROOT" && grep -v -E '^(tests|data|docs)/' <<<"$files" | xargs -r cat | grep -c -v -E '^\s*$' || true)
    echo "Test size: $tests non-blank lines under tests/, $product of product code," \
         "ratio $(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", t / p }') (at most 0.33)"
}

# Prints how far the run has come, in seconds since it started.
progress() { echo "-- $1 after ${SECONDS} s"; }

VEVUV_BUILD=$PLAIN_BUILD
# The plain build is optimised as a release is (gcc's deepest inlining finds
# the most warnings), and any warning fails it.
build_vevuv -DBUILD_TESTING=ON -DVEVUV_BENCH=ON -DCMAKE_BUILD_TYPE=Release -DVEVUV_WERROR=ON
progress "plain build done"

# The sanitized and fuzz builds go on in the background while the plain suite
# runs. The sanitized suite waits for its build, the longest path of the run,
# so that build shares the processors equally with the plain suite (which
# mostly waits on its virtual X servers); the fuzz build gives way to both.
(VEVUV_BUILD=$ASAN_BUILD; build_vevuv -DBUILD_TESTING=ON -DVEVUV_SANITIZE=ON) &
asan_build=$!
(renice -n 10 -p "$BASHPID" >/dev/null; build_fuzzers) &
fuzz_build=$!

run_suite "$PLAIN_BUILD" "$@" || status=1
progress "plain suite done"

# Sanitized suite: the first error ends the process; leaks of the GL, GLUT
# and X libraries (not ours) are suppressed by tests/lsan.supp. The soak runs
# in the plain suite only (its memory figures mean nothing under the
# sanitizer); every end-to-end run still ends with a leak check.
fuzz_smoke=""
if wait "$fuzz_build"; then
    run_fuzzers >"$FUZZ_BUILD/smoke.log" 2>&1 &
    fuzz_smoke=$!
else
    status=1
fi
if wait "$asan_build"; then
    progress "sanitized build done"
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
    export LSAN_OPTIONS=suppressions=$VEVUV_ROOT/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    echo "Sanitized suite (AddressSanitizer, UndefinedBehaviorSanitizer):"
    run_suite "$ASAN_BUILD" -E soak_short "$@" || status=1
    progress "sanitized suite done"
    unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
else
    status=1
fi
if [ -n "$fuzz_smoke" ]; then
    wait "$fuzz_smoke" || status=1
    cat "$FUZZ_BUILD/smoke.log"
    progress "fuzz smoke runs done"
fi
print_test_size
exit "$status"
