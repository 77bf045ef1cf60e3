#!/usr/bin/env bash
# try_bad_inputs.sh -- makes the hand-made bad inputs (make_bad_inputs.py)
# and feeds each once to its reader through the fuzz harness (built with
# AddressSanitizer and UndefinedBehaviorSanitizer), printing for each the
# reader's console output, the harness's exit status, the time and the peak
# memory. A crash, a sanitizer report or a hang shows as a non-zero status.
# Arguments: the fuzz build directory, a scratch directory for the inputs.
set -u
FUZZ_BUILD=$(realpath "$1")
WORK=$(realpath -m "${2:-/tmp/vevuv_bad_inputs}")
HERE=$(cd "$(dirname "$0")" && pwd)

python3 "$HERE/make_bad_inputs.py" "$WORK" || exit 1
# The image harness skips very large images while fuzzing; not here.
export VEVUV_FUZZ_ALL_SIZES=1
failures=0
for kind in plan locator room_record sgi; do
    for input in "$WORK/$kind"/*; do
        echo "=== $kind/$(basename "$input")"
        # libFuzzer's own lines start with INFO:, Running: or Executed; drop them.
        output=$( { /usr/bin/time -f "__stats %e s, %M kB" timeout 60 \
            "$FUZZ_BUILD/tests/fuzz/fuzz_$kind" -rss_limit_mb=4096 "$input"; } 2>&1 )
        status=$?
        echo "$output" | grep -a -v -E '^(INFO:|Running:|Executed |MERGE|\*\*\*|__stats)' \
            | grep -a -v '^$' | cut -c1-300 | head -20
        echo "--- status $status, $(echo "$output" | sed -n 's/^__stats //p')"
        [ "$status" -eq 0 ] || failures=$((failures + 1))
    done
done
echo "$failures input(s) ended with a non-zero status"
[ "$failures" -eq 0 ]
