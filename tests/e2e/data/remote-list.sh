#!/bin/sh
# Seed generator of every remote scenario (they all seed from remote-list): it only makes sure
# that the scenario runs inside the private namespaces of run-remote-scenario.sh, where no name
# lookup or echo can leave this machine, and stops it before the program starts otherwise. The
# registry data itself is remote-list.reg.
if [ -z "${LS_REMOTE_INSIDE:-}" ] || [ "$(hostname)" != testpc ]; then
    echo "remote scenarios run only through tests/e2e/run-remote-scenario.sh" >&2
    exit 1
fi
echo 'Windows Registry Editor Version 5.00'
