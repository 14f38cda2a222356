#!/usr/bin/env bash
# A disk that fills during --convert's append, made by a file-size limit: the output file takes
# part of the block, then refuses the rest. The program says so, and the output file is cut back
# to what it was, the cut on the disk (an fsync of that file) before anything else happens.
# Usage: full-disk.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"

fresh a 0
out=$dir/a/out/DATA.txt
for n in $(seq 400); do printf 'R%04d,x,y\r\n' "$n"; done >"$dir/a/home/Back.txt"
head -c 1000 /dev/zero | tr '\0' o | tee "$dir/before" >"$out"
(
    trap '' XFSZ  # the limit's signal would end the program before its write fails
    strace -f -y -qq -e trace=ftruncate,fsync -o "$dir/trace" prlimit --fsize=2048 \
        "$modem" --home "$dir/a/home" --convert "$out" 2>"$dir/err"
)
check "--convert on a full disk exits with 1" [ $? -eq 1 ]
check "the failure is shown" grep -q 'File too large' "$dir/err"
check "the output file is as it was" cmp "$dir/before" "$out"
cut=$(grep -A 1 -m 1 'ftruncate(' "$dir/trace" | sed -E 's/^[0-9]+ +([a-z]+)\([0-9]+(<[^>]*>).*/\1\2/')
check "the cut is synced before anything else" \
    [ "$cut" = "$(printf 'ftruncate<%s>\nfsync<%s>' "$out" "$out")" ]

exit $((failures > 0))
