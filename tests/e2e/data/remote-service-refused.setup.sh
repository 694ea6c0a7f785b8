#!/bin/sh
# The remote registry service exists and runs; sc is the recording stand-in. Two copies of the
# fault library, one per failure of the service manager.
"$(dirname "$0")/../remote-prefix.sh" "$1" running || exit 1
for fault in 'denied:OpenSCManagerW 5' 'missing:OpenServiceW 1060'; do
    folder="$WINEPREFIX/drive_c/e2e/${fault%%:*}"
    mkdir -p "$folder" && cp "$1/tests/e2e/fault_dll.dll" "$folder/" || exit 1
    printf '%s\n' "${fault#*:}" >"$folder/faults.txt"
done
