#!/usr/bin/env bash
# Installs the build tree into a scratch prefix with `cmake --install` and
# checks what a user would get:
#   check-install-tree.sh BUILD_DIR WORK_DIR WITH_APP(0|1)
# - exactly the expected files (no test or benchmark program, nothing missing);
# - the links in bin/ are relative and lead to the real programs, whose
#   RUNPATH is $ORIGIN, beside the kernel under its unversioned name and the
#   help file;
# - the installed tarvelo calculates, also after the prefix has been moved;
# - the window program starts offscreen and loads the installed kernel;
# - the PNG icons have their sizes, and the desktop entry, icon and metainfo
#   name each other consistently.
set -uo pipefail
build=$1
work=$2
with_app=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

id=com.marsk.TarveloV1
libdir=lib/TarveloV1
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    echo "FAIL: cmake --install failed:"
    cat "$work/install.log"
    exit 1
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expected="l bin/tarvelo
f $libdir/tarvelo
f $libdir/libTarveloV1_Kernel.so.1.0.0
l $libdir/libTarveloV1_Kernel.so.1
l $libdir/libTarveloV1_Kernel.so"
if [[ "$with_app" == 1 ]]; then
    expected+="
l bin/TarveloV1R1
f $libdir/TarveloV1R1
f $libdir/TarveloV1_Help.chm
f share/applications/$id.desktop
f share/metainfo/$id.metainfo.xml
f share/icons/hicolor/scalable/apps/$id.svg"
    for size in 16 32 48 64 128 256; do
        expected+=$'\n'"f share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
fi
actual=$(cd "$prefix" && find . ! -type d -printf '%y %P\n' | sort)
expected=$(sort <<<"$expected")
if [[ "$actual" != "$expected" ]]; then
    fail "installed files differ from the expected ones (< installed, > expected):"$'\n'"$(diff <(echo "$actual") <(echo "$expected"))"
fi

programs=(tarvelo)
[[ "$with_app" == 1 ]] && programs+=(TarveloV1R1)
for program in "${programs[@]}"; do
    link=$(readlink "$prefix/bin/$program")
    [[ "$link" == /* ]] && fail "bin/$program links to the absolute path $link"
    [[ "$(readlink -f "$prefix/bin/$program")" == "$(readlink -f "$prefix/$libdir/$program")" ]] ||
        fail "bin/$program does not lead to $libdir/$program"
    runpath=$(readelf -d "$prefix/$libdir/$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    [[ "$runpath" == '$ORIGIN' ]] || fail "$libdir/$program has RUNPATH '$runpath', expected '\$ORIGIN'"
done
[[ "$(readlink -f "$prefix/$libdir/libTarveloV1_Kernel.so")" == "$(readlink -f "$prefix/$libdir/libTarveloV1_Kernel.so.1.0.0")" ]] ||
    fail "libTarveloV1_Kernel.so does not lead to the kernel"

check_calc "$prefix/bin/tarvelo" || failures=$((failures + 1))
# Nothing may depend on the prefix the files were installed to.
mv "$prefix" "$work/moved"
check_calc "$work/moved/bin/tarvelo" || failures=$((failures + 1))
mv "$work/moved" "$prefix"

if [[ "$with_app" == 1 ]]; then
    real_dir=$(dirname "$(readlink -f "$prefix/bin/TarveloV1R1")")
    check_window "$prefix/bin/TarveloV1R1" "$real_dir/libTarveloV1_Kernel.so" "$work/window" ||
        failures=$((failures + 1))

    for size in 16 32 48 64 128 256; do
        png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
        # The PNG header: signature, then width and height in the IHDR chunk.
        read -r -a header < <(od -An -tu1 -N24 "$png" 2>/dev/null | tr '\n' ' ')
        width=$(((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19]))
        height=$(((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23]))
        [[ "${header[1]:-} ${header[2]:-} ${header[3]:-}" == "80 78 71" ]] || fail "$png is not a PNG"
        [[ "$width x $height" == "$size x $size" ]] || fail "$png is $width x $height, expected $size x $size"
    done

    desktop=$prefix/share/applications/$id.desktop
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "the desktop entry's icon '$icon' is not installed"
    exec=$(sed -n 's/^Exec=//p' "$desktop")
    [[ -x "$prefix/bin/${exec%% *}" ]] || fail "the desktop entry starts '$exec', which is not in bin/"
    metainfo=$prefix/share/metainfo/$id.metainfo.xml
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install tree in $prefix is complete and relocatable"
