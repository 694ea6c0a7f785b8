#!/bin/sh
# Runs one end-to-end scenario of "another machine" (tests/e2e/scenarios/NAME.txt, through
# run-scenario.sh) inside private namespaces, so that nothing it does can leave this machine:
#   - a network namespace of its own with loopback up and no other interface or route;
#   - a UTS namespace whose host name is testpc (Wine's computer name becomes TESTPC);
#   - a mount namespace in which /etc/hosts maps localhost and testpc to 127.0.0.1, the name
#     service reads only that file and the resolver's only name server is loopback: no name
#     server is ever asked.
# Per scenario, beside the usual seed:
#   data/NAME.net.sh   sourced inside the namespaces before the scenario starts, to change the
#                      network (take loopback down, add lines to "$hosts", start peer
#                      namespaces, whose process ids go into "$peers" to be ended afterwards)
#   data/NAME.sc-log   what the system's sc (the recording stand-in) must have recorded, byte
#                      for byte (a missing log counts as empty); the copy planted beside the
#                      program must never run
# The program runs with WINEDLLOVERRIDES "sc.exe=n", so that the stand-in is the system's sc;
# data/NAME.net.sh may add to LS_DLL_OVERRIDES. The driver injects the fault library of
# remote-prefix.sh into every program it starts (LS_E2E_INJECT).
#   run-remote-scenario.sh NAME BUILD_DIR
# Prints the scenario's wall-clock time.
set -u
name=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ "${LS_REMOTE_INSIDE:-}" != "$name" ]; then
    # The shared pristine prefix is made out here, under the machine's own host name.
    "$here/../../tools/wine-prefix.sh" pristine "$build/wine" || exit 1
    net=$(mktemp -d "${TMPDIR:-/tmp}/ls-remote-$name.XXXXXX") || exit 1
    started=$(date +%s%N)
    LS_REMOTE_INSIDE=$name LS_REMOTE_NET=$net \
        unshare --net --uts --mount --propagation private "$0" "$name" "$build"
    status=$?
    elapsed=$((($(date +%s%N) - started) / 1000000))
    rm -rf "$net"
    expected="$here/data/$name.sc-log"
    planted="$build/wine/e2e-$name/drive_c/e2e/sc-log.txt"
    if [ -f "$planted" ]; then
        echo "FAIL the sc planted beside the program ran:"
        cat "$planted"
        status=1
    fi
    if [ $status -eq 0 ] && [ -f "$expected" ]; then
        log="$build/wine/e2e-$name/drive_c/windows/system32/sc-log.txt"
        [ -f "$log" ] || log=/dev/null
        if cmp -s "$expected" "$log"; then
            echo "sc command lines as expected"
        else
            echo "FAIL sc command lines: expected"
            cat "$expected"
            echo "found"
            cat "$log"
            status=1
        fi
    fi
    echo "$name: ${elapsed} ms"
    exit $status
fi

# Inside the namespaces.
net=$LS_REMOTE_NET
hosts="$net/hosts"
printf '127.0.0.1 localhost\n127.0.0.1 testpc\n' >"$hosts"
{ grep -v '^hosts:' /etc/nsswitch.conf; echo 'hosts: files'; } >"$net/nsswitch.conf"
echo 'nameserver 127.0.0.1' >"$net/resolv.conf"
mount --bind "$hosts" /etc/hosts &&
    mount --bind "$net/nsswitch.conf" /etc/nsswitch.conf &&
    mount --bind "$net/resolv.conf" /etc/resolv.conf || exit 1
hostname testpc || exit 1
ip link set lo up || exit 1
peers=""
export LS_DLL_OVERRIDES="sc.exe=n"
# Another computer's registry answers only while its Remote Registry service runs: the fault
# library that remote-prefix.sh puts there makes Wine's do the same in every program started.
export LS_E2E_INJECT='C:\e2e\windows\fault_dll.dll'
if [ -f "$here/data/$name.net.sh" ]; then
    . "$here/data/$name.net.sh" || { echo "network setup of $name failed"; exit 1; }
fi
"$here/run-scenario.sh" "$name" "$build"
status=$?
for peer in $peers; do kill "$peer" 2>/dev/null; done
exit $status
