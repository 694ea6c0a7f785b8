#!/bin/sh
# Installs what is missing, builds both trees and runs every test: the native unit tests and,
# under Wine, the Windows-side tests and the end-to-end scenarios. Ends with both summaries.
set -u
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1

log=build/test-logs
mkdir -p "$log"
status=0
ctest --preset native >"$log/native.txt" 2>&1 || status=1
ctest --preset windows --timeout 600 >"$log/windows.txt" 2>&1 || status=1

for tree in native windows; do
    echo
    echo "== $tree tests (full log: $log/$tree.txt)"
    sed -n '/tests passed\|tests failed/,$p' "$log/$tree.txt"
done
[ -d build/windows/artefacts ] && echo && echo "Screenshots of the end-to-end scenarios: build/windows/artefacts/"
exit $status
