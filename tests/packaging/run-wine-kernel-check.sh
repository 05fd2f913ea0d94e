#!/usr/bin/env bash
# Runs the worked examples through a cross-built TarveloV1_Kernel.dll under
# Wine, and compares the report it writes with the Linux kernel's report of
# the same calculation:
#   run-wine-kernel-check.sh i686|x86_64 DLL SOURCE_DIR WORK_DIR TARVELO
# Exits 77 (skipped) when Wine, or its 32-bit part for i686, is missing.
set -uo pipefail
arch=$1
dll=$2
src=$3
work=$4
tarvelo=$5

skip() {
    echo "SKIP: $*"
    exit 77
}
command -v wine >/dev/null || skip "wine is not installed (scripts/install-deps --windows)"
command -v "$arch-w64-mingw32-gcc" >/dev/null || skip "$arch-w64-mingw32-gcc is not installed"
if [[ "$arch" == i686 && ! -d /usr/lib/i386-linux-gnu/wine ]]; then
    skip "32-bit Wine (wine32:i386) is not installed; the i686 DLL is checked by objdump only"
fi
[[ -f "$dll" ]] || { echo "FAIL: $dll was not built"; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cp "$dll" "$work/TarveloV1_Kernel.dll"
"$arch-w64-mingw32-gcc" -std=c11 -O2 -Wall -Wextra -Wconversion -Werror -static \
    -I "$src/tests/kernel" -o "$work/wine_kernel_check.exe" "$src/tests/packaging/wine_kernel_check.c" || exit 1

# A prefix of our own, so that the user's ~/.wine is never touched.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine's own start-up messages go to stderr; the program's verdict to stdout.
(cd "$work" && timeout 120 wine wine_kernel_check.exe TarveloV1_Kernel.dll 'report.html') \
    >"$work/out.crlf" 2>"$work/wine.txt"
status=$?
tr -d '\r' <"$work/out.crlf" >"$work/out.txt"
# Wine's server outlives the program by a few seconds; end it now.
timeout 30 wineserver -k 2>/dev/null || true
cat "$work/out.txt"
# Wine reports success even when it cannot start the program at all, so the
# program's own last line is the verdict.
if ((status != 0)) || ! grep -qx 'all worked examples bit-exact' "$work/out.txt"; then
    echo "FAIL: the check program did not pass under Wine (exit $status)"
    cat "$work/wine.txt"
    exit 1
fi

# The same calculation and name through the Linux kernel; only the line with
# the time of writing may differ.
"$tarvelo" report --name 'Wine <check>' --lang en --out "$work/linux.html" \
    CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1 || exit 1
if ! cmp -s <(grep -v 'Created on' "$work/report.html") <(grep -v 'Created on' "$work/linux.html"); then
    echo "FAIL: the report written under Wine differs from the Linux kernel's:"
    diff <(grep -v 'Created on' "$work/report.html") <(grep -v 'Created on' "$work/linux.html") | head -20
    exit 1
fi
echo "report written under Wine equals the Linux kernel's ($(wc -l <"$work/report.html") lines)"
