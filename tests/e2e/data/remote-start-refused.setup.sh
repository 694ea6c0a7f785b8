#!/bin/sh
# The remote registry service is stopped; sc's start fails with 5 (access denied) and starts
# nothing.
exec "$(dirname "$0")/../remote-prefix.sh" "$1" stopped 'start exit 5'
