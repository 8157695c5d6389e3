#!/bin/sh
# The largest file's default job, timed as a whole process with its peak
# memory: welmo-psd on a generated 69,306,016-row table, with one thread
# and with two, and (when given) beside another build's welmo-psd.
#
#   bench/largest/run.sh BUILD [OTHER_WELMO_PSD] [FOLDER]
#
# BUILD is a build folder configured with -DWELMO_BUILD_BENCH=ON. The table
# (1.3 GB) is written into FOLDER (default: the temporary folder) and removed
# at the end.
set -eu
build=$1
other=${2:-}
folder=${3:-${TMPDIR:-/tmp}}
table="$folder/welmo_largest_$$.dat"
trap 'rm -f "$table" "$folder/welmo_largest_$$p.dat"' EXIT

"$build/bench/welmo_make_table" "$table"
echo "table: $(wc -c <"$table") bytes"

export_file="$folder/welmo_largest_$$p.dat"
run() {
    label=$1
    shift
    /usr/bin/time -f "$label: %e s, peak %M KiB" "$@" "$table" >/dev/null
    echo "  export $(md5sum <"$export_file")"
}
# The first run only warms the page cache.
WELMO_THREADS=2 "$build/tools/welmo-psd" "$table" >/dev/null
run "welmo-psd, 2 threads" env WELMO_THREADS=2 "$build/tools/welmo-psd"
run "welmo-psd, 1 thread " env WELMO_THREADS=1 "$build/tools/welmo-psd"
if [ -n "$other" ]; then
    run "other welmo-psd     " "$other"
fi
