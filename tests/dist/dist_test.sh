#!/bin/sh
# The zip of "make dist" as a Windows user gets it: unpacked into a folder
# of its own and run in a fresh Wine prefix, with two boards (ZVT and
# Orbiloom) on the local board simulator (127.0.0.1 only).
#
#   dist_test.sh ZEVA_DIST_CHECK.EXE PICTURES-FOLDER
set -u
check=${1:?usage: dist_test.sh ZEVA_DIST_CHECK.EXE PICTURES-FOLDER}
pictures=${2:?usage: dist_test.sh ZEVA_DIST_CHECK.EXE PICTURES-FOLDER}
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$here/build/windows/dist-test
fail() { echo "dist_test: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/unpacked"
sh "$here/tools/dist.sh" > "$work/dist.log" 2>&1 || { cat "$work/dist.log" >&2; fail "make dist failed"; }
zip=$(sed -n 's/^dist: //p' "$work/dist.log")
[ -f "$zip" ] || fail "no zip in $work/dist.log"
python3 -m zipfile -e "$zip" "$work/unpacked" || fail "cannot unpack $zip"
app=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[ -f "$app/zeva.exe" ] || fail "no zeva.exe at the top of the zip's folder"
for f in BREGEXP.DLL Plugins/zv_ZVT.exe Plugins/zv_Orbiloom.exe Plugins/zv_Stillmark.exe \
         spi/zevabmp.spi spi/zevawic.spi zeva.html readme.txt; do
    [ -f "$app/$f" ] || fail "the zip lacks $f"
done

# A Wine prefix nobody has used: made by the first start, removed at the end.
export ZEVA_WINEPREFIX="$work/wineprefix"
stop_wine() { WINEPREFIX="$ZEVA_WINEPREFIX" wineserver -k 2>/dev/null; }
trap stop_wine EXIT
sh "$here/tools/wine-prep.sh" > "$work/wine-prep.log" 2>&1

# The boards, pointing at the simulator's port once it is known.
python3 "$here/tools/boardsim/run_with_sim.py" --config "$here/tests/dist/boards.json" -- sh -c '
    app=$1; check=$2; here=$3
    board() {
        mkdir -p "$app/data/$1"
        printf "[BASIC]\r\nLIB=%s\r\nURL=http://127.0.0.1:%s%s\r\nBBSFOLDER=1\r\nPARAM2=\r\n" \
            "$2" "$ZEVA_SIM_PORT" "$3" > "$app/data/$1/zeva_BBS.ini"
    }
    board "ZVT板" ZVT /dist/zvt/board.cgi
    board "Orbiloom板" Orbiloom /dist/orb/rnall.cgi
    "$here/tools/wine-run-x.sh" "$check" "$(printf "Z:%s" "$app" | tr / "\\\\")" "$4"
' dist "$app" "$check" "$here" "$pictures"
rc=$?
[ $rc -eq 0 ] || fail "the unpacked program did not pass (exit $rc)"
echo "dist_test: ok"
