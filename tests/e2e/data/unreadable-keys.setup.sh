#!/bin/sh
# Takes read access away from one program key and from the native view's Uninstall key (run with
# the scenario's WINEPREFIX and wineserver).
#   unreadable-keys.setup.sh BUILD_DIR
set -eu
cp "$1/tests/e2e/deny_key.exe" "$WINEPREFIX/drive_c/e2e/"
wine 'C:\e2e\deny_key.exe' \
    'Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\B Locked' \
    'Software\Microsoft\Windows\CurrentVersion\Uninstall' </dev/null
