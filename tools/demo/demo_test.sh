#!/bin/sh
# The demo of "make run" end to end under Xvfb, in the folder given: the
# patrol must succeed, articles must have arrived on the ZVT and Orbiloom
# boards, and the picture of the main window must be saved.
here=$(cd "$(dirname "$0")/../.." && pwd)
demo=${1:?usage: demo_test.sh DEMO-FOLDER}
out=$(ZEVA_FORCE_XVFB=1 sh "$here/tools/demo/run.sh" "$demo" 2>&1)
rc=$?
printf '%s\n' "$out"
fail() { echo "demo_test: $*" >&2; exit 1; }
[ $rc -eq 0 ] || fail "run.sh ended with $rc"
# Articles per plug-in type, from the board lines of the report.
articles() {
    printf '%s\n' "$out" | awk -v lib="lib=$1" '
        /^board / && $0 ~ ("  " lib "  ") { for (i = 1; i <= NF; ++i) if ($i ~ /^articles=/) n += substr($i, 10) }
        END { print n + 0 }'
}
[ "$(articles ZVT)" -ge 18 ] || fail "too few articles on the ZVT boards: $(articles ZVT)"
[ "$(articles Orbiloom)" -ge 10 ] || fail "too few articles on the Orbiloom board: $(articles Orbiloom)"
[ "$(head -c 4 "$demo/main.png" 2>/dev/null | tail -c 3)" = PNG ] || fail "no picture of the main window"
echo "demo_test: ok"
