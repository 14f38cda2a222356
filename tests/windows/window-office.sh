# The window as an office PC's user meets it. Sourced by window-stage.sh, whose helpers, display
# and wineserver it uses.
#
# The end of the user's session, for the window and for the headless program's hidden window, as
# Windows runs it: the question alone changes nothing, a cancelled end (the user pressed Cancel on
# the "apps are preventing shutdown" screen) leaves the call going, and only the end itself stops
# reception with its closing sequence and ends the program, also when it comes without a
# question. (Wine keeps no block reason to read back: the reason shown during a call is not
# checked here.)
office_window_started=$SECONDS
# Long records sent at 38400 baud: a call lasts a few seconds, long enough to act in.
for record in 1 2 3; do
    printf 'B00%s,%s\r\n' "$record" "$(printf '%02000d' 0)"
done >"$work/long-records.txt"
long_simulator() {
    local log=$1
    shift
    simulator "$log" --records "$work/long-records.txt" --pace --ring-delay 1 "$@"
}
history_of() { iconv -f CP932 "$work/$1/out/"????-??.txt 2>/dev/null; }

# $1 the case: waits until the status shows the first record of a call acknowledged.
first_record() {
    for _ in $(seq 150); do
        if [ "$1" = end-window ]; then
            control_text "$main" lblStatus 2>/dev/null
        else
            grep '^status: ' "$work/$1/stdout" 2>/dev/null | tail -n 1
        fi | grep -q -F ' 1/3' && return 0
        sleep 0.1
    done
}
# Both ends in the same order: cancelled during the first call, which completes; ended during the
# second, which closes as the stop button closes it before the program ends. The window's end
# comes without a question, the headless program's after one.
#
# Between the calls the window's history viewer starts the Notepad of the system folder, not a
# "notepad.exe" that lies in the program's folder (which a search by name tries first).
cp "$windows/tests/windows/file-holder.exe" "$windows/notepad.exe"
history_window="$(date +%Y-%m).txt - Notepad"
for case in end-window end-headless; do
    long_simulator "$case.sim" --calls 2
    fresh_home "$case"
    settings_line '' 1 1
    if [ "$case" = end-window ]; then
        program "$case"
        target=$main ending=forced
    else
        program "$case" --headless
        target=KaruneModemEndSession ending=end
    fi
    first_record "$case"
    act endsession "$target" cancel
    for _ in $(seq 150); do grep -q '^call 1:' "$work/$case.sim" && break; sleep 0.1; done
    grep -q '^call 1: ACK' "$work/$case.sim" || fail "$case: the cancelled end cut the call off"
    if [ "$case" = end-window ]; then
        act dblclick "$main" Label3
        inspect wait "$history_window" 10 && act close "$history_window" ||
            fail "the history viewer did not start the system's Notepad"
    fi
    first_record "$case"
    act endsession "$target" $ending
    program_ended
    grep -q '^call 2: CAN' "$work/$case.sim" &&
        [ "$(history_of "$case" | grep -c -e '正常終了 :' -e '\[異常終了\]:')" = 2 ] ||
        fail "$case: the end did not close the second call:" "$(cat "$work/$case.sim")" \
            "$(history_of "$case")"
    stop_simulator
done
rm -f "$windows/notepad.exe"
echo "wine-stage: the end of the session and the viewer took $((SECONDS - office_window_started)) s"
