#!/usr/bin/env bash
# package_check.sh -- the Debian package of this build: built with cpack,
# unpacked with dpkg-deb -x into a scratch root; its files, dependencies,
# desktop entry, user unit and man pages checked, and the unpacked vevuv run
# on the unpacked building under Xvfb. Arguments: build directory, output directory.
scratch=$(mktemp -d /tmp/vevuv_package_XXXXXX)
root=$scratch/root
(cd "$1" && cpack -G DEB -B "$scratch/deb") >"$scratch/cpack.log" 2>&1 \
    && dpkg-deb -x "$scratch"/deb/vevuv_*.deb "$root" || { cat "$scratch/cpack.log"; exit 1; }
depends=$(dpkg-deb -f "$scratch"/deb/vevuv_*.deb Depends)
set -- "$root/usr/bin/vevuv" "$root/usr/share/vevuv" "$2"
source "$(dirname "$0")/../e2e/lib.sh"
trap 'e2e_cleanup; rm -rf "$scratch"' EXIT

for file in bin/vevuv bin/vevuv-check bin/vevuv-map share/vevuv/plan.dat share/vevuv/Department.xml \
            share/applications/vevuv.desktop lib/systemd/user/vevuv-kiosk.service \
            share/man/man1/vevuv.1 share/man/man1/vevuv-check.1 share/man/man1/vevuv-map.1; do
    check "the package holds /usr/$file" [ -s "$root/usr/$file" ]
done
for package in libglut libglu 'libgl\|libopengl' libxml2 xdg-utils; do
    check "the package depends on $package" grep -q "$package" <<<"$depends"
done
unit=$root/usr/lib/systemd/user/vevuv-kiosk.service
check "the unit runs the kiosk on the installed building" \
    grep -qx 'ExecStart=/usr/bin/vevuv --kiosk --data /usr/share/vevuv' "$unit"
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
    check "man renders $page.1 without warnings" [ -z "$(MANWIDTH=80 man --warnings \
        -l "$root/usr/share/man/man1/$page.1" 2>&1 >/dev/null)" ]
done

launch --data "$root/usr/share/vevuv"
quit_with Escape  # the unpacked vevuv reads the unpacked building
finish
