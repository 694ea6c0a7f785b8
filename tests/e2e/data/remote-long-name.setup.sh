#!/bin/sh
# The remote registry service exists and is stopped; sc is the recording stand-in.
exec "$(dirname "$0")/../remote-prefix.sh" "$1" stopped
