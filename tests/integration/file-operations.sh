#!/usr/bin/env bash
# The real program's file operations under strace: every call that writes, creates, empties,
# renames, removes, cuts, syncs or changes the mode of a file or folder in the test's folders comes
# from the file-system seam, in a call, in --convert, in --set and in a first start that makes its
# home folder. What a cut at each of them leaves is the seam's, and PowerCutTest's, to show.
# Usage: file-operations.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"

# Calls that change files; open and openat count when they write, create or empty.
ops=open,openat,creat,write,writev,pwrite64,pwritev,pwritev2,rename,renameat,renameat2,unlink
ops=$ops,unlinkat,rmdir,mkdir,mkdirat,truncate,ftruncate,fsync,fdatasync,fchmod,fchmodat,link
ops=$ops,linkat,symlink,symlinkat
seamed() {  # what, least count, the program's arguments: every file operation the program makes
    # in $dir has the seam on its stack
    strace -f -k -y -qq -e trace=$ops -o "$dir/trace" "$modem" "${@:3}" >>"$dir/a.out" 2>&1
    read -r seen bad <<<"$(awk -v d="$dir" 'function end() { if (ours) { n++; bad += !seam } }
        /^[0-9]+ +[a-z]/ { end(); ours = index($0, d) && !/write\([12]</ &&
                           (!/^[0-9]+ +open(at)?\(/ || /O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)/)
                           seam = 0; next }
        /DescriptorFile|SystemFileSystem|karune::checkWritable/ { seam = 1 }
        END { end(); print n + 0, bad + 0 }' "$dir/trace")"
    check "$1: all $seen file operations through the seam" [ "$seen" -ge "$2" -a "$bad" -eq 0 ]
}

cp932 $'ｶﾀｶﾅ,ソ表,①番\r\nC:\\DATA,表,ソ\r\nplain,ascii\r\n' >"$dir/records.txt"
fresh a 0
line a --records "$dir/records.txt" --ring-delay 1
KARUNE_COM1=$(head -n 1 "$dir/a.sim") seamed "a call" 20 --home "$dir/a/home" --headless
seamed "--convert" 10 --home "$dir/a/home" --convert "$dir/a/out/DATA.txt"
seamed "--set" 5 --home "$dir/a/home" --set Port=2

# An installed copy keeps its home per user, made at its first start.
mkdir -p "$dir/installed" "$dir/user"
cp "$modem" "$dir/installed/karune-modem"
touch "$dir/installed/karune-modem.installed"
HOME=$dir/user XDG_CONFIG_HOME=$dir/user/config modem=$dir/installed/karune-modem \
    seamed "a first start" 8 --set Port=4

exit $((failures > 0))
