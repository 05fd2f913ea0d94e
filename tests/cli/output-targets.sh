#!/usr/bin/env bash
# Where tarvelo's output lands, for every kind of target a user may name:
# a regular file (replaced whole, its permissions kept), a symbolic link, a
# FIFO with a reader, a device node (root only), /dev/stdout into a pipe and
# into a file, standard output on the full device, a batch run ended by a
# signal or by the file size limit, and one with standard output and error
# closed. Usage: output-targets.sh TARVELO DATA WORK
set -uo pipefail
tarvelo=$1 data=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
input=$data/mixed_comma.csv
expected=$data/mixed_comma.expected.csv
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
root=0; [[ $(id -u) == 0 ]] && root=1

# Each writer against each target: batch -o, and report --out.
for writer in batch report; do
    run() { # run TARGET: writes to TARGET, exit status in $status
        if [[ $writer == batch ]]; then
            "$tarvelo" batch "$input" -o "$1" 2>"$work/err"
        else
            "$tarvelo" report --name Gas --out "$1" CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1 2>"$work/err"
        fi
        status=$?
    }
    ok=0; [[ $writer == batch ]] && ok=2 # mixed_comma.csv holds failing rows
    complete() { # complete FILE: the whole output arrived
        if [[ $writer == batch ]]; then cmp -s "$1" "$expected"; else tail -c 9 "$1" | grep -q '</html>'; fi
    }

    # A regular file: replaced whole, mode kept, no temporary file left.
    dir=$work/$writer-regular && mkdir "$dir"
    echo old >"$dir/out" && chmod 640 "$dir/out"
    run "$dir/out"
    [[ $status == "$ok" ]] || fail "$writer regular: exit $status"
    complete "$dir/out" || fail "$writer regular: output incomplete"
    [[ $(stat -c %a "$dir/out") == 640 ]] || fail "$writer regular: mode $(stat -c %a "$dir/out")"
    [[ $(ls -A "$dir") == out ]] || fail "$writer regular: left $(ls -A "$dir")"

    # A symbolic link: the file it names is replaced, the link stays.
    dir=$work/$writer-link && mkdir -p "$dir/real"
    echo old >"$dir/real/out" && ln -s real/out "$dir/link"
    run "$dir/link"
    [[ -L $dir/link ]] || fail "$writer link: the link was replaced"
    complete "$dir/real/out" || fail "$writer link: output incomplete"

    # A FIFO with a reader: the reader gets everything, the FIFO stays.
    dir=$work/$writer-fifo && mkdir "$dir" && mkfifo "$dir/fifo"
    cat "$dir/fifo" >"$dir/received" &
    run "$dir/fifo"
    wait
    [[ $status == "$ok" ]] || fail "$writer fifo: exit $status"
    [[ -p $dir/fifo ]] || fail "$writer fifo: no longer a FIFO"
    complete "$dir/received" || fail "$writer fifo: the reader got $(wc -c <"$dir/received") bytes"

    # /dev/stdout into a pipe and into a file.
    run /dev/stdout | cat >"$work/$writer-piped"
    complete "$work/$writer-piped" || fail "$writer /dev/stdout | cat: nothing arrived"
    run /dev/stdout >"$work/$writer-redirected"
    complete "$work/$writer-redirected" || fail "$writer /dev/stdout > file: nothing arrived"
    [[ -L /dev/stdout ]] || fail "/dev/stdout is no longer a link"

    # Device nodes made in the scratch directory: they stay devices; the
    # full one fails the run with ENOSPC named on standard error.
    if ((root)); then
        dir=$work/$writer-dev && mkdir "$dir"
        mknod "$dir/null" c 1 3 && mknod "$dir/full" c 1 7
        run "$dir/null"
        [[ $status == "$ok" && -c $dir/null ]] || fail "$writer null device: exit $status"
        run "$dir/full"
        [[ $status == 1 && -c $dir/full ]] || fail "$writer full device: exit $status"
        grep -q 'No space left on device' "$work/err" || fail "$writer full device: $(cat "$work/err")"
        [[ $(ls -A "$dir" | tr '\n' ' ') == "full null " ]] || fail "$writer dev: left $(ls -A "$dir")"
    else
        echo "not tried without root (mknod): $writer into device nodes"
    fi
done

