#!/bin/sh
# The scan made no call after the first connection that failed (remote-lost.check.sh PREFIX DIR).
n=$(grep -c 'RegConnectRegistryW(testpc) -> 53' "$1/drive_c/e2e/gone/fault-log.txt")
[ "$n" -eq 1 ] || { echo "FAIL $n registry connections failed, not 1"; exit 1; }
echo "ok one registry connection failed"
