#!/bin/sh
# Runs a Windows program under Wine in the build tree's throwaway test prefix (never ~/.wine).
# The prefix is made from a cached pristine one on first use; tools/wine-prefix.sh resets it.
here=$(cd "$(dirname "$0")" && pwd)
: "${LS_WINE_ROOT:=$here/../build/windows/wine}"
export WINEPREFIX="$LS_WINE_ROOT/test"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
[ -f "$WINEPREFIX/system.reg" ] || "$here/wine-prefix.sh" fresh "$LS_WINE_ROOT" >&2 || exit 1
[ -f "$WINEPREFIX/.display" ] && DISPLAY=$(cat "$WINEPREFIX/.display") && export DISPLAY
exec wine "$@"
