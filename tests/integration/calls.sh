#!/usr/bin/env bash
# The real program over a pseudo-terminal against karune-sim: calls in a row with automatic start
# (every record byte for byte, descriptors and memory flat, SIGTERM ends it cleanly), dropped
# calls, the window, --convert and a home folder without settings. The session tests own the
# steps and faults of a call.
# Usage: calls.sh KARUNE_MODEM KARUNE_SIM
set -u
export LC_ALL=C
modem=$1
sim=$2
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
failures=0

check() {  # what, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && failures=$((failures + 1)); fi
}
await() {  # file, pattern: waits up to a minute for a line of the file to match
    for _ in $(seq 600); do
        grep -q -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
fresh() {  # AutoStart, the 20 field flags: a new home folder with its settings, an empty save folder
    rm -rf "$dir/home" "$dir/out"
    mkdir -p "$dir/home" "$dir/out"
    printf '0,"","%s",1,0,0,0,%s,0,%s,"1"\r\n' "$dir/out" "$1" "$2" >"$dir/home/karune-modem.ini"
}
start() {  # simulator options: the simulator, then the program headless on its line
    "$sim" --records "$dir/records.txt" --ring-delay 1 --timeout 120 "$@" >"$dir/sim.out" &
    simPid=$!
    await "$dir/sim.out" '^/' || return 1
    KARUNE_COM1=$(head -n 1 "$dir/sim.out") "$modem" ${window:---headless} --home "$dir/home" \
        >"$dir/modem.out" &
    modemPid=$!
}
usage() { echo "$(ls "/proc/$1/fd" | wc -l) $(awk '/^VmRSS/ { print $2 }' "/proc/$1/status")"; }

all=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1
# Half-width katakana, the 0x5C trail bytes of ソ and 表, the NEC special ①, a plain backslash.
cp932 $'ｶﾀｶﾅ,ソ表,①番\r\nC:\\DATA,表,ソ\r\nplain,ascii\r\n' >"$dir/records.txt"

fresh 1 "$all"
start --calls 8
await "$dir/sim.out" '^call 2: '
read -r fds2 rss2 <<<"$(usage "$modemPid")"
await "$dir/sim.out" '^call 8: '
read -r fds8 rss8 <<<"$(usage "$modemPid")"
kill -TERM "$modemPid"
wait "$modemPid"
check "SIGTERM ends the program with status 0" [ $? -eq 0 ]
wait "$simPid"
check "eight calls acknowledged" [ "$(grep -c ': ACK, 3 records acknowledged$' "$dir/sim.out")" -eq 8 ]
check "the output holds every record of every call" \
    cmp "$dir/out/DATA.txt" <(for _ in 1 2 3 4 5 6 7 8; do cat "$dir/records.txt"; done)
check "the back-up holds the last call" cmp "$dir/home/Back.txt" "$dir/records.txt"
check "one history line per call names the output" [ "$(grep -c -F \
    "$(cp932 "ﾚｺｰﾄﾞ受信<3件> : 正常終了 :$dir/out/DATA.txt")" "$dir/out/"????-??.txt)" -eq 8 ]
check "descriptors stay at $fds2 (now $fds8)" [ "$fds8" -le "$fds2" ]
check "resident memory stays near $rss2 KiB (now $rss8)" [ "$rss8" -le $((rss2 + 1024)) ]

# A second call keeps the simulator, and so the line, alive after the drop: a simulator that ends
# with its last call closes the pseudo-terminal, and the hang-up can swallow the "NO CARRIER".
fresh 0 "$all"
start --calls 2 --drop-after 2 --drop-mode carrier
wait "$modemPid"
check "a dropped call ends the program with status 1" [ $? -eq 1 ]
kill "$simPid"
check "no output file after a dropped call" [ ! -e "$dir/out/DATA.txt" ]
check "the modem error is shown" grep -q 'ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ$' "$dir/modem.out"

# The line itself goes among the records: the program reads silence, gives up and hangs up.
fresh 0 "$all"
start --drop-after 1 --drop-mode close
wait "$modemPid"
check "a line that goes ends the program with status 1" [ $? -eq 1 ]
check "no output file after the line went" [ ! -e "$dir/out/DATA.txt" ]

# The window (offscreen) serves a call with automatic start, and SIGTERM acts as the stop button.
fresh 1 "$all"
QT_QPA_PLATFORM=offscreen window=' ' start
await "$dir/sim.out" '^call 1: ACK'
kill -TERM "$modemPid"
wait "$modemPid"
check "the window quits on SIGTERM with status 0" [ $? -eq 0 ]
check "the window stored the call" cmp "$dir/out/DATA.txt" "$dir/records.txt"

fresh 0 1,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0
cp "$dir/records.txt" "$dir/home/Back.txt"
printf 'old\r\n' >"$dir/out/recovered.txt"
"$modem" --convert "$dir/out/recovered.txt" --home "$dir/home"
check "--convert succeeds" [ $? -eq 0 ]
check "--convert appends the selected fields" cmp "$dir/out/recovered.txt" \
    <(cp932 $'old\r\nｶﾀｶﾅ,①番\r\nC:\\DATA,ソ\r\nplain\r\n')

# A home folder without settings: they are reset to the defaults with the documents folder of the
# user's directories file, and the operator hears why; without a back-up the conversion fails.
mkdir -p "$dir/user/.config" "$dir/user/ドキュメント" "$dir/bare"
printf 'XDG_DOCUMENTS_DIR="$HOME/ドキュメント"\n' >"$dir/user/.config/user-dirs.dirs"
HOME="$dir/user" XDG_CONFIG_HOME='' "$modem" --convert "$dir/out/x.txt" --home "$dir/bare" 2>"$dir/err"
check "--convert without a back-up fails" [ $? -eq 1 ]
check "the reset is told" grep -q 'INIﾌｧｲﾙ読み込みｴﾗｰ : ﾌｧｲﾙなし' "$dir/err"
check "the reset settings name the documents folder" \
    grep -q -F "$(cp932 "\"$dir/user/ドキュメント\"")" "$dir/bare/karune-modem.ini"

exit $((failures > 0))
