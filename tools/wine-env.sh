# Environment shared by the Wine scripts (sourced).
: "${ZEVA_WINEPREFIX:=$here/build/windows/wineprefix}"
export WINEPREFIX="$ZEVA_WINEPREFIX"
export WINEARCH=win32
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
