#!/usr/bin/env bash
# Where an administrator sees what the headless program did: a line at its start and at its end,
# and under systemd the journal's priorities on each line, so that journalctl -p err shows the
# failures; the operator's messages under the program's title. The Windows service commands
# check their options and refuse on Linux.
# Usage: diagnostics.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"
modem=$(realpath "$modem")

# The headless program on line a, with both its streams in $dir/a.log, waiting for a call; in $dir,
# so that a missing save folder is replaced by the current directory.
waiting() {  # the file that JOURNAL_STREAM names: a.log (the journal) or another one
    : >"$dir/a.log"
    touch "$1"
    line a --records /dev/null --ring-delay 600
    (cd "$dir" && JOURNAL_STREAM=$(stat -c '%d:%i' "$1") KARUNE_COM1=$(head -n 1 "$dir/a.sim") \
        exec "$modem" --home "$dir/a/home" --headless >"$dir/a.log" 2>&1) &
    modemPid=$!
    await "$dir/a.log" 'ﾓﾃﾞﾑ着信(RING)待ち'
}

# The journal: a pulled adapter with automatic start is an error that says why; the call's error
# lines are warnings, a missing save folder an error, the start a notice; status lines carry none.
fresh a 1
rmdir "$dir/a/out"
waiting "$dir/a.log"
kill -9 "$simPid"
check "a pulled adapter ends the program with status 1" status 1 wait "$modemPid"
tty=$(head -n 1 "$dir/a.sim")
while IFS='|' read -r what pattern; do
    check "$what" grep -q -E -- "$pattern" "$dir/a.log"
done <<ROWS
the start names version, home and the port's device|^<5>karune-modem 3\.4\.0 started: home $dir/a/home, COM1 = $tty \(KARUNE_COM1\)$
a missing save folder is an error|^<3>エラー！！: 保存ﾌｫﾙﾀﾞが存在しません
the port error is a warning|^<4>error: .*>ﾎﾟｰﾄ 1: 
the end is an error with its reason|^<3>karune-modem stopped: reception ended without a stop: .*>ﾎﾟｰﾄ 1: .*異常終了
a status line has no priority|^status: ﾓﾃﾞﾑ初期化中
ROWS

# Not the journal: no priorities; a stop request is a notice.
fresh a 1
waiting "$dir/elsewhere"
kill -TERM "$modemPid"
check "SIGTERM ends the program with status 0" wait "$modemPid"
kill "$simPid"
check "the end says a stop was requested" grep -qx 'karune-modem stopped: stop requested' "$dir/a.log"
check "no line carries a priority" status 1 grep -q '^<' "$dir/a.log"

# An operator's message goes to standard error under the program's title: here the note on an
# unconverted back-up, which the next call keeps apart.
fresh b 0
printf 'old,1\r\n' | tee "$dir/b/home/Back.txt" >"$dir/records.txt"
line b --records "$dir/records.txt" --ring-delay 1
serve b b --headless 2>"$dir/b.err"
wait "$modemPid"
check "a message carries the program's title" \
    grep -q '^Karune_modem: 未変換のﾊﾞｯｸｱｯﾌﾟを残しました' "$dir/b.err"

# Refusals, errors of the journal: a home the program cannot use, and the Windows service
# commands, which check their options and then refuse on Linux.
while IFS='|' read -r arguments want text; do
    : >"$dir/err"
    eval "JOURNAL_STREAM=$(stat -c '%d:%i' "$dir/err") \"\$modem\" $arguments" >/dev/null 2>>"$dir/err"
    check "karune-modem $arguments exits with $want" [ $? -eq "$want" ]
    check "karune-modem $arguments says $text" grep -q -E -- "$text" "$dir/err"
done <<ROWS
--home $dir/missing --headless|1|^<3>.*: cannot use the home folder $dir/missing
--install-service line1 --home $dir --port-map COM1=tcp:modem:2001|2|is for Windows; under systemd
--uninstall-service line1|2|is for Windows
--install-service line1|2|^<3>.*needs --home DIR
--install-service --home $dir|2|needs the service's name
--install-service line1 --home $dir --port-map COM9=COM12|2|not COMn=DEVICE with n from 1 to 8
--install-service line1 --home $dir --port-map COM1=|2|not COMn=DEVICE
--headless --port-map COM1=COM12|2|goes with --install-service
ROWS

exit $((failures > 0))
