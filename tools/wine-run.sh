#!/bin/sh
# Runs a Windows program under Wine the way the tests expect: Japanese ANSI
# code page (932), a private 32-bit prefix inside the build folder, no Wine
# debug chatter, and no downloads of Mono or Gecko.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${ZEVA_WINEPREFIX:=$here/build/windows/wineprefix}"
export WINEPREFIX="$ZEVA_WINEPREFIX"
export WINEARCH=win32
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$here/tools/wine-prep.sh" >/dev/null 2>&1
fi
exec wine "$@"
