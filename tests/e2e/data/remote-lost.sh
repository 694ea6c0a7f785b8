#!/bin/sh
# Seed of remote-lost: 5,000 program keys, so that a scan of testpc still runs when the scenario
# cuts the connection. Like every remote seed, it is made only inside the private namespaces.
"$(dirname "$0")/remote-list.sh" >/dev/null || exit 1
exec "$(dirname "$0")/../../../tools/make-inventory.sh" 5000
