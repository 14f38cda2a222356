# The Windows program as an office PC uses it. Sourced by wine-stage.sh after the installer's
# check, whose helpers and records it uses.
#
# A spreadsheet holding the output file, LOG.TXT and the month's history file (read sharing only)
# while a call ends: the terminal gets "CAN", the operator is told which file is held and that the
# terminal sends the records again, the log's loss is noted, and the history line waits. Once the
# files are free the next call completes and its history line follows the waiting one.
office_started=$SECONDS
holder=$windows/tests/windows/file-holder.exe
office=$work/office
mkdir -p "$office/home" "$office/out"
printf '0,"","%s",1,0,0,0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$(win "$office/out")" >"$office/home/karune-modem.ini"
month=$(date +%Y-%m)
output=$(win "$office/out")\\$name.txt
start_wineserver
mkfifo "$office/release"
wine "$holder" "$output" "$(win "$office/out")\\LOG.TXT" "$(win "$office/out")\\$month.txt" \
    <"$office/release" >"$office/held" 2>&1 &
exec 8>"$office/release"
for _ in $(seq 100); do grep -qs held "$office/held" && break; sleep 0.05; done
office_sim() {  # $1 its log, then its options
    rm -f "$tty"
    "$linux/karune-sim" --records "$work/records.txt" --name "$name" --link "$tty" --timeout 60 \
        "${@:2}" >"$office/$1" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do [ -e "$tty" ] && break; sleep 0.05; done
}
office_call() {  # $1 the call's number, $2 the exit status it must give
    local status=0
    office_sim "sim$1" --ring-delay 1
    wine "$windows/karune-modem.exe" --headless --home "$(win "$office/home")" \
        >"$office/stdout$1" 2>"$office/stderr$1" </dev/null || status=$?
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
    [ "$status" = "$2" ] || fail "office call $1 exited with $status, not $2"
}
office_call 1 1
exec 8>&-
in_use="出力ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : $output ［端末はﾚｺｰﾄﾞを再送します］"
log_lost='［LOG.TXTは他のﾌﾟﾛｸﾞﾗﾑが使用中です。この通信は記録されません］'
grep -q '^call 1: CAN, 3 records acknowledged' "$office/sim1" &&
    grep -q -F "Karune_modem: $in_use" "$office/stderr1" &&
    grep -F "error: 20" "$office/stdout1" | grep -q -F "$in_use" &&
    grep -F "error:  LogFile 16:" "$office/stdout1" | grep -q -F "$log_lost" &&
    grep -q -F '履歴ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です' "$office/stdout1" ||
    fail "the held files were not named:" "$(cat "$office/sim1" "$office/stdout1" "$office/stderr1")"
office_call 2 0
history=$(iconv -f CP932 "$office/out/$month.txt" 2>/dev/null)
[ "$(grep -c '' <<<"$history")" = 2 ] &&
    head -n 1 <<<"$history" | grep -q -F "$in_use [異常終了] LogFile 16:" &&
    tail -n 1 <<<"$history" | grep -q -F '正常終了' && [ ! -e "$office/out/.history.waiting" ] &&
    cmp -s "$office/out/$name.txt" "$work/records.txt" ||
    fail "after the files were free:" "$history" "$(ls -a "$office/out")"

# Installing over, and removing, a program that runs from the install folder (an older version:
# its file marked, its uninstall entry's version lowered). A console copy running: the silent
# setup fails and changes nothing, and so does the silent uninstaller (run in place, so that its
# status counts). A service of the installed program running: the setup stops it, replaces the
# program and starts it again; the uninstaller then stops and removes it, and the program goes.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KARUNE_MODEM'
setup=$(win "$(ls "$windows"/karune-modem-*-setup.exe)")
installed=$WINEPREFIX/drive_c/KaruneModem
version() { wine reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk 'NF == 3 { print $3 }'; }
uninstall() {  # in place, for its exit status
    printf '@C:\\KaruneModem\\uninstall.exe /S _?=C:\\KaruneModem\r\n@exit /b %%errorlevel%%\r\n' \
        >"$office/uninstall.cmd"
    wine cmd /c "$(win "$office/uninstall.cmd")" </dev/null 2>"$office/uninstall.err"
}
mkdir -p "$office/service"
cp "$office/home/karune-modem.ini" "$office/service/"
rm -rf "$installed"
wine "$setup" /S '/D=C:\KaruneModem' </dev/null || fail "the install into C:\KaruneModem failed"
wine reg add "$key" /v DisplayVersion /t REG_SZ /d 0.0.1 /f >/dev/null 2>&1
printf OLD >>"$installed/karune-modem.exe"
office_sim sim-running --ring-delay 60
wine "$installed/karune-modem.exe" --headless --home "$(win "$office/home")" \
    >"$office/running" 2>&1 </dev/null &
copy_pid=$!
for _ in $(seq 100); do grep -qs RING "$office/running" && break; sleep 0.05; done
status=0
wine "$setup" /S '/D=C:\KaruneModem' </dev/null 2>"$office/setup.err" || status=$?
[ "$status" = 2 ] && grep -q 'karune-modem.exe is running' "$office/setup.err" &&
    [ "$(tail -c 3 "$installed/karune-modem.exe")" = OLD ] && [ "$(version)" = 0.0.1 ] ||
    fail "setup over a running copy: status $status, version $(version)" "$(cat "$office/setup.err")"
status=0
uninstall || status=$?
[ "$status" = 2 ] && [ -e "$installed/karune-modem.exe" ] && [ "$(version)" = 0.0.1 ] ||
    fail "uninstall of a running copy: status $status" "$(cat "$office/uninstall.err")"
kill "$copy_pid"
wait "$copy_pid" 2>/dev/null || true
wine sc delete karune-office >/dev/null 2>&1 || true
wine sc create karune-office \
    binPath= "C:\KaruneModem\karune-modem.exe --service --home $(win "$office/service")" \
    >/dev/null && wine net start karune-office >/dev/null 2>&1 || fail "the office service did not start"
rings() { grep -c 'RING' "$office/service/karune-modem.log" 2>/dev/null; }
for _ in $(seq 100); do [ "$(rings)" = 1 ] && break; sleep 0.05; done
wine "$setup" /S '/D=C:\KaruneModem' </dev/null || fail "setup over a service failed"
for _ in $(seq 100); do [ "$(rings)" = 2 ] && break; sleep 0.05; done
cmp -s "$installed/karune-modem.exe" "$windows/installer/karune-modem.exe" &&
    [ "$(version)" != 0.0.1 ] && wine sc query karune-office | grep -q RUNNING && [ "$(rings)" = 2 ] ||
    fail "setup over a service: not replaced, or the service not running again" \
        "$(cat "$office/service/karune-modem.log")"
status=0
uninstall || status=$?
[ "$status" = 0 ] && grep -q 'stopping and removing the services that run it: karune-office' \
    "$office/uninstall.err" && ! wine sc query karune-office >/dev/null 2>&1 &&
    [ ! -e "$installed/karune-modem.exe" ] && [ -z "$(version)" ] ||
    fail "uninstall with a service: status $status" "$(cat "$office/uninstall.err")"
rm -rf "$installed"
stop_wineserver
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=
echo "wine-stage: the office checks took $((SECONDS - office_started)) s"
