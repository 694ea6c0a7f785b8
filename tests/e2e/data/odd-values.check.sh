#!/bin/sh
# The saved list of the odd-values scenario: ten records of six labelled lines and an empty
# line, each ending in CR LF (the version "1.0\n2.0" keeps its bare line feed), and the longest
# fields whole (2,048 hex digits, 511 characters).
#   odd-values.check.sh WINEPREFIX WORKDIR
set -u
file="$1/drive_c/e2e/odd.txt"
[ -f "$file" ] || { echo "FAIL odd.txt: missing"; exit 1; }
failed=0
check() {  # check WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok $1"; else echo "FAIL $1: expected $2, found $3"; failed=1; fi
}
check "records" 10 "$(grep -c '^App Name: ' "$file")"
check "lines (one line feed inside a version)" 71 "$(wc -l <"$file" | tr -d ' ')"
check "lines ending in CR LF" 70 "$(grep -c "$(printf '\r')\$" "$file")"
check "2048 hex digits" 1 "$(grep -c "^Uninstall Command: $(printf 'AB%.0s' $(seq 1024))$(printf '\r')\$" "$file")"
check "511 characters" 1 "$(grep -c "^App Name: $(printf 'N%.0s' $(seq 511))$(printf '\r')\$" "$file")"
exit $failed
