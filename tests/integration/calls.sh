#!/usr/bin/env bash
# The real program over a pseudo-terminal against karune-sim: calls in a row, dropped calls, the
# window, --convert and a home folder without settings. The session tests own the steps and
# faults of a call.
# Usage: calls.sh KARUNE_MODEM KARUNE_SIM row|drop|gone|window|convert (one ctest entry each, so that
# the calls in a row, which take most of the time, run beside the rest)
source "$(dirname "$0")/lib.sh"

start() {  # simulator options: the simulator, then the program (headless unless $window) on line a
    line a --records "$dir/records.txt" --ring-delay 1 "$@" && serve a a ${window:---headless}
}
usage() { echo "$(ls "/proc/$1/fd" | wc -l) $(awk '/^VmRSS/ { print $2 }' "/proc/$1/status")"; }

# Half-width katakana, the 0x5C trail bytes of ソ and 表, the NEC special ①, a plain backslash.
cp932 $'ｶﾀｶﾅ,ソ表,①番\r\nC:\\DATA,表,ソ\r\nplain,ascii\r\n' >"$dir/records.txt"

case $3 in
row)
    fresh a 1
    start --calls 8
    await "$dir/a.sim" '^call 2: '
    read -r fds2 rss2 <<<"$(usage "$modemPid")"
    await "$dir/a.sim" '^call 8: '
    read -r fds8 rss8 <<<"$(usage "$modemPid")"
    kill -TERM "$modemPid"
    check "SIGTERM ends the program with status 0" wait "$modemPid"
    wait "$simPid"
    check "eight calls acknowledged" [ "$(grep -c ': ACK, 3 records acknowledged$' "$dir/a.sim")" -eq 8 ]
    check "the output holds every record of every call" \
        cmp "$dir/a/out/DATA.txt" <(for _ in 1 2 3 4 5 6 7 8; do cat "$dir/records.txt"; done)
    check "the back-up holds the last call" cmp "$dir/a/home/Back.txt" "$dir/records.txt"
    check "one history line per call names the output" [ "$(grep -c -F \
        "$(cp932 "ﾚｺｰﾄﾞ受信<3件> : 正常終了 :$dir/a/out/DATA.txt")" "$dir/a/out/"????-??.txt)" -eq 8 ]
    check "descriptors stay at $fds2 (now $fds8)" [ "$fds8" -le "$fds2" ]
    check "resident memory stays near $rss2 KiB (now $rss8)" [ "$rss8" -le $((rss2 + 1024)) ]
    ;;

drop | gone)
    # A dropped call: the modem says "NO CARRIER". A second call keeps the simulator, and so the line,
    # alive after the drop: a simulator that ends with its last call closes the pseudo-terminal, and
    # the hang-up can swallow the "NO CARRIER". A line that goes among the records: the program
    # reads silence, gives up and hangs up.
    fresh a 0
    drop=(--calls 2 --drop-after 2 --drop-mode carrier) error=ﾓﾃﾞﾑ通信ｴﾗｰ
    [ "$3" = drop ] || drop=(--drop-after 1 --drop-mode close) error='ﾀｲﾑｱｳﾄ ｴﾗｰ'
    start "${drop[@]}"
    check "$3: the call ends the program with status 1" status 1 wait "$modemPid"
    check "$3: no output file" [ ! -e "$dir/a/out/DATA.txt" ]
    check "$3: the error is shown" grep -q "ﾚｺｰﾄﾞ受信 : $error\$" "$dir/a.out"
    ;;

window)
    # The window (offscreen) serves a call with automatic start, and SIGTERM acts as the stop button.
    fresh a 1
    QT_QPA_PLATFORM=offscreen window=' ' start
    await "$dir/a.sim" '^call 1: ACK'
    kill -TERM "$modemPid"
    check "the window quits on SIGTERM with status 0" wait "$modemPid"
    check "the window stored the call" cmp "$dir/a/out/DATA.txt" "$dir/records.txt"
    ;;

convert)
    fresh a 0 1,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0
    cp "$dir/records.txt" "$dir/a/home/Back.txt"
    printf 'old\r\n' >"$dir/a/out/recovered.txt"
    check "--convert succeeds" "$modem" --convert "$dir/a/out/recovered.txt" --home "$dir/a/home"
    check "--convert appends the selected fields" cmp "$dir/a/out/recovered.txt" \
        <(cp932 $'old\r\nｶﾀｶﾅ,①番\r\nC:\\DATA,ソ\r\nplain\r\n')

    # A home folder without settings: they are reset to the defaults with the documents folder of the
    # user's directories file, and the operator hears why; without a back-up the conversion fails.
    mkdir -p "$dir/user/.config" "$dir/user/ドキュメント" "$dir/bare"
    printf 'XDG_DOCUMENTS_DIR="$HOME/ドキュメント"\n' >"$dir/user/.config/user-dirs.dirs"
    HOME="$dir/user" XDG_CONFIG_HOME='' "$modem" --convert "$dir/x.txt" --home "$dir/bare" 2>"$dir/err"
    check "--convert without a back-up fails" [ $? -eq 1 ]
    check "the reset is told" grep -q 'INIﾌｧｲﾙ読み込みｴﾗｰ : ﾌｧｲﾙなし' "$dir/err"
    check "the reset settings name the documents folder" \
        grep -q -F "$(cp932 "\"$dir/user/ドキュメント\"")" "$dir/bare/karune-modem.ini"
    ;;
*) echo "calls.sh: unknown case '$3'" >&2 && exit 2 ;;
esac

exit $((failures > 0))
