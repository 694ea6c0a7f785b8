#!/bin/sh
# The remote registry service exists and runs; sc is the recording stand-in.
exec "$(dirname "$0")/../remote-prefix.sh" "$1" running
