#!/bin/sh
# The saved list of 9,000 rows: one record of three lines (name, version, empty) per row.
#   scan10000.check.sh WINEPREFIX WORKDIR
set -u
file="$1/drive_c/e2e/all.txt"
[ -f "$file" ] || { echo "FAIL all.txt: missing"; exit 1; }
records=$(grep -c '^App Name: ' "$file")
lines=$(wc -l <"$file" | tr -d ' ')
if [ "$records" = 9000 ] && [ "$lines" = 27000 ]; then
    echo "ok all.txt: 9000 records"
else
    echo "FAIL all.txt: $records records, $lines lines (expected 9000, 27000)"
    exit 1
fi
