#!/bin/sh
# Benchmarks of the scan, the search filter, column sorting, the column fit after a scan and the
# idle program, beside the registry's own cost of the same reads. For each N (default 500 2000 10000) it seeds a
# throwaway prefix with N program keys over both machine-wide views and two user hives (one in
# ten noise), repeats every measurement REPS times (default 5) and prints one table of medians
# with min and max, all from this run.
#   bench/run.sh [N...]        REPS=7 bench/run.sh 2000
# Two builds in one run: LS_BEFORE=/path/to/other/listsoftware.exe bench/run.sh 2000 runs, in
# every repetition, the same session with that program too (right after this tree's, without the
# idle part) and shows its figures as "before:<figure>".
set -u
cd "$(dirname "$0")/.."
top=$(pwd)
reps=${REPS:-5}
sizes=${*:-500 2000 10000}
scripts/setup.sh || exit 1
cmake --preset windows >/dev/null &&
    cmake --build --preset windows --target listsoftware driver registry_reads column_fit >/dev/null || exit 1

build="$top/build/windows"
root="$build/wine"
work="$build/bench"
tools/wine-prefix.sh pristine "$root" || exit 1
mkdir -p "$work"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
DISPLAY=$(tools/virtual-display.sh "$work/xvfb.pid") || exit 1
xvfb=$(cat "$work/xvfb.pid")
export DISPLAY
trap 'WINEPREFIX="$root/bench" wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT INT TERM

# median min max of the numbers on stdin
stats() { sort -n | awk '{v[NR]=$1} END {if (NR==0) {print "- - -"; exit} m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; printf "%.1f %.1f %.1f\n", m, v[1], v[NR]}'; }

