#!/bin/sh
# Prints a .reg file (UTF-8; convert to UTF-16 before importing) with N realistic program keys
# spread over both machine-wide views and the user hives given (default: the current user),
# one in ten of them noise that the program drops.
#   make-inventory.sh N [HIVE...]
# With SHAPES=kinds the columns are shaped for the sort benchmark: versions "x.y" (decimal),
# install dates "yyyymmdd" (whole numbers), locations holding sizes ("812.5 MB") and uninstall
# strings holding dates ("15.01.2023 08:30").
n=${1:?usage: make-inventory.sh N [HIVE...]}
shift
hives=${*:-S-1-5-21-0-0-0-1000}
awk -v n="$n" -v hives="$hives" -v shapes="${SHAPES:-}" 'BEGIN {
    split(hives, hive, " "); nh = length(hive)
    split("Contoso Fabrikam Northwind Tailspin Litware Adatum Proseware Wingtip Fourth Coffee", vendor, " ")
    split("Editor Viewer Studio Sync Backup Player Toolkit Manager Client Runtime", product, " ")
    split("Security Update for|Update for|Service Pack 2 for|Language Pack for|MUI for", noise, "|")
    print "Windows Registry Editor Version 5.00"
    for (i = 0; i < n; i++) {
        slot = i % 4
        if (slot == 0) root = "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node"
        else if (slot == 3) root = "HKEY_USERS\\" hive[1 + int(i / 4) % nh] "\\Software"
        else root = "HKEY_LOCAL_MACHINE\\Software"
        v = vendor[1 + i % 10]; p = product[1 + int(i / 10) % 10]
        name = v " " p " " i
        if (i % 10 == 7) name = noise[1 + int(i / 10) % 5] " " v " " p " (KB" 4000000 + i ")"
        printf "\n[%s\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{%08X-%04X-4000-8000-%012X}]\n", root, i * 2654435761 % 4294967296, i % 65536, i
        printf "\"DisplayName\"=\"%s\"\n", name
        if (shapes == "kinds") {
            printf "\"DisplayVersion\"=\"%d.%d\"\n", 1 + i * 7 % 97, i * 13 % 100
            printf "\"InstallDate\"=\"%04d%02d%02d\"\n", 2015 + i * 5 % 9, 1 + i * 7 % 12, 1 + i * 11 % 28
            printf "\"InstallLocation\"=\"%d.%d MB\"\n", 1 + i * 37 % 900, i % 10
            printf "\"UninstallString\"=\"%02d.%02d.%04d %02d:%02d\"\n", 1 + i * 3 % 28, 1 + i * 5 % 12, 2010 + i % 14, i % 24, i * 7 % 60
        } else {
            printf "\"DisplayVersion\"=\"%d.%d.%d\"\n", 1 + i % 17, i % 10, i % 1000
            if (i % 5 == 0) printf "\"InstallDate\"=dword:%08x\n", 20200101 + (i % 12) * 100 + i % 28
            else if (i % 5 != 4) printf "\"InstallDate\"=\"%04d%02d%02d\"\n", 2015 + i % 9, 1 + i % 12, 1 + i % 28
            printf "\"InstallLocation\"=\"C:\\\\Program Files\\\\%s\\\\%s %d\\\\\"\n", v, p, i
            printf "\"UninstallString\"=\"MsiExec.exe /X{%08X-%04X-4000-8000-%012X}\"\n", i * 2654435761 % 4294967296, i % 65536, i
        }
        printf "\"EstimatedSize\"=dword:%08x\n", 1000 + i * 37 % 500000
    }
}'
