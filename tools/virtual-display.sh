#!/bin/sh
# Starts a virtual X display (Xvfb, 24 bits) on a display number that no other server holds,
# waits until it accepts clients (at most 10 s) and prints its name (":N").
#   virtual-display.sh PIDFILE [WIDTHxHEIGHT]   Xvfb's process id goes into PIDFILE, for the
#                                               caller to end it; the size defaults to 1280x1024
# Xvfb itself picks the number (-displayfd): servers started side by side never collide.
set -u
pidfile=$1
size=${2:-1280x1024}
numfile=$(mktemp "${TMPDIR:-/tmp}/ls-display.XXXXXX") || exit 1
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp </dev/null >/dev/null 2>&1 3>"$numfile" &
echo $! >"$pidfile"
tries=0
until [ -s "$numfile" ] && grep -q '^[0-9]' "$numfile"; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$(cat "$pidfile")" 2>/dev/null; then
        rm -f "$numfile"
        echo "no virtual display: Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.1
done
echo ":$(head -n 1 "$numfile")"
rm -f "$numfile"
