# setup.sh -- shared by run.sh and test.sh: install missing Debian packages
# quietly and build the project. Source it; do not run it.

VEVUV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VEVUV_BUILD=${VEVUV_BUILD:-$VEVUV_ROOT/build}

# Installs the named Debian packages that are not installed yet.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    local log
    log=$(mktemp)
    # apt's own chatter goes to a log that is shown only when it fails.
    { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"; } >"$log" 2>&1 \
        || { cat "$log" >&2; rm -f "$log"; echo "apt-get install failed" >&2; exit 1; }
    rm -f "$log"
}

BUILD_PACKAGES=(g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev
                libgl1-mesa-dri libxml2-dev libqrencode-dev libx11-dev libfreetype-dev fonts-dejavu-core)
RUN_PACKAGES=(xdg-utils fonts-dejavu-core)
HEADLESS_PACKAGES=(xvfb xauth imagemagick x11-utils)
TEST_PACKAGES=(libgtest-dev googletest xvfb xauth xdotool imagemagick x11-utils python3
               clang libclang-rt-14-dev valgrind libmagick++-dev libx11-dev
               dpkg-dev file desktop-file-utils man-db systemd lintian zbar-tools)

# Configures and builds into $VEVUV_BUILD; prints the logs only on failure.
build_vevuv() {
    mkdir -p "$VEVUV_BUILD"
    cmake -S "$VEVUV_ROOT" -B "$VEVUV_BUILD" "$@" >"$VEVUV_BUILD/configure.log" 2>&1 \
        || { cat "$VEVUV_BUILD/configure.log"; exit 1; }
    cmake --build "$VEVUV_BUILD" -j"$(nproc)" >"$VEVUV_BUILD/build.log" 2>&1 \
        || { grep -E -A5 'error|Error' "$VEVUV_BUILD/build.log" | head -80; exit 1; }
}
