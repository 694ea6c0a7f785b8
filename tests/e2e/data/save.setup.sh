#!/bin/sh
# Prepares C:\out for the save scenario (run with the scenario's WINEPREFIX and wineserver):
#   C:\out\folder.txt   a folder, whose name the program reaches by appending ".txt"
#   C:\out\locked.txt   a file that another program holds open for the whole scenario
#   save.setup.sh BUILD_DIR
set -eu
mkdir -p "$WINEPREFIX/drive_c/out/folder.txt"
out=$(cd "$WINEPREFIX/drive_c/out" && pwd -P)
printf 'held by another program\r\n' >"$out/locked.txt"

# The holder: a Wine process that keeps locked.txt open as its error output (to which nothing
# is written) until the scenario's wineserver is stopped. "ping -n" on the loopback address is
# the stock way to make a Windows command wait.
wine cmd /c 'ping -n 600 127.0.0.1 >nul 2>>C:\out\locked.txt' </dev/null >/dev/null 2>&1 &

# The scenario starts only once the file is really held open.
tries=0
until ls -l /proc/[0-9]*/fd 2>/dev/null | grep -qF -- "-> $out/locked.txt"; do
    tries=$((tries + 1))
    [ $tries -le 200 ] || { echo "nothing holds $out/locked.txt open" >&2; exit 1; }
    sleep 0.1
done
