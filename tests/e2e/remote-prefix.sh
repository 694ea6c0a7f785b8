#!/bin/sh
# Makes a scenario's prefix look like a machine with a remote registry service: the test service
# registered as "remoteregistry" (start on demand) and the recording sc stand-in beside the
# program, where the program's search for "sc" finds it before Wine's own.
#   remote-prefix.sh BUILD_DIR [stopped|running|pending]
# Runs with the scenario's WINEPREFIX (and its wineserver) set; "pending" makes the service stay
# "start pending" whenever it is started.
set -eu
build=$1
state=${2:-stopped}
e2e="$WINEPREFIX/drive_c/e2e"
cp "$build/tests/e2e/fake_service.exe" "$e2e/fake_service.exe"
cp "$build/tests/e2e/sc_standin.exe" "$e2e/sc.exe"
rm -f "$e2e/sc-log.txt"
[ "$state" = pending ] && : >"$e2e/fake_service.pending"
wine 'C:\windows\system32\sc.exe' create remoteregistry 'binpath=' 'C:\e2e\fake_service.exe' \
    'start=' demand </dev/null
[ "$state" = running ] && wine 'C:\windows\system32\sc.exe' start remoteregistry </dev/null
exit 0
