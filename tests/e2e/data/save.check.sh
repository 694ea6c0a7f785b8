#!/bin/sh
# Compares the files the save scenario left in C:\out with the bytes they must hold: code page
# 1252, CR LF after every line, one empty line after every record. Also checks that no other
# file was made (no "none.txt.txt", nothing after No, Cancel or a failed save).
#   save.check.sh WINEPREFIX WORKDIR
set -u
out="$1/drive_c/out"
work=$2
failed=0

# expect FILE [LINE...]: FILE holds exactly the LINEs (UTF-8 here), each followed by CR LF, in
# code page 1252. No LINE: the file is empty.
expect() {
    file=$1
    shift
    : >"$work/expected.utf8"
    for line in "$@"; do printf '%s\r\n' "$line" >>"$work/expected.utf8"; done
    iconv -f UTF-8 -t CP1252 "$work/expected.utf8" >"$work/expected" || exit 1
    if [ ! -f "$out/$file" ]; then
        echo "FAIL $file: missing"
        failed=1
    elif cmp -s "$work/expected" "$out/$file"; then
        echo "ok $file"
    else
        echo "FAIL $file: $(cmp "$work/expected" "$out/$file" 2>&1 | head -n 1)"
        echo "  expected $(wc -c <"$work/expected") bytes, found $(wc -c <"$out/$file")"
        cp "$work/expected" "$work/expected-$file"
        failed=1
    fi
}

expect none.txt \
    "App Name: Alpha Tool" "" \
    "App Name: Éditeur de texte" "" \
    "App Name: ????????? ?????" "" \
    "App Name: Gamma Tool" "" \
    "App Name: User App" ""

# Written with all five boxes; all.txt also survived the No and the Cancel of an overwrite.
all_five() {
    expect "$1" \
        "App Type: Machine" \
        "App Name: Alpha Tool" \
        "App Version: 1.0" \
        "Install Date: 20230105" \
        "Install Location: C:\\Program Files (x86)\\Alpha" \
        "Uninstall Command: C:\\Program Files (x86)\\Alpha\\unins.exe" \
        "" \
        "App Type: Machine" \
        "App Name: Éditeur de texte" \
        "App Version: 5.4" \
        "Install Date: 20210301" \
        "Install Location: C:\\Program Files\\Éditeur" \
        "Uninstall Command: \"C:\\Program Files\\Éditeur\\remove.exe\" /S" \
        "" \
        "App Type: Machine" \
        "App Name: ????????? ?????" \
        "App Version: 1.2-????" \
        "Install Date: 20220715" \
        "Install Location: " \
        "Uninstall Command: " \
        "" \
        "App Type: Machine" \
        "App Name: Gamma Tool" \
        "App Version: " \
        "Install Date: " \
        "Install Location: " \
        "Uninstall Command: " \
        "" \
        "App Type: User" \
        "App Name: User App" \
        "App Version: 7" \
        "Install Date: 15.01.2023" \
        "Install Location: C:\\Users\\me\\AppData\\Local\\UserApp" \
        "Uninstall Command: C:\\Users\\me\\AppData\\Local\\UserApp\\remove.exe" \
        ""
}
all_five all.txt
all_five upper.TXT.txt

# The longer all-five list overwritten (Yes) by the list without boxes: nothing of it is left.
expect over.txt \
    "App Name: Alpha Tool" "" \
    "App Name: Éditeur de texte" "" \
    "App Name: ????????? ?????" "" \
    "App Name: Gamma Tool" "" \
    "App Name: User App" ""

expect afterdir.txt \
    "App Name: Alpha Tool" "App Version: 1.0" "" \
    "App Name: Éditeur de texte" "App Version: 5.4" "" \
    "App Name: ????????? ?????" "App Version: 1.2-????" "" \
    "App Name: Gamma Tool" "App Version: " "" \
    "App Name: User App" "App Version: 7" ""

expect filtered.txt \
    "App Name: Alpha Tool" "App Version: 1.0" "" \
    "App Name: Gamma Tool" "App Version: " ""

expect empty.txt

# Sorted by App Name, ascending: the shown order, not the scan order.
expect sorted.txt \
    "App Name: Alpha Tool" "App Version: 1.0" "" \
    "App Name: Gamma Tool" "App Version: " "" \
    "App Name: User App" "App Version: 7" "" \
    "App Name: Éditeur de texte" "App Version: 5.4" "" \
    "App Name: ????????? ?????" "App Version: 1.2-????" ""

# The file held open by another program is untouched.
expect locked.txt "held by another program"

found=$(cd "$out" && LC_ALL=C ls -A | tr '\n' ' ')
wanted="afterdir.txt all.txt empty.txt filtered.txt folder.txt locked.txt none.txt over.txt sorted.txt upper.TXT.txt "
if [ "$found" = "$wanted" ]; then
    echo "ok no other file"
else
    echo "FAIL C:\\out holds: $found"
    echo "     expected:      $wanted"
    failed=1
fi
[ -d "$out/folder.txt" ] && [ -z "$(ls -A "$out/folder.txt")" ] ||
    { echo "FAIL folder.txt is no longer an empty folder"; failed=1; }

[ $failed -eq 0 ] && echo "PASS save files"
exit $failed