# CPU ticks (utime+stime) and peak resident size of the program's process.
program_pid() { pgrep -f 'C:.bench.listsoftware.exe' | head -n 1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

results="$work/results.txt"
: >"$results"
for n in $sizes; do
    export WINEPREFIX="$root/bench"
    wineserver -k 2>/dev/null
    tools/wine-prefix.sh copy "$root" "$WINEPREFIX" || exit 1
    wineserver -p </dev/null >/dev/null 2>&1
    SHAPES=kinds tools/make-inventory.sh "$n" S-1-5-21-0-0-0-1000 S-1-5-21-0-0-0-1001 |
        iconv -f UTF-8 -t UTF-16 >"$WINEPREFIX/drive_c/seed.reg"
    wine regedit /S 'C:\seed.reg' </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/bench/before"
    [ -n "${LS_BEFORE:-}" ] && cp "$LS_BEFORE" "$WINEPREFIX/drive_c/bench/before/listsoftware.exe"
    cp "$build/listsoftware.exe" "$build/tests/e2e/driver.exe" "$build/bench/registry_reads.exe" \
        "$build/bench/column_fit.exe" "$WINEPREFIX/drive_c/bench/"
    kept=$(wine 'C:\bench\registry_reads.exe' reads | tr -d '\r' | awk '{print $3}')

    # Each repetition runs the reference readers and then the program, so that the scan and the
    # reads it is compared with are measured under the same conditions (Wine's speed here drifts
    # from minute to minute). One program run per repetition: scan, then filter and sort on its
    # rows, then idle.
    for r in $(seq "$reps"); do
        for mode in reads floor; do
            wine 'C:\bench\registry_reads.exe' "$mode" | tr -d '\r' | awk -v n="$n" -v m="$mode" '{print n, m, $2}'
        done >>"$results"
        sed -e "s/@KEPT@/$kept/g" bench/session.txt >"$work/session.txt"
        # The log of an earlier run must not answer the wait for "idle-start" below.
        rm -f "$work/driver-$n-$r.log"
        (cd "$work" && wine 'C:\bench\driver.exe' "Z:$(echo "$work/session.txt" | sed 's|/|\\|g')" \
            </dev/null >"$work/driver-$n-$r.log" 2>&1) &
        driver=$!
        # Idle: once the driver says so, measure the program's CPU over 10 s.
        while ! grep -q 'idle-start' "$work/driver-$n-$r.log" 2>/dev/null; do
            kill -0 $driver 2>/dev/null || break
            sleep 0.2
        done
        pid=$(program_pid)
        if [ -n "$pid" ]; then
            echo "$n memory $(awk '/VmHWM/ {print $2 / 1024}' "/proc/$pid/status")" >>"$results"
            t0=$(cpu_ticks "$pid")
            sleep 10
            t1=$(cpu_ticks "$pid")
            echo "$n idle $(( t1 - t0 ))" | awk '{print $1, $2, $3 / 10}' >>"$results"
            touch "$work/idle-done"
        fi
        wait $driver || { echo "driver failed (N=$n, run $r):"; tail -5 "$work/driver-$n-$r.log"; }
        rm -f "$work/idle-done"
        sed -n 's/^elapsed \([a-z-]*\) \([0-9.]*\) ms.*/\1 \2/p' "$work/driver-$n-$r.log" |
            awk -v n="$n" '{print n, $1, $2}' >>"$results"
        if [ -n "${LS_BEFORE:-}" ]; then
            sed -e "s/@KEPT@/$kept/g" -e 's|C:\\bench\\listsoftware.exe|C:\\bench\\before\\listsoftware.exe|' \
                -e '/^elapsed idle-start/,/^sleep 10500/d' bench/session.txt >"$work/session.txt"
            (cd "$work" && wine 'C:\bench\driver.exe' "Z:$(echo "$work/session.txt" | sed 's|/|\\|g')" \
                </dev/null >"$work/driver-before-$n-$r.log" 2>&1) ||
                { echo "driver failed (before, N=$n, run $r):"; tail -5 "$work/driver-before-$n-$r.log"; }
            sed -n 's/^elapsed \([a-z-]*\) \([0-9.]*\) ms.*/\1 \2/p' "$work/driver-before-$n-$r.log" |
                awk -v n="$n" '{print n, "before:" $1, $2}' >>"$results"
        fi
    done
    # The column fit: the list's own autosize and the program's fit over every row, in one
    # process on the same entries.
    wine 'C:\bench\column_fit.exe' "$reps" | tr -d '\r' | awk -v n="$n" '{print n, $1, $2}' >>"$results"
done

printf '\n%-7s %-15s %10s %10s %10s\n' N figure median min max
for n in $sizes; do
    for f in scan reads floor keystroke-floor filter-type filter-delete sort-text sort-whole sort-decimal \
        sort-date sort-size fit-autosize fit idle memory; do
        s=$(awk -v n="$n" -v f="$f" '$1 == n && $2 == f {print $3}' "$results" | stats)
        unit=ms
        [ "$f" = idle ] && unit="% core"
        [ "$f" = memory ] && unit=MiB
        printf '%-7s %-15s %10s %10s %10s  %s\n' "$n" "$f" $s "$unit"
        s=$(awk -v n="$n" -v f="before:$f" '$1 == n && $2 == f {print $3}' "$results" | stats)
        [ "$s" = "- - -" ] || printf '%-7s %-15s %10s %10s %10s  %s\n' "$n" "before:$f" $s "$unit"
    done
    awk -v n="$n" '$1 == n && $2 == "fit-same-widths" {print n, "fit-same-widths", $3}' "$results" |
        awk '{printf "%-7s %-15s %10s\n", $1, $2, $3}'
    scan=$(awk -v n="$n" '$1 == n && $2 == "scan" {print $3}' "$results" | stats | cut -d' ' -f1)
    reads=$(awk -v n="$n" '$1 == n && $2 == "reads" {print $3}' "$results" | stats | cut -d' ' -f1)
    floor=$(awk -v n="$n" '$1 == n && $2 == "floor" {print $3}' "$results" | stats | cut -d' ' -f1)
    awk -v n="$n" -v s="$scan" -v r="$reads" -v f="$floor" \
        'BEGIN {printf "%-7s %-15s %10.2f\n%-7s %-15s %10.2f\n", n, "scan/reads", s / r, n, "scan/floor", s / f}'
done
echo "raw figures: $results"
