#!/usr/bin/env bash
# run.sh -- installs what is missing, builds, and runs vevuv in data/ on the
# shipped building. Without a display it runs on a virtual X server, saves
# a screenshot of the window and says where. Arguments go to vevuv.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

if [ -n "${DISPLAY:-}" ]; then
    ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" x11-utils
else
    ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}"
fi
build_vevuv -DBUILD_TESTING=OFF
cd "$VEVUV_ROOT/data"

if have_display; then
    exec "$VEVUV_BUILD/vevuv" "$@"
fi

# Headless: a private X server, one screenshot, then a clean stop.
screenshot="$VEVUV_BUILD/vevuv-screenshot.png"
# The server picks a free display number and writes it to display_file.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
vevuv_pid=""
trap '[ -n "$vevuv_pid" ] && kill $vevuv_pid 2>/dev/null; kill $xvfb_pid 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")
for _ in $(seq 50); do have_display && break; sleep 0.1; done
"$VEVUV_BUILD/vevuv" "$@" &
vevuv_pid=$!
window=""
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Vevuv"/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "vevuv did not open its window" >&2; exit 1; }
sleep 2
import -window "$window" "$screenshot"
echo "No display: vevuv ran on a virtual X server. Screenshot of its window: $screenshot"
