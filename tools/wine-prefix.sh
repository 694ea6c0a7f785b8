#!/bin/sh
# Wine prefixes of the build tree.
#   wine-prefix.sh pristine ROOT   make ROOT/pristine once (wineboot, about 15 s) and keep it
#   wine-prefix.sh fresh ROOT      replace ROOT/test with a copy of the pristine prefix
#   wine-prefix.sh stop ROOT       stop the wineserver of ROOT/test
#   wine-prefix.sh copy ROOT DEST  replace DEST with a copy of the pristine prefix
# A copy takes about 15 MB, not 700: the program files (.dll, .exe, ...: 98 % of a prefix, and
# never written once wineboot has made them) are hard links to the pristine ones. Every other
# file is a copy of its own, since Wine rewrites some in place (registry files, .ini files).
set -e
cmd=$1
root=$2
[ -n "$root" ] || { echo "usage: $0 pristine|fresh|stop ROOT | copy ROOT DEST" >&2; exit 2; }
mkdir -p "$root"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="

pristine() {
    [ -f "$root/pristine/.done" ] && return 0
    (
        flock 9
        if [ ! -f "$root/pristine/.done" ]; then
            rm -rf "$root/pristine"
            WINEPREFIX="$root/pristine" wineboot -i >/dev/null 2>&1 || true
            WINEPREFIX="$root/pristine" wineserver -w
            [ -f "$root/pristine/system.reg" ] || { echo "wineboot failed" >&2; exit 1; }
            touch "$root/pristine/.done"
        fi
    ) 9>"$root/.lock"
}

copy() {
    rm -rf "$2"
    # Hard links need one file system; elsewhere a whole copy it is.
    cp -al "$1" "$2" 2>/dev/null || { rm -rf "$2"; cp -a "$1" "$2"; }
    find "$2" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
        -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' -o -iname '*.tlb' \
        -o -iname '*.msstyles' \) -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
}

case $cmd in
    pristine) pristine ;;
    fresh)
        pristine
        WINEPREFIX="$root/test" wineserver -k 2>/dev/null || true
        [ -f "$root/test/.xvfb-pid" ] && kill "$(cat "$root/test/.xvfb-pid")" 2>/dev/null
        copy "$root/pristine" "$root/test"
        # Tests that create windows need a display: a virtual one of the prefix's own.
        display=$("$(dirname "$0")/virtual-display.sh" "$root/test/.xvfb-pid")
        echo "$display" >"$root/test/.display"
        export DISPLAY="$display"
        # A persistent server makes each later wine start take a tenth of a second, not seconds.
        WINEPREFIX="$root/test" wineserver -p </dev/null >/dev/null 2>&1
        # Start the prefix's background services now, detached from the caller's output, so
        # that no test's output pipe is held open by a service that a test process started.
        WINEPREFIX="$root/test" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
        ;;
    copy)
        pristine
        [ -n "${3:-}" ] || { echo "usage: $0 copy ROOT DEST" >&2; exit 2; }
        copy "$root/pristine" "$3"
        ;;
    stop)
        WINEPREFIX="$root/test" wineserver -k 2>/dev/null || true
        [ -f "$root/test/.xvfb-pid" ] && kill "$(cat "$root/test/.xvfb-pid")" 2>/dev/null
        rm -f "$root/test/.xvfb-pid"
        ;;
    *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
