# The window as an office PC's user meets it. Sourced by window-stage.sh, whose helpers, display
# and wineserver it uses.
#
# The end of the user's session, for the window and for the headless program's hidden window, as
# Windows runs it: a cancelled end (the user pressed Cancel on the "apps are preventing shutdown"
# screen) leaves the call going, and only the end itself stops reception, closing the call with
# "CAN" and its history line, and ends the program; the window's end comes without a question
# (a forced logoff), the headless program's after one. (Wine keeps no block reason to read back:
# the reason shown during a call is not checked here.)
office_window_started=$SECONDS
# Long records sent at 38400 baud: a call lasts a few seconds, long enough to act in.
for record in 1 2 3 4 5 6 7 8; do
    printf 'B00%s,%s\r\n' "$record" "$(printf '%02000d' 0)"
done >"$work/long-records.txt"
# $1 the case: the number of records its status shows acknowledged.
acknowledged() {
    if [ "$1" = end-window ]; then
        control_text "$main" lblStatus 2>/dev/null
    else
        grep '^status: ' "$work/$1/stdout" 2>/dev/null | tail -n 1
    fi | sed -n 's#.*ﾚｺｰﾄﾞ受信 : *\([0-9]*\)/8$#\1#p'
}
# $1 the case: whether its status shows more than $2 records acknowledged.
more_than() { [ "$(acknowledged "$1")" -gt "$2" ]; }
# The window starts idle: first its history viewer starts the Notepad of the system folder, not a
# "notepad.exe" that lies in the program's folder (which a search by name tries first).
cp "$inspector" "$windows/notepad.exe"
history_file=$(date +%Y-%m).txt
for case in end-window end-headless; do
    simulator "$work/$case.sim" --records "$work/long-records.txt" --pace --ring-delay 1
    if [ "$case" = end-window ]; then
        fresh_home "$case" '' 0 1
        printf 'x\r\n' >"$work/$case/out/$history_file"
        program "$case"
        target=$main ending=forced
        settled buttons "$main" 0
        act dblclick "$main" Label3
        inspect wait "$history_file - Notepad" 60 && act close "$history_file - Notepad" ||
            fail "the history viewer did not start the system's Notepad"
        act click "$main" cmdComm0
    else
        fresh_home "$case" '' 1 1
        program "$case" --headless
        target=KaruneModemEndSession ending=end
    fi
    eventually more_than "$case" 0 || fail "$case: no call"
    act endsession "$target" cancel
    eventually more_than "$case" "$(acknowledged "$case")" ||
        fail "$case: the cancelled end cut the call off"
    act endsession "$target" $ending
    program_ended
    eventually grep -q '^call 1:' "$work/$case.sim"
    grep -q '^call 1: CAN' "$work/$case.sim" &&
        iconv -f CP932 "$work/$case/out/"????-??.txt | grep -q -F '［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］ [異常終了]' ||
        fail "$case: the end did not close the call:" "$(cat "$work/$case.sim")"
    end_simulator
done
rm -f "$windows/notepad.exe"
echo "wine-stage: the end of the session and the viewer took $((SECONDS - office_window_started)) s"
