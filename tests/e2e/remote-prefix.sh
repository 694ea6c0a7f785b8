#!/bin/sh
# Makes a scenario's prefix look like a machine with a remote registry service: the test service
# registered as "remoteregistry" (start on demand, or disabled), the recording sc stand-in as the system's sc
# (C:\windows\system32\sc.exe, which Wine runs under WINEDLLOVERRIDES "sc.exe=n") and a second
# copy planted beside the program, where a search for "sc" by name would find it first; that
# copy only records that it ran.
#   remote-prefix.sh BUILD_DIR [stopped|running|pending|disabled [LINE...]]
# Runs with the scenario's WINEPREFIX (and its wineserver) set; "pending" makes the service stay
# "start pending" whenever it is started; "disabled" registers it with start type disabled, which
# Wine, like Windows, refuses to start (1058) until its start type is changed. Each LINE (say
# "start exit 5" or "start sleep 20000") becomes a line of the stand-in's sc-behaviour.txt, but
# for the fault library's lines "fault:..." (below).
set -eu
build=$1
state=${2:-stopped}
shift $(($# < 2 ? $# : 2))
e2e="$WINEPREFIX/drive_c/e2e"
system="$WINEPREFIX/drive_c/windows/system32"
cp "$build/tests/e2e/fake_service.exe" "$e2e/fake_service.exe"
rm -f "$e2e/sc-log.txt" "$system/sc-log.txt" "$system/sc-behaviour.txt"
[ "$state" = pending ] && : >"$e2e/fake_service.pending"
# Wine's own sc registers and starts the service, before the stand-in takes its place.
export WINEDLLOVERRIDES="mscoree=;mshtml="
start=demand
[ "$state" = disabled ] && start=disabled
wine 'C:\windows\system32\sc.exe' create remoteregistry 'binpath=' 'C:\e2e\fake_service.exe' \
    'start=' "$start" </dev/null
[ "$state" = running ] && wine 'C:\windows\system32\sc.exe' start remoteregistry </dev/null
# The prefix's program files are hard links shared with the pristine prefix: replace, never
# write through.
cp --remove-destination "$build/tests/e2e/sc_standin.exe" "$system/sc.exe"
cp "$build/tests/e2e/sc_standin.exe" "$e2e/sc.exe"
if [ "$state" = disabled ]; then
    # The stand-in is as strict as Windows' sc: "start=demand" in one piece prints the usage,
    # fails and leaves the service disabled (Start 4).
    services='HKLM\System\CurrentControlSet\Services\remoteregistry'
    if WINEDLLOVERRIDES="$WINEDLLOVERRIDES;sc.exe=n" wine 'C:\windows\system32\sc.exe' \
        '\\testpc' config remoteregistry start=demand </dev/null; then
        echo "the sc stand-in took start=demand in one piece"
        exit 1
    fi
    wine reg query "$services" /v Start </dev/null | grep -q 'REG_DWORD *0x4' ||
        { echo "the sc stand-in changed the start type for start=demand"; exit 1; }
    rm -f "$system/sc-log.txt"
fi
for line in "$@"; do
    case $line in fault:*) ;; *) printf '%s\n' "$line" >>"$system/sc-behaviour.txt" ;; esac
done
# Copies of the fault library: C:\e2e\windows, which the driver gives every program it starts
# (LS_E2E_INJECT) and which only answers RegConnectRegistryW as Windows does, while the service
# runs; and one C:\e2e\FOLDER per "fault:FOLDER:LINE[;LINE...]" argument, for the scenario to
# inject.
for fault in 'fault:windows:# Windows rules only' "$@"; do
    case $fault in fault:*) ;; *) continue ;; esac
    folder="$e2e/$(echo "$fault" | cut -d: -f2)"
    mkdir -p "$folder" && cp "$build/tests/e2e/fault_dll.dll" "$folder/"
    echo "$fault" | cut -d: -f3- | tr ';' '\n' >"$folder/faults.txt"
done
exit 0
