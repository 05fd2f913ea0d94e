#!/usr/bin/env bash
# Checks a cross-built TarveloV1_Kernel.dll as a Windows caller sees it:
#   check-windows-kernel.sh i686|x86_64 DLL IMPORT_LIBRARY SOURCE_DIR WORK_DIR VERSION
# - exactly the exports Calculate, GasData_Init, Help, Save2File, undecorated,
#   with ordinals 1-4 in that order;
# - on i686, stdcall: the function behind each export is the compiler's
#   stdcall symbol (_Name@bytes) and every return pops its arguments;
# - imports from system DLLs only (the MinGW runtime is linked in);
# - the version resource: file and product version VERSION.0 (the product's);
# - a C caller compiled with the public header links through the import
#   library and imports the four plain names from TarveloV1_Kernel.dll.
# Exits 77 (skipped) when the DLL was not built because no cross compiler is
# installed, except in CI, where that is a failure.
set -uo pipefail
arch=$1
dll=$2
implib=$3
src=$4
work=$5
version=$6
tools=$arch-w64-mingw32

if [[ ! -f "$dll" ]]; then
    if ! command -v "$tools-g++" >/dev/null && [[ "${CI:-}" != true ]]; then
        echo "SKIP: $tools tools are not installed (scripts/install-deps --windows)"
        exit 77
    fi
    echo "FAIL: $dll was not built"
    exit 1
fi

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

headers=$("$tools-objdump" -p "$dll") || { echo "FAIL: objdump -p cannot read $dll"; exit 1; }

# Name table lines "[   0] Calculate": the number is the ordinal minus the base.
base=$(awk '/^Export Address Table -- Ordinal Base/ {print $NF; exit}' <<<"$headers")
names=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on=1; next}
             on && /^[[:space:]]*$/ {exit}
             on {gsub(/[][]/, " "); print $1 + base, $2}' base="${base:-0}" <<<"$headers")
expected=$'1 Calculate\n2 GasData_Init\n3 Help\n4 Save2File'
if [[ "$names" != "$expected" ]]; then
    fail "exports (ordinal name) are"$'\n'"$names"$'\n'"expected"$'\n'"$expected"
fi
address_count=$(awk '/^Export Address Table -- Ordinal Base/ {on=1; next}
                     on && /Export RVA/ {n++}
                     on && /^[[:space:]]*$/ {exit}
                     END {print n + 0}' <<<"$headers")
[[ "$address_count" == 4 ]] || fail "$address_count exported addresses, expected 4 (none by ordinal only)"

# Imports: system DLLs only, no libgcc_s, libstdc++ or libwinpthread.
while read -r import; do
    case "${import,,}" in
        kernel32.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*|user32.dll|advapi32.dll|shell32.dll) ;;
        *) fail "imports $import, which is not a system DLL" ;;
    esac
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")
grep -qi 'DLL Name: KERNEL32.dll' <<<"$headers" || fail "does not import KERNEL32.dll"

# stdcall on 32-bit: the callee pops 4 bytes per argument.
if [[ "$arch" == i686 ]]; then
    image_base=$(awk '/^ImageBase/ {print $2; exit}' <<<"$headers")
    disassembly=$("$tools-objdump" -d "$dll")
    declare -A pops=([Calculate]=0x10 [GasData_Init]=0 [Help]=0x8 [Save2File]=0x14)
    while read -r ordinal rva; do
        name=$(awk -v o="$ordinal" '$1 == o {print $2}' <<<"$expected")
        [[ -n "$name" ]] || continue
        address=$(printf '%08x' $((0x$image_base + 0x$rva)))
        # The function's block: from its symbol line to the next symbol line.
        block=$(awk -v a="$address" '$0 ~ "^" a " <" {on=1; print; next}
                                     on && /^[0-9a-f]+ </ {exit}
                                     on {print}' <<<"$disassembly")
        symbol=$(sed -n '1s/^[0-9a-f]* <\(.*\)>:$/\1/p' <<<"$block")
        bytes=$((${pops[$name]}))
        if [[ "$symbol" != "_$name@$bytes" ]]; then
            fail "export $name at $address is '${symbol:-no symbol}', expected the stdcall _$name@$bytes"
            continue
        fi
        returns=$(grep -E $'\t(repz |rep )?ret' <<<"$block")
        rets=$(sed -E 's/.*\t(repz |rep )?ret[lw]? *//' <<<"$returns" | sort -u)
        want=""
        ((bytes > 0)) && want=\$${pops[$name]}
        if [[ -z "$returns" ]]; then
            fail "$name: no return instruction found"
        elif [[ "$rets" != "$want" ]]; then
            fail "$name returns with 'ret ${rets//$'\n'/, }', expected 'ret $want' (callee pops $bytes bytes)"
        fi
    done < <(awk '/^Export Address Table -- Ordinal Base/ {on=1; next}
                  on && /Export RVA/ {gsub(/[][]/, " "); print $3, $4}
                  on && /^[[:space:]]*$/ {exit}' <<<"$headers")
fi

# The version resource, decompiled back to resource script.
resource=$("$tools-windres" -J coff -i "$dll" -O rc 2>&1) || fail "windres cannot read the resources: $resource"
commas=${version//./, }
for line in "FILEVERSION $commas, 0" "PRODUCTVERSION $commas, 0" \
            "VALUE \"FileVersion\", \"$version.0\"" "VALUE \"ProductVersion\", \"$version.0\"" \
            'VALUE "CompanyName", "Marsk"' 'VALUE "ProductName", "TarveloV1"' \
            'VALUE "OriginalFilename", "TarveloV1_Kernel.dll"'; do
    grep -qF "$line" <<<"$resource" || fail "version resource lacks '$line'"
done

# Link-time callers: the header's declarations must meet the import library.
rm -rf "$work"
mkdir -p "$work"
if "$tools-gcc" -std=c11 -Wall -Wextra -Werror -I"$src/kernel" \
        -o "$work/link_kernel_check.exe" "$src/tests/packaging/link_kernel_check.c" "$implib" \
        >"$work/link.log" 2>&1; then
    imported=$("$tools-objdump" -p "$work/link_kernel_check.exe" |
               awk '/DLL Name:/ {on = ($3 == "TarveloV1_Kernel.dll"); next}
                    on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3}' | sort | tr '\n' ' ')
    [[ "$imported" == "Calculate GasData_Init Help Save2File " ]] ||
        fail "a linked caller imports '$imported' from TarveloV1_Kernel.dll"
else
    fail "a caller does not link through the import library:"$'\n'"$(cat "$work/link.log")"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed for $dll"
    exit 1
fi
echo "$dll ($arch): 4 exports with ordinals 1-4, system imports only, version $version.0, links through its import library$([[ $arch == i686 ]] && echo ', stdcall')"
