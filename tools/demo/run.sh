#!/bin/sh
# make run: a patrol of demo boards served by the local board simulator.
#
#   tools/demo/run.sh [DEMO-FOLDER]      (default build/windows/demo)
#
# Lays out DEMO-FOLDER as an installed program: zeva.exe and "Plugins\\"
# beside "data\\", which gets boards of every plug-in type pointing at the
# simulator (127.0.0.1 only). Our two image decoders go into
# DEMO-FOLDER/spi, which the registry value of the Wine prefix names as the
# decoder folder; the ZVT demo board's articles name pictures that lie in its
# folder, and its title view shows them.
#
# With a display (DISPLAY set, ZEVA_FORCE_XVFB unset) it opens the main
# window on the demo boards; the simulator stops when the window closes.
# Without one it runs "zeva.exe -G" under Xvfb: the unattended patrol of all
# marked boards, which ends the program by itself; zeva_demo_watch.exe then
# opens the program once more and saves a picture of its main window
# (DEMO-FOLDER/main.png). The report says
# what arrived per board; the script fails when a board failed.
set -u
PROGRAM=zeva.exe

here=$(cd "$(dirname "$0")/../.." && pwd)
build=$here/build/windows
demo=${1:-$build/demo}

for f in "$build/$PROGRAM" "$build/zeva_demo_report.exe" "$build/zeva_demo_watch.exe" "$build/Plugins/zv_ZVT.exe" \
         "$build/Plugins/zv_Orbiloom.exe" "$build/Plugins/zv_Stillmark.exe" "$build/spi/zevabmp.spi" \
         "$build/spi/zevawic.spi" "$build/pictures/demo1.png"; do
    if [ ! -f "$f" ]; then
        echo "run.sh: $f is missing; build first (make windows)" >&2
        exit 1
    fi
done

# A Unix path as the Windows programs see it under Wine.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

rm -rf "$demo"
mkdir -p "$demo/data" "$demo/Plugins" || exit 1
demo=$(cd "$demo" && pwd)
cp "$build/$PROGRAM" "$build/zeva.html" "$demo/" && cp "$build"/Plugins/*.exe "$demo/Plugins/" || exit 1
# The regular-expression library beside the program, as the zip has it.
[ -f "$build/BREGEXP.dll" ] && cp "$build/BREGEXP.dll" "$demo/BREGEXP.DLL"

# The image decoders and the registry value that names their folder.
mkdir -p "$demo/spi" && cp "$build/spi/zevabmp.spi" "$build/spi/zevawic.spi" "$demo/spi/" || exit 1
"$here/tools/wine-run.sh" reg add 'HKCU\Software\Morivale\Susie\Plug-in' /v Path /t REG_SZ \
    /d "$(winpath "$demo/spi")" /f >/dev/null 2>"$demo/reg.err" || { cat "$demo/reg.err" >&2; exit 1; }

# The simulator, on a free port; Wine's WinINet would send even 127.0.0.1
# through a proxy named in these variables.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
python3 "$here/tools/boardsim/boardsim.py" --port-file "$demo/sim.port" --log "$demo/requests.jsonl" \
    >/dev/null 2>"$demo/sim.log" </dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT
trap 'exit 130' INT TERM
tries=0
while [ ! -s "$demo/sim.port" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 $sim 2>/dev/null; then
        echo "run.sh: the board simulator did not start" >&2
        cat "$demo/sim.log" >&2
        exit 1
    fi
    sleep 0.1
done
port=$(cat "$demo/sim.port")
url=http://127.0.0.1:$port

# A board folder and its settings (section BASIC of zeva_BBS.ini, CR LF).
board() {
    dir=$demo/data/$1
    shift
    mkdir -p "$dir"
    { printf '[BASIC]\r\n'; for kv in "$@"; do printf '%s\r\n' "$kv"; done; } > "$dir/zeva_BBS.ini"
}
# The ZVT demo board shows article pictures (VIEWFLAG 0x20 with the
# default 2 and 0x40), flat in number order.
board "ZVTデモ" LIB=ZVT "URL=$url/zvt/demo/board.cgi" BBSFOLDER=1 PARAM2= VIEWFLAG=98 TREE=0 CLMSORT=0 \
    CLMSORTUP=1 CLM00=150
cp "$build"/pictures/demo* "$demo/data/ZVTデモ/" || exit 1
board "日付ポインタ" LIB=ZVT "URL=$url/zvt/dated/board.cgi" BBSFOLDER=1 PARAM2=
board "Orbiloomデモ" LIB=Orbiloom "URL=$url/orb/demo/rnall.cgi" BBSFOLDER=1 PARAM1= PARAM2=
board "Stillmark" LIB=Stillmark "URL=$url/stillmark/index.html" BBSFOLDER=1
# A plain folder holding a board that asks for HTTP authentication.
board "まとめ/会員制" LIB=ZVT "URL=$url/zvt/private/board.cgi" BBSFOLDER=1 USER=member PASS=secret
printf '[OPTION]\r\nThreadCount=3\r\n' > "$demo/data/zeva.ini"

echo "run.sh: board simulator on $url; demo folder $demo"
# Another driver of the demo (tools/screenshots.sh) in place of the patrol:
# ZEVA_DEMO_WITH names a command that gets the demo folder and the
# simulator's address while the simulator runs.
if [ -n "${ZEVA_DEMO_WITH:-}" ]; then
    sh -c "$ZEVA_DEMO_WITH" demo "$demo" "$url"
    exit $?
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${ZEVA_FORCE_XVFB:-}" ]; then
    echo "run.sh: the main window of $demo/$PROGRAM (close it to stop the simulator)"
    "$here/tools/wine-run.sh" "$demo/$PROGRAM" 2>"$demo/wine.err"
    exit 0
fi

shot=$demo/main.png
echo "run.sh: $PROGRAM -G (unattended patrol of all marked boards)"
"$here/tools/wine-run-x.sh" "$build/zeva_demo_watch.exe" "$(winpath "$demo/$PROGRAM")" "$(winpath "$shot")" \
    2>"$demo/wine.err"
rc=$?
# Wine's helpers report the end of the virtual X server; nothing to show.
grep -v '^X connection to .* broken' "$demo/wine.err" >&2

echo
"$here/tools/wine-run.sh" "$build/zeva_demo_report.exe" "$(winpath "$demo/data")" > "$demo/report.txt"
report_rc=$?
{ iconv -f CP932 -t UTF-8 "$demo/report.txt" 2>/dev/null || cat "$demo/report.txt"; } | tr -d '\r'
if [ -s "$shot" ]; then
    echo "screenshot of the main window after the patrol: $shot"
fi
if [ $rc -ne 0 ] || [ $report_rc -ne 0 ]; then
    echo "run.sh: the patrol failed (program exit $rc, report exit $report_rc)" >&2
    exit 1
fi
exit 0
