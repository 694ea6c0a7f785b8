#!/bin/sh
# Registry data as careless installers leave it: every value type in every field the scan reads,
# values at the 1024-byte probe's boundaries (texts of 511 and 512 characters, 1024 and 1025
# bytes of binary data), a subkey name of the longest length (255), names
# with unusual characters, tabs, line feeds and NULs inside values, a user hive without an
# Uninstall key and one whose Uninstall key is empty.
awk 'function utf16(s,   i, out) {  # ASCII text as REG_SZ bytes, without the terminator
        out = ""
        for (i = 1; i <= length(s); i++) out = out sprintf("%02x,00,", ord[substr(s, i, 1)])
        return out
    }
    function bytes(n, value,   i, out) {  # n bytes of one value
        out = ""
        for (i = 0; i < n; i++) out = out sprintf("%02x%s", value, i + 1 < n ? "," : "")
        return out
    }
    function repeat(s, n,   out) { out = ""; while (n-- > 0) out = out s; return out }
    BEGIN {
        for (i = 32; i < 127; i++) ord[sprintf("%c", i)] = i
        ord["\t"] = 9; ord["\n"] = 10
        wow = "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        native = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        print "Windows Registry Editor Version 5.00"

        # 255 characters, the longest key name the registry allows.
        printf "\n[%s%s]\n\"DisplayName\"=\"Longest Key Name\"\n", wow, "01-" repeat("k", 252)
        printf "\n[%s02-odd {name} %% ; = & ! ~ ünïcödé 日本]\n\"DisplayName\"=\"Odd Key Name\"\n", wow

        # Display names of 511 characters (with the NUL, 1024 bytes: fits the probe) and of
        # 512 (1026 bytes: read as empty, so the key is dropped).
        printf "\n[%s03-name-511]\n\"DisplayName\"=\"%s\"\n", wow, repeat("N", 511)
        printf "\n[%s04-name-512]\n\"DisplayName\"=\"%s\"\n", wow, repeat("M", 512)

        # Every type in the four other fields.
        printf "\n[%s05-types-a]\n\"DisplayName\"=\"Types A\"\n", wow
        print "\"DisplayVersion\"=dword:ffffffff"
        print "\"InstallDate\"=hex:01,02,ab"
        print "\"InstallLocation\"=hex(2):" utf16("%ProgramFiles%\\Types") "00,00"
        print "\"UninstallString\"=hex(7):" utf16("one") "00,00," utf16("two") "00,00,00,00"
        printf "\n[%s06-types-b]\n\"DisplayName\"=\"Types B\"\n", wow
        print "\"DisplayVersion\"=hex(b):01,00,00,00,00,00,00,00"
        print "\"InstallDate\"=hex(0):41,00"
        print "\"InstallLocation\"=hex:"
        print "\"UninstallString\"=hex:" bytes(1024, 171)
        printf "\n[%s07-types-c]\n\"DisplayName\"=\"Types C\"\n", wow
        print "\"DisplayVersion\"=hex(4):01,02"
        print "\"InstallDate\"=hex(4):" bytes(12, 1)
        print "\"InstallLocation\"=hex:" bytes(1025, 205)
        nul = utf16("no terminator")
        print "\"UninstallString\"=hex(1):" substr(nul, 1, length(nul) - 1)
        # Names of other types: a number and bytes as hex digits are names like any other.
        printf "\n[%s08-dword-name]\n\"DisplayName\"=dword:00000007\n", wow
        printf "\n[%s09-binary-name]\n\"DisplayName\"=hex:41,42,0c\n", wow
        printf "\n[%s10-multi-name]\n\"DisplayName\"=hex(7):" utf16("gone") "00,00,00,00\n", wow

        # Control characters inside texts; a NUL ends a text.
        printf "\n[%s11-controls]\n", native
        print "\"DisplayName\"=hex(1):" utf16("Tab\there") "00,00"
        print "\"DisplayVersion\"=hex(1):" utf16("1.0\n2.0") "00,00"
        print "\"InstallDate\"=hex(1):" utf16("before") "00,00," utf16("after") "00,00"
        print "\"InstallLocation\"=hex(1):00,00," utf16("hidden") "00,00"
        print "\"UninstallString\"=\"\\\"C:\\\\x.exe\\\" /q\""

        # A user hive without an Uninstall key, one with an empty one, one with an entry.
        print "\n[HKEY_USERS\\S-1-5-21-0-0-0-1002\\Software\\Vendor]"
        print "\"Setting\"=\"1\""
        print "\n[HKEY_USERS\\S-1-5-21-0-0-0-1003\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall]"
        print "\n[HKEY_USERS\\S-1-5-21-0-0-0-1004\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hive App]"
        print "\"DisplayName\"=\"Hive App\""
    }'
