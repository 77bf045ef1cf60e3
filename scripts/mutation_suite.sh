#!/usr/bin/env bash
# mutation_suite.sh -- the suite as the mutation sample runs it, one mutant at
# a time: the same tests as the tool's default command (CTest under Xvfb
# without soak and benchmarks), the unit tests before the end-to-end scripts,
# and once a test has failed the rest stopped, since the verdict is made.
# Each run's output, headed by the mutation, is kept in LOG_FOLDER so that a
# kill can be traced to its test.
#   usage: mutation_suite.sh BUILD LOG_FOLDER, as the mutation tool's test command:
#   python3 ../shared/tools/mutants.py --build build --seed 1 \
#       --test "scripts/mutation_suite.sh {build} /tmp/mutants"
set -u
build=$1
log=$2/$(date +%s%N).log
mkdir -p "$2"
git -C "$(dirname "$0")/.." diff > "$log"

# Runs ctest with the given selection; on the first failure stops every test
# still running (the whole process group) and returns 1.
run_tests() {
    setsid xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" ctest --test-dir "$build" -j2 --timeout 120 \
        --stop-on-failure --output-on-failure "$@" >> "$log" 2>&1 &
    local pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        if grep -q -E '\*\*\*(Failed|Timeout|Exception)' "$log"; then
            kill -- "-$pid" 2>/dev/null
            wait "$pid"
            return 1
        fi
        sleep 1
    done
    wait "$pid"
}

run_tests -E "soak|bench|e2e|package" || exit 1
run_tests -E "soak|bench" -R "e2e|package"
