#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs the installed
# programs and removes the package again:
#   check-package.sh BUILD_DIR WORK_DIR WITH_APP(0|1)
# This changes the machine's installed packages, so it runs only where that
# is wanted: in CI (CI=true, on a throw-away machine) or when
# TARVELO_TEST_PACKAGE=1 is set. It needs root and apt-get, and leaves alone
# a machine on which the package is already installed. Exits 77 (skipped)
# otherwise.
set -uo pipefail
build=$1
work=$2
with_app=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}
if [[ "${CI:-}" != true && "${TARVELO_TEST_PACKAGE:-}" != 1 ]]; then
    skip "installs the package system-wide; set TARVELO_TEST_PACKAGE=1 to run it (CI=true does)"
fi
((EUID == 0)) || skip "apt-get install needs root"
command -v apt-get >/dev/null || skip "apt-get is missing"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps is missing (scripts/install-deps --package)"
if [[ "$(dpkg-query -W -f='${Status}' tarvelo 2>/dev/null)" == "install ok installed" ]]; then
    skip "the package tarvelo is already installed on this machine; not touching it"
fi

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    echo "FAIL: cpack failed:"
    cat "$work/cpack.log"
    exit 1
}
debs=("$work"/tarvelo_*.deb)
[[ -f "${debs[0]}" && ${#debs[@]} == 1 ]] || { echo "FAIL: no single tarvelo_*.deb in $work"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
field() { dpkg-deb -f "$deb" "$1"; }

[[ "$(field Package)" == tarvelo ]] || fail "Package is '$(field Package)'"
[[ "$(field Version)" == 1.1.0 ]] || fail "Version is '$(field Version)', expected 1.1.0"
[[ "$(field Section)" == science ]] || fail "Section is '$(field Section)'"
[[ -n "$(field Maintainer)" ]] || fail "no Maintainer"
[[ "$(field Recommends)" == *xchm* ]] || fail "Recommends '$(field Recommends)' lacks xchm"
depends=$(field Depends)
# The package names alone, one a line: "libc6 (>= 2.34)" gives libc6.
depend_names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
wanted=(libc6 libstdc++6 xdg-utils)
[[ "$with_app" == 1 ]] && wanted+=(libqt6core6 libqt6gui6 libqt6widgets6)
for package in "${wanted[@]}"; do
    grep -Fxq "$package" <<<"$depend_names" || fail "Depends lacks $package: $depends"
done
# The pictures are compiled in as PNG: no SVG plug-in is needed.
grep -q '^libqt6svg' <<<"$depend_names" && fail "Depends names Qt's SVG module: $depends"
echo "Depends: $depends"

# From here on the package is installed; remove it whatever happens.
remove() {
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tarvelo >"$work/remove.log" 2>&1
}
cleanup() {
    remove
    dpkg --purge tarvelo >/dev/null 2>&1
}
trap cleanup EXIT
# Without the recommended viewer and its desktop libraries: the programs must
# run with what Depends names, and CI stays quick.
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
        >"$work/install.log" 2>&1; then
    echo "FAIL: apt-get install failed:"
    cat "$work/install.log"
    exit 1
fi
echo "installed with apt-get"

[[ "$(command -v tarvelo)" == /usr/bin/tarvelo ]] || fail "tarvelo is not on PATH as /usr/bin/tarvelo"
check_calc tarvelo || failures=$((failures + 1))
if [[ "$with_app" == 1 ]]; then
    check_window /usr/bin/TarveloV1R1 /usr/lib/TarveloV1/libTarveloV1_Kernel.so "$work/window" ||
        failures=$((failures + 1))
    [[ -f /usr/lib/TarveloV1/TarveloV1_Help.chm ]] || fail "the help file is not beside the program"
    [[ -f /usr/share/applications/com.marsk.TarveloV1.desktop ]] || fail "no desktop entry installed"
fi

trap - EXIT
if ! remove; then
    fail "apt-get remove failed: $(cat "$work/remove.log")"
fi
[[ "$(dpkg-query -W -f='${Status}' tarvelo 2>/dev/null)" != "install ok installed" ]] ||
    fail "tarvelo is still installed after apt-get remove"
for path in /usr/bin/tarvelo /usr/bin/TarveloV1R1 /usr/lib/TarveloV1; do
    [[ ! -e "$path" ]] || fail "$path is left after apt-get remove"
done
# dpkg remembers a removed package until it is purged (its maintainer
# scripts run ldconfig); leave the machine's package list as it was.
dpkg --purge tarvelo >/dev/null 2>&1 || fail "dpkg --purge tarvelo failed"
echo "removed again"

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "the package installs, runs and is removed cleanly"
