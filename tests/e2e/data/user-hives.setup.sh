#!/bin/sh
# HKEY_USERS\S-1-5-18 becomes a link to .Default, and the classes hive of user 1001 and the hive
# of user 1002 deny the reader every access (run with the scenario's WINEPREFIX and wineserver;
# the link is volatile and lasts while that server runs).
#   user-hives.setup.sh BUILD_DIR
set -eu
cp "$1/tests/e2e/deny_key.exe" "$WINEPREFIX/drive_c/e2e/"
wine 'C:\e2e\deny_key.exe' -link S-1-5-18 .Default \
    -empty-dacls S-1-5-21-7-8-9-1001_Classes -empty-dacls S-1-5-21-7-8-9-1002 </dev/null
