#!/bin/sh
# Runs a Windows program under Wine the way the tests expect: Japanese ANSI
# code page (932), a private 32-bit prefix inside the build folder, no Wine
# debug chatter, and no downloads of Mono or Gecko.
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/wine-env.sh"
# Wine's background processes inherit the standard handles of the program
# that starts them; start them here, detached, so that a caller reading our
# output (ctest) is not kept waiting by them.
if [ ! -f "$WINEPREFIX/system.reg" ] || ! pgrep -f 'winedevice.exe' >/dev/null 2>&1; then
    "$here/tools/wine-prep.sh" >/dev/null 2>&1 </dev/null
fi
exec wine "$@"
