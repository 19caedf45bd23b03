#!/bin/sh
# Prepares the private Wine prefix once and keeps one wineserver alive while
# the tests run, so each test program starts in well under a second.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${ZEVA_WINEPREFIX:=$here/build/windows/wineprefix}"
export WINEPREFIX="$ZEVA_WINEPREFIX"
export WINEARCH=win32
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-prep: creating $WINEPREFIX"
    wineboot -u >/dev/null 2>&1 || true
    wineserver -w
    # Japanese fonts for the dialog fonts the program asks for.
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
    wine regedit "$WINEPREFIX/fonts.reg" >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p 300
