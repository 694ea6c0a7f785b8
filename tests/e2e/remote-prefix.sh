#!/bin/sh
# Makes a scenario's prefix look like a machine with a remote registry service: the test service
# registered as "remoteregistry" (start on demand), the recording sc stand-in as the system's sc
# (C:\windows\system32\sc.exe, which Wine runs under WINEDLLOVERRIDES "sc.exe=n") and a second
# copy planted beside the program, where a search for "sc" by name would find it first; that
# copy only records that it ran.
#   remote-prefix.sh BUILD_DIR [stopped|running|pending]
# Runs with the scenario's WINEPREFIX (and its wineserver) set; "pending" makes the service stay
# "start pending" whenever it is started.
set -eu
build=$1
state=${2:-stopped}
e2e="$WINEPREFIX/drive_c/e2e"
system="$WINEPREFIX/drive_c/windows/system32"
cp "$build/tests/e2e/fake_service.exe" "$e2e/fake_service.exe"
rm -f "$e2e/sc-log.txt" "$system/sc-log.txt"
[ "$state" = pending ] && : >"$e2e/fake_service.pending"
# Wine's own sc registers and starts the service, before the stand-in takes its place.
export WINEDLLOVERRIDES="mscoree=;mshtml="
wine 'C:\windows\system32\sc.exe' create remoteregistry 'binpath=' 'C:\e2e\fake_service.exe' \
    'start=' demand </dev/null
[ "$state" = running ] && wine 'C:\windows\system32\sc.exe' start remoteregistry </dev/null
# The prefix's program files are hard links shared with the pristine prefix: replace, never
# write through.
cp --remove-destination "$build/tests/e2e/sc_standin.exe" "$system/sc.exe"
cp "$build/tests/e2e/sc_standin.exe" "$e2e/sc.exe"
exit 0
