#!/usr/bin/env bash
# The Windows installer end to end, under 64-bit Wine in the prefix that
# WINEPREFIX names (made by scripts/test-windows):
#   e2e-installer.sh WINDOWS_BUILD_DIR LINUX_BIN_DIR WORK_DIR
# 1. `msiexec /i` installs the MSI silently into Program Files\TarveloV1,
#    with its Start-menu entry and its entry among the installed programs;
#    a second package of the same version (a rebuild: a new product code)
#    installs over it and leaves one entry;
# 2. the installed program runs on a virtual X display (Xvfb): the worked
#    example is typed with xdotool and calculated, and the three results are
#    copied out of their boxes through the clipboard;
# 3. the installed tarvelo.exe writes a report, which must equal the Linux
#    tarvelo's report of the same gas byte for byte, but for the line with
#    the time of writing, which is masked in both;
# 4. the program is closed, and its window position must be in the registry;
# 5. `msiexec /x` removes it: nothing of it may stay in Program Files, in
#    the Start menu or among the installed programs.
# SCREENSHOT=FILE keeps a picture of the window with its results.
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
dir=$1
linux_bin=$2
work=$3

fail() {
    echo "FAIL: $*"
    exit 1
}
[[ -n "${WINEPREFIX:-}" ]] || fail "WINEPREFIX must name a private Wine prefix"
msi=$(ls "$dir"/TarveloV1-*-win64.msi 2>/dev/null | head -1)
[[ -f "$msi" ]] || fail "no MSI in $dir; run scripts/build-windows-app first"
rm -rf "$work"
mkdir -p "$work"

