# Checks shared by the install-tree and the package tests; sourced, not run.
# Each prints what it found and returns non-zero on a fault.

# The installed command-line program gives the worked example.
check_calc() {
    local tarvelo=$1 out
    out=$(cd / && "$tarvelo" calc --lang en CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1 2>&1) || {
        echo "FAIL: $tarvelo calc failed: $out"
        return 1
    }
    if ! grep -Eq '^air/fuel ratio .* 9\.94$' <<<"$out" ||
       ! grep -Eq '^density .* 805\.8$' <<<"$out" ||
       ! grep -Eq '^calorific value .* 10\.38$' <<<"$out"; then
        echo "FAIL: $tarvelo calc printed"$'\n'"$out"$'\n'"expected 9.94, 805.8 and 10.38"
        return 1
    fi
    echo "ok: $tarvelo calc gives 9.94, 805.8, 10.38"
}

# The installed window program starts offscreen, loads the kernel from
# the expected file (it calls GasData_Init while loading its window) and
# keeps running. Settings go to a scratch configuration directory, never the
# user's.
check_window() {
    local program=$1 kernel=$2 scratch=$3 pid status
    rm -rf "$scratch/config" "$scratch/ld"
    mkdir -p "$scratch/config" "$scratch/ld"
    # The dynamic loader logs which files it maps, dlopen()ed ones included.
    (cd / && exec env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$scratch/config" \
        LD_DEBUG=files LD_DEBUG_OUTPUT="$scratch/ld/log" \
        "$program" >"$scratch/window.log" 2>&1) &
    pid=$!
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        status=$?
        echo "FAIL: $program ended within 2 s (exit $status):"
        cat "$scratch/window.log"
        return 1
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null
    if grep -Eiq 'cannot|could not|failed' "$scratch/window.log"; then
        echo "FAIL: $program complained while starting:"
        cat "$scratch/window.log"
        return 1
    fi
    if ! cat "$scratch/ld/log".* | grep -Fq "calling init: $kernel"; then
        echo "FAIL: $program did not load its kernel $kernel; it loaded:"
        cat "$scratch/ld/log".* | grep -F 'calling init:' | grep -i tarvelo
        return 1
    fi
    echo "ok: $program runs offscreen with the kernel $kernel"
}
