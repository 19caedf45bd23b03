#!/bin/sh
# Runs a Windows program under Wine the way the tests expect: Japanese ANSI
# code page (932), a private 32-bit prefix inside the build folder, no Wine
# debug chatter, and no downloads of Mono or Gecko.
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/wine-env.sh"
# Wine's background processes inherit the standard handles of the program
# that starts them; start them here, detached, so that a caller reading our
# output (ctest) is not kept waiting by them.
services_up() {
    for pid in $(pgrep -f 'winedevice.exe' 2>/dev/null); do
        # (a process may end between the listing and the read)
        { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}
if [ ! -f "$WINEPREFIX/system.reg" ] || ! services_up; then
    "$here/tools/wine-prep.sh" >/dev/null 2>&1 </dev/null
fi
exec wine "$@"