installed="$WINEPREFIX/drive_c/Program Files/TarveloV1"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings_key='HKCU\Software\Marsk\TarveloV1'
gui_pid=
xvfb_pid=
cleanup() {
    [[ -n "$gui_pid" ]] && kill "$gui_pid" 2>/dev/null
    # Wine's programs before their display, which they would report lost.
    wineserver -k 2>/dev/null
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

# A virtual display first: Wine's desktop process, started by the first
# program of a session, keeps the display it found. A session that began
# without one (the test suite's) is ended, so that everything here has it.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [[ -s "$work/display" ]] && break
    sleep 0.2
done
exec 3>&-
[[ -s "$work/display" ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")
wineserver -k 2>/dev/null

# 1. Install.
wine msiexec /i "$(winepath -w "$msi")" /qn >"$work/install.log" 2>&1 ||
    fail "msiexec /i failed: $(cat "$work/install.log")"
for file in TarveloV1R1.exe tarvelo.exe TarveloV1_Kernel.dll TarveloV1_Help.chm \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
    [[ -f "$installed/$file" ]] || fail "$file was not installed into Program Files\\TarveloV1"
done
# Wine puts a per-machine shortcut into the user's Start menu; Windows into
# the one of all users. Either is fine here.
find "$WINEPREFIX/drive_c" -ipath '*start menu/programs/tarvelov1.lnk' | grep -q . ||
    fail "no Start-menu entry TarveloV1.lnk"
wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' >"$work/uninstall.txt"
grep -q 'DisplayName    REG_SZ    TarveloV1$' "$work/uninstall.txt" ||
    fail "no entry among the installed programs"
echo "installed: $(find "$installed" -type f | wc -l) files, Start-menu entry, uninstall entry"

"$src/packaging/windows/make-msi" "$dir" "$work/rebuilt.msi" >"$work/rebuild.log" 2>&1 ||
    fail "could not build a second package: $(cat "$work/rebuild.log")"
wine msiexec /i "$(winepath -w "$work/rebuilt.msi")" /qn >"$work/reinstall.log" 2>&1 ||
    fail "msiexec /i of a second package of the same version failed: $(cat "$work/reinstall.log")"
entries=$(wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' |
    grep -c 'DisplayName    REG_SZ    TarveloV1$')
[[ $entries == 1 ]] || fail "$entries entries among the installed programs after a same-version package"
msi=$work/rebuilt.msi
echo "a second package of the same version installed over the first: one entry"


# 2. The program, driven by keys.
wine "C:\\Program Files\\TarveloV1\\TarveloV1R1.exe" >"$work/program.log" 2>&1 &
gui_pid=$!
window=
for _ in $(seq 120); do
    window=$(xdotool search --name '^TarveloV1R1$' 2>/dev/null | head -1)
    [[ -n "$window" ]] && break
    sleep 0.5
done
[[ -n "$window" ]] || fail "the program's window did not appear: $(cat "$work/program.log")"
sleep 2
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"

# The name field has the focus; Tab walks through the sixteen percentage
# fields in the order CH4, C2H6, C3H8, ISO-C4H10, ..., CO2 (13), N2 (14),
# and on to the Calculate button, which Enter presses.
typeInto() { xdotool type --delay 40 "$1"; }
tab() { xdotool key --delay 60 --repeat "$1" Tab; }
typeInto "Erdgas H"
tab 1
typeInto 90
tab 1
typeInto 5
tab 1
typeInto 2
tab 10
typeInto 2
tab 1
typeInto 1
tab 3
xdotool key Return
sleep 2

# A result box takes the focus from a click only; its text is then copied
# with Ctrl+A, Ctrl+C and read from the X clipboard, which Wine serves.
# Positions in pixels from the window's top left: the boxes sit at
# twips (9240, 1320), (9240, 1800), (9240, 2280) of the client area (15
# twips a pixel), which begins under the menu bar.
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
menu=${MENU_BAR_PIXELS:-20}
results=()
for top in 1320 1800 2280; do
    xdotool mousemove --window "$window" $((9240 / 15 + 60)) $((top / 15 + 14 + menu)) click 1
    sleep 0.3
    xdotool key ctrl+a ctrl+c
    sleep 0.5
    results+=("$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')")
done
if [[ -n "${SCREENSHOT:-}" ]]; then
    import -window root "$SCREENSHOT"
fi
echo "window (${WIDTH}x${HEIGHT}) shows: ${results[*]}"
[[ "${results[*]}" == "9.94 805.8 10.38" ]] ||
    fail "the window shows '${results[*]}', expected 9.94 805.8 10.38"

# F1 opens the help: the command interpreter's `start` hands the CHM to
# Wine's viewer, hh.exe, whose window appears on the display.
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key F1
viewer=
for _ in $(seq 40); do
    viewer=$(xdotool search --onlyvisible --class '^hh\.exe$' 2>/dev/null | head -1)
    [[ -n "$viewer" ]] && break
    sleep 0.5
done
[[ -n "$viewer" ]] || fail "F1 opened no help viewer"
echo "F1: the help viewer hh.exe shows $(xdotool getwindowname "$viewer")"
# Closed again, so that the keys below reach the program.
for _ in $(seq 20); do
    xdotool search --onlyvisible --class '^hh\.exe$' 2>/dev/null | grep -q . || break
    xdotool windowfocus --sync "$viewer" 2>/dev/null
    xdotool key alt+F4
    sleep 0.5
done
xdotool search --onlyvisible --class '^hh\.exe$' 2>/dev/null | grep -q . && fail "the help viewer did not close"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"

# 3. The same gas through the installed command line and the Linux one.
wine "C:\\Program Files\\TarveloV1\\tarvelo.exe" report --name "Erdgas H" --lang de \
    --out "$(winepath -w "$work/windows.htm")" CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1 \
    >"$work/report.log" 2>&1 || fail "tarvelo.exe report failed: $(cat "$work/report.log")"
"$linux_bin/tarvelo" report --name "Erdgas H" --lang de --out "$work/linux.htm" \
    CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1 || fail "the Linux tarvelo report failed"
mask() { sed 's/Erstellt am [0-9.]* um [0-9:]*<br>/Erstellt am (date) um (time)<br>/' "$1"; }
[[ $(grep -c 'Erstellt am [0-9]\{4\}\.[0-9]\{2\}\.[0-9]\{2\} um [0-9]\{2\}:[0-9]\{2\}<br>' \
    "$work/windows.htm") == 1 ]] || fail "the Windows report has no one date line"
cmp <(mask "$work/windows.htm") <(mask "$work/linux.htm") ||
    fail "the reports differ: $(diff <(mask "$work/windows.htm") <(mask "$work/linux.htm") | head -5)"
echo "report: $(wc -c <"$work/windows.htm") bytes, equal to the Linux one but for the masked date line"

# 4. Close; the position is stored.
xdotool key alt+F4
for _ in $(seq 60); do
    kill -0 "$gui_pid" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$gui_pid" 2>/dev/null && fail "the program did not end after Alt+F4"
gui_pid=
wine reg query "$settings_key" /s 2>/dev/null | tr -d '\r' >"$work/settings.txt"
cat "$work/settings.txt" | sed -n '/REG_/p'
for value in Left Top; do
    grep -Eq "^ +$value +REG_SZ +[0-9]+$" "$work/settings.txt" ||
        fail "no $value under $settings_key\\frmMain"
done

# 5. Uninstall.
wine msiexec /x "$(winepath -w "$msi")" /qn >"$work/uninstall.log" 2>&1 ||
    fail "msiexec /x failed: $(cat "$work/uninstall.log")"
[[ -e "$installed" ]] && fail "left in Program Files: $(find "$installed" | head -5)"
find "$WINEPREFIX/drive_c" -ipath '*start menu*tarvelov1*' | grep -q . &&
    fail "the Start-menu entry is left"
wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ    TarveloV1$' &&
    fail "the entry among the installed programs is left"
echo "uninstalled: nothing left in Program Files, the Start menu or the installed programs"
