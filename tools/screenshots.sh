#!/bin/sh
# The README's pictures of the running program: docs/screens/*.png.
#
#   tools/screenshots.sh [OUT-FOLDER]      (default docs/screens)
#
# Lays out the demo of "make run" (tools/demo/run.sh: zeva.exe, its plug-ins
# and boards of every type on the local board simulator, 127.0.0.1 only) in
# build/windows/screens-demo and runs zeva_screenshots.exe there under Xvfb:
# a patrol of all boards, the progress window, the main window reading an
# article, the folder property sheet, and the option sheet once it exists
# (a line says when it is skipped).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/windows
out=${1:-$here/docs/screens}
shots=$build/zeva_screenshots.exe
if [ ! -f "$shots" ]; then
    echo "screenshots.sh: $shots is missing; build first (make windows)" >&2
    exit 1
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
export ZEVA_FORCE_XVFB=1
# The program is started as C:\ZEVA\zeva.exe (a link in the Wine prefix to
# the demo folder), so the pictures show the path a user would have.
prefix=${ZEVA_WINEPREFIX:-$build/wineprefix}
[ -f "$prefix/system.reg" ] || sh "$here/tools/wine-prep.sh" >/dev/null 2>&1
link=$prefix/drive_c/ZEVA
rm -f "$link"
trap 'rm -f "$link"' EXIT
ZEVA_DEMO_WITH='
    ln -s "$1" "'"$link"'"
    # A main window of 1000 x 700 at the top left of the screen.
    printf "[OPTION]\r\nThreadCount=3\r\n[WINDOW]\r\nWindowX=0\r\nWindowY=0\r\nWindowW=1000\r\nWindowH=700\r\nFolderW=220\r\nTitleH=260\r\n" > "$1/data/zeva.ini"
    "'"$here"'/tools/wine-run-x.sh" "'"$shots"'" "C:\\ZEVA\\zeva.exe" "'"$out"'" 2>"$1/wine.err"
' sh "$here/tools/demo/run.sh" "$build/screens-demo"
rc=$?
# Small files for git: the same pixels, deflated.
for f in "$out"/*.png; do
    [ -f "$f" ] && python3 "$here/tools/png_squeeze.py" "$f"
done
[ $rc -eq 0 ] && echo "screenshots.sh: pictures in $out"
exit $rc
