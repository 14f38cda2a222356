#!/usr/bin/env bash
# The real program's file operations under strace: every call that writes, creates, empties,
# renames, removes, cuts, syncs or changes the mode of a file or folder in the test's folders comes
# from the file-system seam, in a call, in --convert, in --set and in a first start that makes its
# home folder; and a SIGKILL at every one of them in --set, --convert and the first start leaves
# settings that are old or new, an output file that the next conversion leaves whole, and a
# program that starts again.
# Usage: file-operations.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"

# Calls that change files; open and openat count when they write, create or empty.
ops=open,openat,creat,write,writev,pwrite64,pwritev,pwritev2,rename,renameat,renameat2,unlink
ops=$ops,unlinkat,rmdir,mkdir,mkdirat,truncate,ftruncate,fsync,fdatasync,fchmod,fchmodat,link
ops=$ops,linkat,symlink,symlinkat
# The n-th call of its kind (strace's numbering for injection) and what it touched, one per line:
# "openat 7" for each file operation in $dir (the console aside).
numbered() {
    awk -v d="$dir" '/^[0-9]+ +[a-z0-9_]+\(/ {
            name = $2; sub(/\(.*/, "", name); n[name]++
            if (!index($0, d) || $0 ~ /write\([12]</) next
            if (name ~ /^open(at)?$/ && $0 !~ /O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)/) next
            print name, n[name]
        }' "$1"
}
traced() {  # trace file, then the program's arguments
    strace -f -k -y -qq -e trace=$ops -o "$1" "$modem" "${@:2}"
}
seamed() {  # what, least count, trace: every file operation in $dir has the seam on its stack
    read -r seen bad <<<"$(awk -v d="$dir" 'function end() { if (ours) { n++; bad += !seam } }
        /^[0-9]+ +[a-z]/ { end(); ours = index($0, d) && !/write\([12]</ &&
                           (!/^[0-9]+ +open(at)?\(/ || /O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)/)
                           seam = 0; next }
        /DescriptorFile|SystemFileSystem|karune::checkWritable/ { seam = 1 }
        END { end(); print n + 0, bad + 0 }' "$3")"
    check "$1: all $seen file operations through the seam" [ "$seen" -ge "$2" -a "$bad" -eq 0 ]
}

cp932 $'ｶﾀｶﾅ,ソ表,①番\r\nC:\\DATA,表,ソ\r\nplain,ascii\r\n' >"$dir/records.txt"
fresh a 0
line a --records "$dir/records.txt" --ring-delay 1
KARUNE_COM1=$(head -n 1 "$dir/a.sim") traced "$dir/call.trace" --home "$dir/a/home" --headless \
    >"$dir/a.out"
seamed "a call" 20 "$dir/call.trace"
traced "$dir/convert.trace" --home "$dir/a/home" --convert "$dir/a/out/DATA.txt" 2>/dev/null
seamed "--convert" 10 "$dir/convert.trace"
traced "$dir/set.trace" --home "$dir/a/home" --set Port=2 2>/dev/null
seamed "--set" 5 "$dir/set.trace"

# An installed copy keeps its home per user, made at its first start.
mkdir -p "$dir/installed"
cp "$modem" "$dir/installed/karune-modem"
touch "$dir/installed/karune-modem.installed"
installed() {  # a command with the installed copy, for a user without a home yet
    rm -rf "$dir/user"
    mkdir -p "$dir/user"
    (HOME=$dir/user XDG_CONFIG_HOME=$dir/user/config "$@"; true) &>/dev/null
}
installed strace -f -k -y -qq -e trace=$ops -o "$dir/first.trace" "$dir/installed/karune-modem" \
    --set Port=4
seamed "a first start" 8 "$dir/first.trace"

# SIGKILL at every file operation. --set and --convert run against the call's home; what the
# settings are and how long the output is are noted before each.
killed() {  # syscall, n, then the program's arguments; the shell's "Killed" goes too
    (strace -f -qq -e trace=$ops -e inject="$1:signal=KILL:when=$2" -o /dev/null \
        "$modem" --home "$dir/a/home" "${@:3}"; true) &>/dev/null
}
ini=$dir/a/home/karune-modem.ini
block=$(wc -c <"$dir/a/home/Back.txt")
while read -r call n; do
    before=$(cat "$ini")
    killed "$call" "$n" --set "Port=$n"
    check "--set killed at $call $n: the settings are old or new" \
        [ "$(cat "$ini")" = "$before" -o "$("$modem" --home "$dir/a/home" --settings 2>/dev/null |
            grep '^Port=')" = "Port=$n" ]
done < <(numbered "$dir/set.trace")
while read -r call n; do
    size=$(wc -c <"$dir/a/out/DATA.txt")
    killed "$call" "$n" --convert "$dir/a/out/DATA.txt"
    "$modem" --home "$dir/a/home" --convert "$dir/a/out/DATA.txt"
    now=$(wc -c <"$dir/a/out/DATA.txt")
    check "--convert killed at $call $n: the next conversion leaves whole blocks" \
        [ "$now" -eq $((size + block)) -o "$now" -eq $((size + 2 * block)) ]
    check "--convert killed at $call $n: nothing half done lies about" \
        [ -z "$(find "$dir/a/out" -name '.*' ! -name .karune-modem.lock)" ]
done < <(numbered "$dir/convert.trace")
while read -r call n; do
    installed strace -f -qq -e trace=$ops -e inject="$call:signal=KILL:when=$n" -o /dev/null \
        "$dir/installed/karune-modem" --set Port=4
    HOME=$dir/user XDG_CONFIG_HOME=$dir/user/config "$dir/installed/karune-modem" \
        --set Port=5 2>/dev/null
    check "a first start killed at $call $n: the next start makes its settings" \
        grep -q '^0,"[^"]*","[^"]*",5,' "$dir/user/config/karune-modem/karune-modem.ini"
done < <(numbered "$dir/first.trace")

exit $((failures > 0))
