#!/bin/sh
# The remote registry service exists and runs; sc is the recording stand-in. A copy of the fault
# library makes every registry connection from the 3,000th on fail with 53 after 5 s, as
# connections to a computer that went away wait for their network time-out. Another makes the
# computer go away during the ninth read of a value of the first program key (its
# UninstallString: each value takes two reads).
exec "$(dirname "$0")/../remote-prefix.sh" "$1" running \
    'fault:gone:RegConnectRegistryW 53 after=3000 delay=5000' \
    'fault:mid-value:vanish {00000000-0000-4000-8000-000000000000} after=8'
