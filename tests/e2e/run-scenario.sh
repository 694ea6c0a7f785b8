#!/bin/sh
# Runs one end-to-end scenario: a fresh copy of the pristine prefix seeded with the scenario's
# registry data, a virtual display of its own, the program and the driver inside the prefix.
#   run-scenario.sh NAME BUILD_DIR
# Leaves build/windows/artefacts/NAME.png (the screen at the scenario's screenshot) and
# build/windows/e2e/NAME/driver.log.
set -u
name=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
root="$build/wine"
work="$build/e2e/$name"
artefacts="$build/artefacts"
"$src/tools/wine-prefix.sh" pristine "$root" || exit 1

# LS_DLL_OVERRIDES: more WINEDLLOVERRIDES entries for the scenario (the remote runner's).
export WINEPREFIX="$root/e2e-$name" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=${LS_DLL_OVERRIDES:+;$LS_DLL_OVERRIDES}"
wineserver -k 2>/dev/null
rm -rf "$work"
"$src/tools/wine-prefix.sh" copy "$root" "$WINEPREFIX" || exit 1
mkdir -p "$work" "$artefacts" "$WINEPREFIX/drive_c/e2e"

# A virtual display of this scenario's own, so scenarios can run side by side; its size is the
# one a "# screen: WIDTHxHEIGHT" line of the scenario names, 1280x1024 without one.
size=$(sed -n 's/^# screen: *//p' "$here/scenarios/$name.txt" | head -n 1)
DISPLAY=$("$src/tools/virtual-display.sh" "$work/xvfb.pid" $size) || exit 1
export DISPLAY
xvfb=$(cat "$work/xvfb.pid")
cleanup() {
    wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT INT TERM
wineserver -p </dev/null >/dev/null 2>&1

# Seed: the .reg files of the scenario (or of the one its "# seed: OTHER" line names), and the
# output of the generator script when there is one.
seed=$(sed -n 's/^# seed: *//p' "$here/scenarios/$name.txt" | head -n 1)
seed=${seed:-$name}
[ -x "$here/data/$seed.sh" ] && { "$here/data/$seed.sh" >"$work/generated.reg" || exit 1; }
for reg in "$here/data/$seed".reg "$here/data/$seed"-*.reg "$work/generated.reg"; do
    [ -f "$reg" ] || continue
    iconv -f UTF-8 -t UTF-16 "$reg" >"$work/seed.reg"
    wine regedit /S "Z:$(echo "$work/seed.reg" | sed 's|/|\\|g')" </dev/null >/dev/null 2>&1 ||
        { echo "seeding $reg failed"; exit 1; }
done

cp "$build/listsoftware.exe" "$build/tests/e2e/driver.exe" "$WINEPREFIX/drive_c/e2e/"
# Preparation beyond registry data (services, helper programs beside the program), made in the
# scenario's prefix with its server and display running: data/NAME.setup.sh BUILD_DIR.
if [ -x "$here/data/$name.setup.sh" ]; then
    "$here/data/$name.setup.sh" "$build" </dev/null >"$work/setup.log" 2>&1 ||
        { cat "$work/setup.log"; echo "setup of $name failed"; exit 1; }
fi
script="Z:$(echo "$here/scenarios/$name.txt" | sed 's|/|\\|g')"
run_driver() {
    (cd "$work" && wine 'C:\e2e\driver.exe' "$script" </dev/null >"$work/driver.log" 2>&1)
}
run_driver
status=$?
# The driver prints its first command before it does anything: a driver that printed nothing
# never ran (Wine failed to start it, seen once in a loaded run), so it is started once more.
if [ $status -ne 0 ] && [ ! -s "$work/driver.log" ]; then
    echo "the driver ended with status $status and printed nothing; starting it once more"
    run_driver
    status=$?
fi
cat "$work/driver.log"
[ $status -ne 0 ] && [ ! -s "$work/driver.log" ] && echo "the driver ended with status $status and printed nothing"
# Files the program wrote into the prefix, compared by data/NAME.check.sh PREFIX WORKDIR.
if [ $status -eq 0 ] && [ -x "$here/data/$name.check.sh" ]; then
    "$here/data/$name.check.sh" "$WINEPREFIX" "$work" || status=1
fi
for bmp in "$work"/*.bmp "$WINEPREFIX"/drive_c/e2e/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" "$artefacts/$(basename "$bmp" .bmp).png"
done
exit $status
