# lib.sh -- shared helpers of the end-to-end scripts: a private virtual X
# server, a scratch copy of the building data with a recording xdg-open, the
# vevuv process, key presses through xdotool, and screenshot checks with
# tolerances. Source it with the script's three arguments:
#   path to the vevuv binary, path to the data directory, output directory.

set -u

E2E_NAME=$(basename "$0" .sh)
VEVUV_BIN=$(realpath "$1")
E2E_DATA=$(realpath "$2")
E2E_OUT=$3/$E2E_NAME
E2E_FAILURES=0

mkdir -p "$E2E_OUT"
rm -f "$E2E_OUT"/*.png "$E2E_OUT"/*.ppm
E2E_WORK=$(mktemp -d /tmp/vevuv_e2e_XXXXXX)
XVFB_PID=""
VEVUV_PID=""
VEVUV_WINDOW=""

# Stops what this script started and removes the scratch directory.
e2e_cleanup() {
    [ -n "$VEVUV_PID" ] && kill "$VEVUV_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

# Records a failed check and goes on with the next one.
fail() {
    echo "FAIL: $*" >&2
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Checks a condition given as a command; the first argument names the check.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

# Ends the script with the number of failed checks as its status.
finish() {
    if [ "$E2E_FAILURES" -eq 0 ]; then
        echo "$E2E_NAME: all checks passed"
        exit 0
    fi
    echo "$E2E_NAME: $E2E_FAILURES check(s) failed; screenshots in $E2E_OUT" >&2
    exit 1
}

# Stops the script at once when a precondition of the remaining checks fails.
abort() {
    fail "$*"
    finish
}

# Starts a virtual X server on a display number it picks itself, with a
# screen of E2E_SCREEN (default 1024x768x24).
start_xvfb() {
    local fd_file=$E2E_WORK/display
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$fd_file" 2>"$E2E_WORK/xvfb.log" &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    [ -s "$fd_file" ] || abort "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$fd_file")
    export LIBGL_ALWAYS_SOFTWARE=1
}

# Makes a fresh scratch copy of the data and a recording xdg-open on PATH.
# Each call of xdg-open leaves one file in $E2E_WORK/calls holding its
# argument count and then each argument on a line of its own.
prepare_data() {
    rm -rf "$E2E_WORK/data" "$E2E_WORK/bin" "$E2E_WORK/calls"
    cp -r "$E2E_DATA" "$E2E_WORK/data"
    mkdir -p "$E2E_WORK/bin" "$E2E_WORK/calls"
    cat >"$E2E_WORK/bin/xdg-open" <<EOF
#!/bin/sh
out="$E2E_WORK/calls/call.\$\$"
{ echo "\$#"; for a in "\$@"; do printf '%s\n' "\$a"; done; } > "\$out.tmp"
mv "\$out.tmp" "\$out"
EOF
    chmod +x "$E2E_WORK/bin/xdg-open"
}

# Number of recorded browser starts.
browser_calls() { find "$E2E_WORK/calls" -name 'call.*' ! -name '*.tmp' | wc -l; }

# Starts vevuv in the scratch data directory with the given arguments.
start_vevuv() {
    (cd "$E2E_WORK/data" && PATH="$E2E_WORK/bin:$PATH" exec "$VEVUV_BIN" "$@") \
        >"$E2E_WORK/stdout" 2>"$E2E_WORK/stderr" &
    VEVUV_PID=$!
}

# Waits for vevuv to end; sets VEVUV_STATUS (124 when it had to be killed).
wait_vevuv_exit() {
    local i
    for i in $(seq 100); do
        kill -0 "$VEVUV_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$VEVUV_PID" 2>/dev/null; then
        kill "$VEVUV_PID"
        wait "$VEVUV_PID" 2>/dev/null
        VEVUV_STATUS=124
    else
        wait "$VEVUV_PID"
        VEVUV_STATUS=$?
    fi
    VEVUV_PID=""
}

# Waits for the main window, puts it at the screen's top-left corner (no
# window manager places it, and GLUT leaves it at -1, -1, a pixel off the
# screen), gives it the keyboard focus and waits until the status strip
# has been drawn.
wait_for_window() {
    VEVUV_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vevuv$' | head -n1)
    [ -n "$VEVUV_WINDOW" ] || abort "the Vevuv window did not appear"
    xdotool windowmove --sync "$VEVUV_WINDOW" 0 0
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$VEVUV_WINDOW" | grep -E '^(WIDTH|HEIGHT)=')"
    WINDOW_AREA=${WIDTH}x${HEIGHT}+0+0
    xdotool windowfocus --sync "$VEVUV_WINDOW"
    wait_until strip_visible || abort "the status strip was never drawn"
}

# Presses keys in the focused main window.
keys() { xdotool key --delay 15 "$@"; }

# Presses one key n times.
key_times() {
    local key=$1 n=$2
    local list=()
    local i
    for ((i = 0; i < n; i++)); do list+=("$key"); done
    keys "${list[@]}"
}

# Saves the main window's picture, cut from a shot of the whole screen, as
# $1.png (or with the extension given as $2).
shot() {
    import -window root -crop "$WINDOW_AREA" +repage "$E2E_OUT/$1.${2:-png}"
}

# Like shot, but retakes it until two shots in a row agree, so that a frame
# caught while it was being copied to the screen never counts.
stable_shot() {
    local i
    shot "$1"
    for i in $(seq 10); do
        mv "$E2E_OUT/$1.png" "$E2E_WORK/previous.png"
        shot "$1"
        [ "$(compare -metric AE "$E2E_WORK/previous.png" "$E2E_OUT/$1.png" null: 2>&1 |
             cut -d' ' -f1)" = 0 ] && return 0
    done
    fail "the picture did not settle for shot $1"
}

# Statistics of regions of a screenshot: $1 names the shot, then pairs of a
# region WxH+X+Y and an ImageMagick fx expression (mean, mean.g, maxima...).
# Prints one value per pair, on one line.
region_stats() {
    local file=$E2E_OUT/$1
    shift
    local args=()
    while [ $# -ge 2 ]; do
        args+=( \( +clone -crop "$1" +repage -format "%[fx:$2] " -write info: +delete \) )
        shift 2
    done
    convert "$file" "${args[@]}" null:
    echo
}

# Mean brightness (0..1) of a region of a screenshot, over all channels or one.
region_mean() {
    local fx=mean
    [ -n "${3:-}" ] && fx=mean.$3
    region_stats "$1.png" "$2" "$fx" | tr -d ' '
}

# Brightest value (0..1) of any channel in a region of a screenshot.
region_max() { region_stats "$1.png" "$2" maxima | tr -d ' '; }

# Number of pixels of a region that differ by more than 10% between two shots.
pixels_differing() {
    compare -metric AE -fuzz 10% "$E2E_OUT/$1.png[$3]" "$E2E_OUT/$2.png[$3]" null: 2>&1 |
        cut -d' ' -f1
}

# True when x lies in [low, high] (decimal numbers).
between() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }

# True when the integer a is at least b, or at most b.
at_least() { [ "${1%.*}" -ge "$2" ]; }
at_most() { [ "${1%.*}" -le "$2" ]; }

# The scene part of the main window (below the status strip), 700 x 500.
SCENE_REGION=700x430+0+70

# True when the dark grey status strip shows: a patch inside its frame,
# left of the text, is grey 0.25 and the frame's top edge is green.
strip_visible() {
    shot strip_probe ppm
    local grey green red
    read -r grey green red < <(region_stats strip_probe.ppm 20x20+15+20 mean 600x1+50+5 mean.g 600x1+50+5 mean.r)
    between "$grey" 0.22 0.28 && between "$green" 0.5 1.0 && between "$red" 0 0.3
}

# True when the strip is gone in two shots in a row (one shot may catch a
# frame half copied to the screen).
strip_hidden() { ! strip_visible && ! strip_visible; }

# Retries a check every 0.2 s for up to 10 s.
wait_until() {
    local i
    for i in $(seq 50); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# Makes sure every event sent so far has been handled: switches the pop-up
# view on and off again and waits for the strip to hide and come back (X
# events are handled in order, so the earlier keys are done by then).
settle() {
    keys v
    wait_until strip_hidden || fail "the strip did not hide on 'v'"
    keys v
    wait_until strip_visible || fail "the strip did not come back on 'v'"
}

# Resident memory of vevuv, in kB.
vevuv_rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$VEVUV_PID/status"; }

# The seven texture lines that every world build writes, in load order:
# a file present in the data directory is read, a missing one is skipped.
expected_texture_lines() {
    local name
    for name in texture2.rgb tabletexture.rgb walltexture.rgb walltexture2.rgb \
                dolvane.rgb trevarnik.rgb person.rgb; do
        if [ -f "$E2E_DATA/$name" ]; then
            echo "^Reading texture from file \"$name\" \([0-9]+x[0-9]+x[0-9]+\)\$"
        else
            echo "^Cannot read texture file \"$name\"\.\.\.\.skipping!\$"
        fi
    done
}

# Escapes a text for an extended regular expression.
regex_quote() { printf '%s' "$1" | sed 's/[][\.*^$?+(){}|/]/\\&/g'; }

# Lines (extended regular expressions) of one world build reading the plan.
expected_world_lines() {
    expected_texture_lines
    echo "^$(regex_quote "Reading plan from file \"$1\".....done!")\$"
}

# Checks that vevuv's standard output matches the expected lines, one
# regular expression per line of the file $1, and holds nothing more.
stdout_matches() {
    local patterns=$1
    local expected actual i
    expected=$(wc -l <"$patterns")
    actual=$(wc -l <"$E2E_WORK/stdout")
    if [ "$expected" -ne "$actual" ]; then
        echo "expected $expected lines of output, got $actual:" >&2
        cat -A "$E2E_WORK/stdout" >&2
        return 1
    fi
    for ((i = 1; i <= expected; i++)); do
        if ! sed -n "${i}p" "$E2E_WORK/stdout" | grep -Eq "$(sed -n "${i}p" "$patterns")"; then
            echo "line $i: '$(sed -n "${i}p" "$E2E_WORK/stdout")' does not match" \
                 "'$(sed -n "${i}p" "$patterns")'" >&2
            return 1
        fi
    done
}

# True when vevuv wrote nothing to its standard error stream.
stderr_empty() {
    [ ! -s "$E2E_WORK/stderr" ] || { cat "$E2E_WORK/stderr" >&2; return 1; }
}

# Starts the program on a fresh copy of the data (arguments passed on) and
# waits for its window; starts the virtual X server first if there is none.
launch() {
    [ -n "$XVFB_PID" ] || start_xvfb
    prepare_data
    start_vevuv "$@"
    wait_for_window
}

# Ends the program with the given key and checks status 0, a console of the
# start-up lines (of plan.dat, or the lines in the file $2) and one empty line,
# and nothing on standard error.
quit_with() {
    keys "$1"
    wait_vevuv_exit
    check "'$1' exits with status 0" [ "$VEVUV_STATUS" -eq 0 ]
    { if [ -n "${2:-}" ]; then cat "$2"; else expected_world_lines plan.dat; fi; echo '^$'; } >"$E2E_WORK/expected"
    check "'$1': the start-up lines, then one empty line" stdout_matches "$E2E_WORK/expected"
    check "nothing on standard error" stderr_empty
}
