#!/bin/sh
# The remote registry service exists, is stopped and disabled, so that it starts only once sc's
# config has made it start on demand; sc is the recording stand-in. A library that records its
# loads lies beside the program as iphlpapi.dll and wsock32.dll, which remote-list.net.sh tells
# Wine to prefer there, as Windows would. A copy of the fault library makes the computer go away
# during the second read of its list of profiles.
"$(dirname "$0")/../remote-prefix.sh" "$1" disabled 'fault:mid-profiles:vanish ProfileList after=1' ||
    exit 1
for name in iphlpapi.dll wsock32.dll; do
    cp "$1/tests/e2e/planted_dll.dll" "$WINEPREFIX/drive_c/e2e/$name" || exit 1
done
