#!/bin/sh
# make dist: build/dist/zeva-<version>.zip, ready to unpack and run on
# Windows: zeva.exe, Plugins\zv_*.exe, BREGEXP.DLL, our two image decoders
# in spi\, the manual zeva.html and a readme.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/windows
version=$(sed -n 's/.*VALUE "FileVersion", "\([^"]*\)".*/\1/p' "$here/res/zeva.rc" | head -n 1)
out=$here/build/dist
stage=$out/zeva-$version
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage/Plugins" "$stage/spi"
cp "$build/zeva.exe" "$stage/"
cp "$build"/Plugins/zv_*.exe "$stage/Plugins/"
cp "$build/BREGEXP.dll" "$stage/BREGEXP.DLL"
cp "$build"/spi/zevabmp.spi "$build"/spi/zevawic.spi "$stage/spi/"
cp "$build/zeva.html" "$stage/zeva.html"
iconv -f UTF-8 -t CP932 "$here/docs/readme.txt" | sed 's/$/\r/' > "$stage/readme.txt"
python3 - "$stage" "$stage.zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
base = os.path.dirname(stage)
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
    for root, _, files in sorted(os.walk(stage)):
        for f in sorted(files):
            p = os.path.join(root, f)
            z.write(p, os.path.relpath(p, base))
PY
echo "dist: $stage.zip"
