#!/bin/sh
# Instruction counts of the store's load and merge under callgrind: unlike
# times they repeat exactly on a busy machine. Only the operation itself is
# counted (the stores are generated outside the measurement).
#
#   sh tools/bench/callgrind.sh            load 100 MB, merges into 200,000
#   sh tools/bench/callgrind.sh --quick    load 20 MB, merges into 50,000
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$here/build/bench
test -f "$build/CMakeCache.txt" || cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZEVA_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target store_callgrind >/dev/null
prog=$build/tests/bench/store_callgrind
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mb=100; stored=200000
if [ "$1" = "--quick" ]; then mb=20; stored=50000; fi

# Prints the instruction count of one run of store_callgrind with the
# given arguments.
count() {
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/out" "$prog" "$@" \
        >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

per() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

bytes=$((mb * 1048576))
printf "%-52s %15s\n" "operation" "instructions"
n=$(count load $mb);        printf "%-52s %15s  (%s per byte)\n" "load $mb MB, numbered board" "$n" "$(per "$n" $bytes)"
n=$(count load $mb ids);    printf "%-52s %15s  (%s per byte)\n" "load $mb MB, identifier board" "$n" "$(per "$n" $bytes)"
m1=$(count merge $stored 1000)
printf "%-52s %15s\n" "merge 1,000 into $stored" "$m1"
m10=$(count merge $stored 10000)
printf "%-52s %15s\n" "merge 10,000 into $stored" "$m10"
m100=$(count merge $stored 100000)
printf "%-52s %15s\n" "merge 100,000 into $stored" "$m100"
printf "%-52s %15s\n" "  per incoming article, 1,000 -> 10,000" "$(per $((m10 - m1)) 9000)"
printf "%-52s %15s\n" "  per incoming article, 10,000 -> 100,000" "$(per $((m100 - m10)) 90000)"
n=$(count merge $stored 1000 ids); printf "%-52s %15s\n" "merge 1,000 into $stored, identifier board" "$n"
n=$(count merge $stored 1000 literal); printf "%-52s %15s\n" "merge 1,000 into $stored, literal scan (reference)" "$n"
