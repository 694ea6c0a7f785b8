#!/bin/sh
# The remote registry service exists, is stopped, and stays "start pending" once started; sc is
# the recording stand-in.
exec "$(dirname "$0")/../remote-prefix.sh" "$1" pending
