#!/bin/sh
# Installs what is missing, builds and runs every test: the native unit tests (plain and under
# AddressSanitizer + UndefinedBehaviorSanitizer), a short run of every fuzz target, and under
# Wine the Windows-side tests and the end-to-end scenarios; then the release script, which builds
# HEAD again from a clean clone and compares. Ends with the summaries.
set -u
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
cmake --preset sanitize >/dev/null && cmake --build --preset sanitize >/dev/null || exit 1

log=build/test-logs
mkdir -p "$log"
status=0
# ctest's output goes to a file line by line (stdbuf), so that a ctest that dies leaves all it
# printed; its exit status is noted at the end of its log.
run_ctest() {
    tree=$1
    shift
    stdbuf -oL -eL ctest --preset "$tree" --output-on-failure "$@" >"$log/$tree.txt" 2>&1
    rc=$?
    echo "(ctest exit status $rc)" >>"$log/$tree.txt"
    [ $rc -eq 0 ] || status=1
}
run_ctest native
run_ctest sanitize
tools/fuzz.sh "${LS_FUZZ_SECONDS:-8}" >"$log/fuzz.txt" 2>&1 || status=1
run_ctest windows -j2 --timeout 600
# Last, the release build: a clean clone of HEAD built again, which must give the very exe the
# tests ran, and the zip.
started=$(date +%s)
scripts/release.sh >"$log/release.txt" 2>&1
release_status=$?
release_seconds=$(($(date +%s) - started))
[ $release_status -eq 0 ] || status=1

echo
echo "== fuzz targets, ${LS_FUZZ_SECONDS:-8} s each (full log: $log/fuzz.txt)"
grep -v '^$' "$log/fuzz.txt" | tail -n 14
for tree in native sanitize windows; do
    echo
    echo "== $tree tests (full log: $log/$tree.txt)"
    if grep -q 'tests passed\|tests failed' "$log/$tree.txt"; then
        sed -n '/tests passed\|tests failed/,$p' "$log/$tree.txt"
    else
        # No summary: ctest itself stopped early. Its last words say why.
        echo "ctest printed no summary; the end of its log:"
        tail -n 40 "$log/$tree.txt"
    fi
done
echo
echo "== release (scripts/release.sh, $release_seconds s; full log: $log/release.txt)"
grep -v '^release: building ' "$log/release.txt" | tail -n 3
echo "(release.sh exit status $release_status)"
# The output of every failed test (ctest writes it under the test's result line), so that a
# run elsewhere shows why without its logs.
for tree in native sanitize windows; do
    awk -v tree="$tree" '
        /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / { on = ($0 !~ /Passed/); n = 0
            if (on) print "\n== failed " tree " test:" }
        on && n++ < 80 { print }' "$log/$tree.txt"
done
[ -d build/windows/artefacts ] && echo && echo "Screenshots of the end-to-end scenarios: build/windows/artefacts/"
exit $status
