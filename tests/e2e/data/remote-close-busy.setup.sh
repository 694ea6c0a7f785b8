#!/bin/sh
# The service is stopped and sc's start takes 20 s; two copies of the fault library: one makes
# every service call take 500 ms longer, one every registry call 20 ms.
"$(dirname "$0")/../remote-prefix.sh" "$1" stopped 'start sleep 20000' || exit 1
for fault in 'slow-service:delay-service 500' 'slow-registry:delay-registry 20'; do
    folder="$WINEPREFIX/drive_c/e2e/${fault%%:*}"
    mkdir -p "$folder" && cp "$1/tests/e2e/fault_dll.dll" "$folder/" || exit 1
    printf '%s\n' "${fault#*:}" >"$folder/faults.txt"
done
