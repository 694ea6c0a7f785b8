#!/bin/sh
# Wine prefixes of the build tree.
#   wine-prefix.sh pristine ROOT   make ROOT/pristine once (wineboot, about 15 s) and keep it
#   wine-prefix.sh fresh ROOT      replace ROOT/test with a copy of the pristine prefix
#   wine-prefix.sh stop ROOT       stop the wineserver of ROOT/test
set -e
cmd=$1
root=$2
[ -n "$root" ] || { echo "usage: $0 pristine|fresh|stop ROOT" >&2; exit 2; }
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

case $cmd in
    pristine) pristine ;;
    fresh)
        pristine
        WINEPREFIX="$root/test" wineserver -k 2>/dev/null || true
        [ -f "$root/test/.xvfb-pid" ] && kill "$(cat "$root/test/.xvfb-pid")" 2>/dev/null
        rm -rf "$root/test"
        cp -a "$root/pristine" "$root/test"
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
    stop)
        WINEPREFIX="$root/test" wineserver -k 2>/dev/null || true
        [ -f "$root/test/.xvfb-pid" ] && kill "$(cat "$root/test/.xvfb-pid")" 2>/dev/null
        rm -f "$root/test/.xvfb-pid"
        ;;
    *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
