#!/usr/bin/env bash
# test.sh -- installs what the tests need, builds, and runs every test with
# CTest under a virtual X server (Mesa's software renderer).
set -euo pipefail
source "$(dirname "$0")/setup.sh"

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build_vevuv -DBUILD_TESTING=ON
cd "$VEVUV_BUILD"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ctest --output-on-failure -j2 "$@"
