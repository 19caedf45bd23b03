#!/bin/sh
# Runs a windowed Windows program under Wine inside a virtual X server.
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "$DISPLAY" ] && [ -z "$ZEVA_FORCE_XVFB" ]; then
    exec "$here/tools/wine-run.sh" "$@"
fi
# (no window manager runs there: the outside test driver lets Wine frame
# the windows itself, tests/ui/README.md)
export ZEVA_XVFB=1
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$here/tools/wine-run.sh" "$@"
