#!/bin/sh
# Runs a windowed Windows program under Wine inside a virtual X server.
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "$DISPLAY" ] && [ -z "$ZEVA_FORCE_XVFB" ]; then
    exec "$here/tools/wine-run.sh" "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$here/tools/wine-run.sh" "$@"
