#!/bin/sh
# welmo-psd with many segments beside one segment, whole process: a
# generated 20,000,000-row one-column table, --psd-size 4096 --shift 8192,
# --segments 1 and --segments 50 timed one right after the other, and the
# same with another build's welmo-psd when given.
#
#   bench/segments/run.sh BUILD [OTHER_WELMO_PSD] [FOLDER]
#
# BUILD is a build folder configured with -DWELMO_BUILD_BENCH=ON (for the
# table generator). The table (about 370 MB) is written into FOLDER
# (default: the temporary folder) and removed at the end.
set -eu
build=$1
other=${2:-}
folder=${3:-${TMPDIR:-/tmp}}
table="$folder/welmo_segments_$$.dat"
out="$folder/welmo_segments_$$p.dat"
trap 'rm -f "$table" "$out" "$out.other"' EXIT

"$build/bench/welmo_make_table" "$table" 20000000
echo "table: $(wc -c <"$table") bytes"

seconds() {
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
# One segment, then fifty, each as one whole process; prints both times,
# their ratio and the export of the fifty.
compare() {
    label=$1
    program=$2
    export_file=$3
    one=$(seconds "$program" --psd-size 4096 --shift 8192 --segments 1 --output "$export_file" "$table")
    fifty=$(seconds "$program" --psd-size 4096 --shift 8192 --segments 50 --output "$export_file" "$table")
    printf '%s: 1 segment %.2f s, 50 segments %.2f s, ratio %.2f\n' \
        "$label" "$one" "$fifty" "$(echo "$fifty / $one" | bc -l)"
    echo "  export of 50 segments $(md5sum <"$export_file")"
}
# The first run only warms the page cache.
"$build/tools/welmo-psd" --output "$out" "$table" >/dev/null
compare "welmo-psd      " "$build/tools/welmo-psd" "$out"
if [ -n "$other" ]; then
    compare "other welmo-psd" "$other" "$out.other"
fi
