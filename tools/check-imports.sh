#!/bin/sh
# Fails when a Windows program imports a DLL that Windows would not take from its own system
# directory whatever lies beside the program: only known DLLs and comctl32 (bound side by side
# through the program's manifest) may be named in the import table.
#   check-imports.sh PROGRAM.exe
set -u
exe=${1:?usage: check-imports.sh PROGRAM.exe}
known="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
       oleaut32.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAIL no import table read from $exe"; exit 1; }
status=0
for dll in $imports; do
    case " $(echo $known) " in
        *" $dll "*) echo "ok $dll" ;;
        *) echo "FAIL $dll is not a known DLL: Windows would load a copy beside the program"; status=1 ;;
    esac
done
exit $status
