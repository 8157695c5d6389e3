#!/bin/sh
# The whole job to a picture, each a whole process, side by side in one
# run: welmo-psd --render beside Kst's power spectrum to PNG on a
# 4,000,000 x 3 whitespace table, then welmo-psd's split (WELMO_TIMING).
#
#   bench/whole-job/run.sh WELMO_PSD [OTHER_WELMO_PSD] [RUNS]
#
# Needs hyperfine and kst (Debian packages); Kst runs offscreen.
set -eu
welmo=$1
other=${2:-}
runs=${3:-9}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
table="$folder/table.dat"
awk 'BEGIN { srand(7); for (i = 0; i < 4000000; i++)
    printf "%.10g %.10g %.10g\n", i * 0.001, 12 * sin(6.2831853 * 0.0003 * i) + rand(),
        3 * sin(6.2831853 * 0.171875 * i) + rand() - 0.5 }' >"$table"
# The table's own write-back would otherwise fall into the first runs'
# commit of their export (its data synced), which Kst does not make.
sync
export QT_QPA_PLATFORM=offscreen
job="--columns 3 --column 2 --size 1000x700 --render $folder/welmo.png $table"
set -- "$welmo $job" "kst2 $table -p 2 --png $folder/kst.png" "$welmo --version"
[ -n "$other" ] && set -- "$@" "$other $job"
hyperfine -N -w 2 -r "$runs" "$@" 2>&1 | grep -v XDG_RUNTIME
for i in 1 2 3; do
    WELMO_TIMING=1 "$welmo" $job 2>&1 >/dev/null | sed "s/^/run $i: /"
done
