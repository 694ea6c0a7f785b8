#!/bin/sh
# A high-contrast colour scheme, white on black, for the scenario to import before its second
# start (Windows' "High Contrast Black" colours).
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Colors]\r\n"Window"="0 0 0"\r\n"WindowText"="255 255 255"\r\n"ButtonFace"="0 0 0"\r\n"ButtonText"="255 255 255"\r\n"Hilight"="26 235 255"\r\n"HilightText"="0 0 0"\r\n"HotTrackingColor"="255 255 0"\r\n"GrayText"="63 242 0"\r\n' \
    >"$WINEPREFIX/drive_c/e2e/high-contrast.reg"
