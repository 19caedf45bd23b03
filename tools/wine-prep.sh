#!/bin/sh
# Prepares the private Wine prefix once, then keeps one wineserver and Wine's
# services running (detached from our output) while the tests run, so each
# test program starts in well under a second.
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-prep: creating $WINEPREFIX"
    wineboot -u >/dev/null 2>&1 </dev/null || true
    wineserver -w
    # Japanese fonts for the dialog fonts the programs ask for.
    cat > "$WINEPREFIX/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ 明朝"="IPAMincho"
"MS Shell Dlg"="IPAPGothic"
REG
    wine regedit "$WINEPREFIX/fonts.reg" >/dev/null 2>&1 </dev/null || true
    wineserver -w
fi
# A persistent server, and the services started with no inherited output.
wineserver -p 900 >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
