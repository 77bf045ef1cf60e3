#!/usr/bin/env bash
# package_check.sh -- the Debian package of this build: built with cpack,
# lintian-clean, installed with dpkg into a scratch root (its own dpkg
# database, so nothing touches this machine); its files, dependencies,
# desktop entry, user unit and man pages checked; a keeper's file in
# etc/vevuv survives a reinstall, and the installed vevuv started from an
# empty folder reads the building through the lookup folders (moved into the
# scratch root with VEVUV_LOOKUP_FOLDERS). Arguments: build directory, output directory.
scratch=$(mktemp -d /tmp/vevuv_package_XXXXXX)
root=$scratch/root
(cd "$1" && cpack -G DEB -B "$scratch/deb") >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; exit 1; }
deb=$(echo "$scratch"/deb/vevuv_*.deb)
# Installs the package into the scratch root, as apt-get install --reinstall would.
install_package() {
    dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb" >"$scratch/dpkg.log" 2>&1 \
        || { cat "$scratch/dpkg.log"; return 1; }
}
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
install_package || exit 1
depends=$(dpkg-deb -f "$deb" Depends)
set -- "$root/usr/bin/vevuv" "$root/usr/share/vevuv" "$2"
source "$(dirname "$0")/../e2e/lib.sh"
trap 'e2e_cleanup; rm -rf "$scratch"' EXIT

check "lintian finds no error and no warning" lintian --fail-on error,warning "$deb"
for file in bin/vevuv bin/vevuv-check bin/vevuv-map share/vevuv/plan.dat share/vevuv/Department.xml \
            share/applications/vevuv.desktop lib/systemd/user/vevuv-kiosk.service \
            share/doc/vevuv/copyright share/doc/vevuv/changelog.gz share/icons/hicolor/scalable/apps/vevuv.svg; do
    check "the package holds /usr/$file" [ -s "$root/usr/$file" ]
done
check "the package ships nothing in /etc" [ -z "$(dpkg-deb -c "$deb" | grep ' \./etc/')" ]
for package in libglut libglu 'libgl\|libopengl' libxml2 libqrencode xdg-utils; do
    check "the package depends on $package" grep -q "$package" <<<"$depends"
done
unit=$root/usr/lib/systemd/user/vevuv-kiosk.service
check "the unit runs the kiosk on the looked-up building" grep -qx 'ExecStart=/usr/bin/vevuv --kiosk' "$unit"
check "the unit restarts the kiosk always" grep -qx 'Restart=always' "$unit"
check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/vevuv.desktop"
# The unit is verified with its paths moved into the scratch root, so that
# systemd can see the program it starts.
mkdir -p "$scratch/units" "$scratch/runtime" && chmod 700 "$scratch/runtime"
sed "s#/usr/#$root/usr/#g" "$unit" >"$scratch/units/vevuv-kiosk.service"
XDG_RUNTIME_DIR=$scratch/runtime systemd-analyze --user verify "$scratch/units/vevuv-kiosk.service" \
    >"$scratch/verify.log" 2>&1
verified=$?
if [ $verified -ne 0 ] && grep -q 'Failed to initialize manager\|command not found' "$scratch/verify.log"; then
    echo "skipped: systemd-analyze cannot run here"
else
    [ $verified -eq 0 ] || cat "$scratch/verify.log" >&2
    check "the unit passes systemd-analyze verify" [ $verified -eq 0 ]
fi
for page in vevuv vevuv-check vevuv-map; do
    check "man renders $page.1.gz without warnings" [ -z "$(MANWIDTH=80 man --warnings \
        -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)" ]
    check "$page --version answers" bash -c "'$root/usr/bin/$page' --version | grep -qx '$page 1\..*'"
done
for word in --kiosk --idle-reset --data --page-base --open-pages SIGHUP Backspace 'Left button drag'; do
    check "the man page tells of $word" grep -qF -- "$(sed 's/-/\\-/g' <<<"$word")" \
        <(zcat "$root/usr/share/man/man1/vevuv.1.gz")
done

# The keeper's Department.xml in etc/vevuv names its own page for room 304,
# which it also keeps there; a reinstall leaves both alone.
keeper=$root/etc/vevuv
mkdir -p "$keeper/publications"
sed 's#publications/room304.html#publications/keeper304.html#' "$root/usr/share/vevuv/Department.xml" \
    >"$keeper/Department.xml"
echo '<p>Kept by the keeper</p>' >"$keeper/publications/keeper304.html"
cp "$keeper/Department.xml" "$scratch/keeper.xml"
install_package
check "a reinstall keeps the keeper's Department.xml" cmp -s "$scratch/keeper.xml" "$keeper/Department.xml"
export VEVUV_LOOKUP_FOLDERS=$keeper:$root/usr/share/vevuv
mkdir -p "$scratch/empty"
(cd "$scratch/empty" && "$root/usr/bin/vevuv-check") >"$scratch/check.log"
check "vevuv-check from an empty folder passes the merged building" [ $? -eq 0 ]
check "vevuv-check says Department.xml came from etc/vevuv" \
    grep -qxF "Department.xml: taken from $keeper/Department.xml" "$scratch/check.log"
check "vevuv-check says plan.dat came from the shipped building" \
    grep -qxF "plan.dat: taken from $root/usr/share/vevuv/plan.dat" "$scratch/check.log"

# The installed kiosk, started in an empty folder, reads the shipped plan and
# the keeper's Department.xml: room 304's page is the keeper's.
launch_in_empty_folder() {
    start_xvfb
    prepare_data
    rm -rf "$E2E_WORK/data" && mkdir "$E2E_WORK/data"
    start_vevuv --kiosk --open-pages
    wait_for_window
}
launch_in_empty_folder
key_times Up 4
# (Four full-screen frames drawn in software may take a while on a busy machine.)
keeper_page_opened() { grep -qxF "$keeper/publications/keeper304.html" "$E2E_WORK"/calls/call.* 2>/dev/null; }
opened_within_20_s() { wait_until keeper_page_opened || wait_until keeper_page_opened; }
check "the browser gets the keeper's page of room 304" opened_within_20_s
check "the shipped plan is read" grep -qxF "Reading plan from file \"$root/usr/share/vevuv/plan.dat\".....done!" \
    "$E2E_WORK/stdout"
check "every texture is read" [ "$(grep -c '^Reading texture from file' "$E2E_WORK/stdout")" -eq 7 ]
finish
