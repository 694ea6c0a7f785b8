#!/bin/sh
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each for SECONDS seconds (default
# 10), starting from a scratch copy of its seeds in tests/fuzz/corpus/<name>/, so that new inputs
# never land in the repository. Prints one line per target with the executions it ran, and fails
# when any target finds a crash, a sanitizer report or a broken property (the input is kept in
# build/fuzz/runs/<name>/artifacts/, the log beside it).
#
#     tools/fuzz.sh          # 10 s per target
#     tools/fuzz.sh 3600     # a long run
set -u
cd "$(dirname "$0")/.."
seconds=${1:-10}
case $seconds in
    '' | *[!0-9]* | 0) echo "usage: tools/fuzz.sh [SECONDS]  (a whole number above 0)" >&2; exit 2 ;;
esac

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz >build/fuzz-build.log 2>&1 || { cat build/fuzz-build.log; exit 1; }

runs=build/fuzz/runs
status=0
for source in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    name=${name#fuzz_}
    program=build/fuzz/tests/fuzz/fuzz_$name
    run=$runs/$name
    rm -rf "$run"
    mkdir -p "$run/corpus" "$run/artifacts"
    if [ -d "tests/fuzz/corpus/$name" ]; then cp "tests/fuzz/corpus/$name"/* "$run/corpus/"; fi
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$run/artifacts/" "$run/corpus" >"$run/log.txt" 2>&1
    code=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log.txt")
    found=$(ls "$run/artifacts")
    if [ $code -eq 0 ] && [ -z "$found" ]; then
        verdict=ok
    else
        verdict="FAILED (exit $code; log $run/log.txt; input $run/artifacts/$found)"
        status=1
    fi
    printf '%-24s %12s executions in %s s  %s\n' "$name" "${executions:-?}" "$seconds" "$verdict"
done
exit $status
