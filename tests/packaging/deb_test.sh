#!/bin/sh
# Builds the Debian package from a configuration of its own, installs it, checks that its
# files are in place, and removes it again. Needs root; exits 77 (skipped) without.
#   deb_test.sh SOURCE_DIR
set -eu
src=$1
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: installing a package needs root"
    exit 77
fi
if dpkg-query -W -f='${Status}' netcfg 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIPPED: netcfg is installed on this machine; the test leaves it alone"
    exit 77
fi
work=$(mktemp -d)
trap 'dpkg -r netcfg >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# A plain build of the program alone (no tests, no optimisation) keeps this quick; the
# vendor id is one the rule can be checked for.
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE= -DNETCFG_TESTS=OFF \
    -DNETCFG_BENCH=OFF -DUSB_VENDOR_ID=0abc >/dev/null
cmake --build "$work/build" --target netcfg netcfg-cli -- -j1 >/dev/null
(cd "$work/build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/build/netcfg_*.deb)
echo "built $(basename "$deb")"

fail() {
    echo "FAILED: $*"
    exit 1
}
dpkg-deb -f "$deb" Package | grep -qx netcfg || fail "package name"
# The version follows the title's: V1.01-02 becomes 1.01.02, Debian revision 1.
version=$(sed -n 's/.*NETCFG_TITLE.* V\([0-9]*\)\.\([0-9]*\)-\([0-9]*\)".*/\1.\2.\3-1/p' "$src/app/netcfg_dlg.h")
dpkg-deb -f "$deb" Version | grep -qx "$version" || fail "version is not $version"
# Debian's own checks find no error.
lintian "$deb" >"$work/lintian.log" 2>&1 || true
if grep -q '^E:' "$work/lintian.log"; then
    cat "$work/lintian.log"
    fail "lintian reports errors"
fi
dpkg-deb -f "$deb" Depends | grep -q "libwxgtk3.2-1" || fail "toolkit missing from Depends"

dpkg -i "$deb" >/dev/null
for f in /usr/bin/netcfg /usr/bin/netcfg-cli /usr/share/man/man1/netcfg-cli.1.gz \
    /usr/share/applications/netcfg.desktop \
    /usr/share/icons/hicolor/32x32/apps/netcfg.png /usr/lib/udev/rules.d/70-netcfg.rules \
    /usr/share/man/man1/netcfg.1.gz /usr/share/doc/netcfg/copyright; do
    [ -f "$f" ] || fail "$f not installed"
done
[ -x /usr/bin/netcfg ] || fail "/usr/bin/netcfg not executable"
grep -qx 'SUBSYSTEM=="usbmisc", KERNEL=="lp\[0-9\]\*", ATTRS{idVendor}=="0abc", TAG+="uaccess"' \
    /usr/lib/udev/rules.d/70-netcfg.rules || fail "udev rule"
grep -q '^Exec=netcfg$' /usr/share/applications/netcfg.desktop || fail "desktop entry"

dpkg -r netcfg >/dev/null
[ ! -e /usr/bin/netcfg ] || fail "/usr/bin/netcfg left after removal"
[ ! -e /usr/lib/udev/rules.d/70-netcfg.rules ] || fail "udev rule left after removal"
echo "installed, checked and removed"