# Standard output on the full device: one line on stderr, exit status 1.
cleanArgs="--delimiter tab $data/tab_no_names.csv" # rows that all compute
for args in "calc CH4=100" "--help" "batch $cleanArgs" "batch $cleanArgs -o -" "batch $cleanArgs -o /dev/stdout"; do
    # shellcheck disable=SC2086
    "$tarvelo" $args >/dev/full 2>"$work/err"
    status=$?
    [[ $status == 1 ]] || fail "tarvelo $args >/dev/full: exit $status"
    grep -q 'No space left on device' "$work/err" || fail "tarvelo $args >/dev/full: '$(cat "$work/err")'"
    [[ $(grep -c . "$work/err") == 1 ]] || fail "tarvelo $args >/dev/full: not one line: $(cat "$work/err")"
done

# A signal that ends the process while a batch run waits for more input:
# the old output stays and the temporary file is gone. Job control, so that
# the background run does not ignore SIGINT and SIGQUIT.
set -m
for signal in TERM INT HUP QUIT PIPE ALRM USR1 USR2 XCPU; do
    dir=$work/signal-$signal && mkdir "$dir" && echo previous >"$dir/out.csv" && mkfifo "$dir/in"
    "$tarvelo" batch "$dir/in" -o "$dir/out.csv" 2>/dev/null &
    pid=$!
    exec 3>"$dir/in"
    head -3 "$input" >&3
    for _ in $(seq 50); do [[ $(ls "$dir" | grep -c tmp) == 1 ]] && break; sleep 0.1; done
    [[ $(ls "$dir" | grep -c tmp) == 1 ]] || fail "SIG$signal: no temporary file while running"
    kill -"$signal" "$pid"
    wait "$pid"
    status=$?
    exec 3>&-
    died=$((128 + $(kill -l "$signal")))
    [[ $status == "$died" ]] || fail "SIG$signal: exit $status, expected death by the signal"
    [[ $(cat "$dir/out.csv") == previous ]] || fail "SIG$signal: the old output changed"
    [[ $(ls "$dir" | tr '\n' ' ') == "in out.csv " ]] || fail "SIG$signal: left $(ls "$dir")"
done
set +m

# Beyond the file size limit: a message naming the file, exit 1, the old
# output kept, no temporary file.
dir=$work/fsize && mkdir "$dir" && echo previous >"$dir/out.csv"
clean=$data/tab_no_names.csv
(ulimit -f 1 && for _ in $(seq 100); do tail -n +2 "$clean"; done | cat "$clean" - |
    "$tarvelo" batch --delimiter tab - -o "$dir/out.csv" 2>"$dir/err")
status=$?
[[ $status == 1 ]] || fail "ulimit -f: exit $status"
grep -q "cannot write '$dir/out.csv': File too large" "$dir/err" || fail "ulimit -f: $(cat "$dir/err")"
[[ $(cat "$dir/out.csv") == previous && $(ls "$dir" | tr '\n' ' ') == "err out.csv " ]] ||
    fail "ulimit -f: left $(ls "$dir")"

# Out of memory (a 50 MB field under ulimit -v): a message, exit 1, the old
# output kept, no temporary file. Not under AddressSanitizer, which needs
# far more address space than any such limit.
if [[ -z ${ASAN_OPTIONS:-} ]]; then
    dir=$work/memory && mkdir "$dir" && echo previous >"$dir/out.csv"
    { echo name,CH4; head -c 50000000 /dev/zero | tr '\0' a; echo ,100; } >"$dir/in.csv"
    (ulimit -v 120000 && "$tarvelo" batch "$dir/in.csv" -o "$dir/out.csv" 2>"$dir/err")
    status=$?
    [[ $status == 1 ]] || fail "ulimit -v: exit $status"
    grep -q "out of memory" "$dir/err" || fail "ulimit -v: $(cat "$dir/err")"
    [[ $(cat "$dir/out.csv") == previous && $(ls "$dir" | tr '\n' ' ') == "err in.csv out.csv " ]] ||
        fail "ulimit -v: left $(ls "$dir")"
    rm -f "$dir/in.csv"
fi

# Standard output and error closed: the messages go nowhere, never into the
# output file.
"$tarvelo" batch "$input" -o "$work/closed.csv" >&- 2>&-
status=$?
[[ $status == 2 ]] || fail "closed descriptors: exit $status"
cmp -s "$work/closed.csv" "$expected" || fail "closed descriptors: the output holds $(head -2 "$work/closed.csv")"

((failures == 0)) && echo "all output targets passed"
exit $((failures > 0))
