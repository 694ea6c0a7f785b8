#!/bin/sh
# Neither library planted beside the program was loaded.
#   remote-list.check.sh WINEPREFIX WORKDIR
log="$1/drive_c/e2e/planted-dll-log.txt"
if [ -f "$log" ]; then
    echo "FAIL planted libraries were loaded:"
    cat "$log"
    exit 1
fi
echo "ok no planted library was loaded"
