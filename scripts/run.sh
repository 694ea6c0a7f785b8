#!/bin/sh
# Installs what is missing, builds the program and starts it under Wine in a prefix of the
# project's own that holds a demo inventory (type "." and press Enter to list it).
# With $DISPLAY the window opens there; without one it runs on a virtual display, lists ".",
# saves a screenshot and says where.
set -u
cd "$(dirname "$0")/.."
top=$(pwd)
scripts/setup.sh || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows --target listsoftware driver ||
    exit 1

root="$top/build/windows/wine"
tools/wine-prefix.sh pristine "$root" || exit 1
export WINEPREFIX="$root/demo" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/.demo-inventory" ]; then
    tools/wine-prefix.sh copy "$root" "$WINEPREFIX" || exit 1
    iconv -f UTF-8 -t UTF-16 tools/demo/inventory.reg >"$WINEPREFIX/drive_c/demo-inventory.reg"
    wine regedit /S 'C:\demo-inventory.reg' </dev/null >/dev/null 2>&1 || exit 1
    touch "$WINEPREFIX/.demo-inventory"
fi
# A Wine session started without a display cannot show windows later: end any that is left.
wineserver -k 2>/dev/null
mkdir -p "$WINEPREFIX/drive_c/demo"
cp build/windows/listsoftware.exe build/windows/tests/e2e/driver.exe "$WINEPREFIX/drive_c/demo/"

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting listsoftware.exe on $DISPLAY (type . and press Enter to list the demo inventory)"
    wine 'C:\demo\listsoftware.exe'
    status=$?
    wineserver -k 2>/dev/null
    exit $status
fi

mkdir -p build/windows/demo
DISPLAY=$(tools/virtual-display.sh build/windows/demo/xvfb.pid 1280x800) || exit 1
xvfb=$(cat build/windows/demo/xvfb.pid)
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT INT TERM
export DISPLAY
(cd build/windows/demo &&
    wine 'C:\demo\driver.exe' "Z:$(echo "$top/tools/demo/demo.txt" | sed 's|/|\\|g')" </dev/null)
status=$?
convert build/windows/demo/demo.bmp build/windows/demo/listsoftware.png 2>/dev/null &&
    echo "No display: ran on a virtual one. Screenshot: $top/build/windows/demo/listsoftware.png"
exit $status
