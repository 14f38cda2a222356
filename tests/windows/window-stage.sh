# The Windows window under Wine on a virtual X server, driven from outside by karune-inspect:
# each window's controls against the shared tables, the buttons in both modes, start, stop, close
# while receiving, the settings dialog's OK with the folder chooser, the end of the user's session
# and the viewer (window-office.sh), and a whole call with the window. Sourced by wine-stage.sh
# after its calls, whose helpers and results it uses.

inspector=$windows/tools/karune-inspect/karune-inspect.exe
main='KARUNE_MODEM for Windows'
settings='ｵﾌﾟｼｮﾝ設定'
chooser='保存ﾌｫﾙﾀﾞ'
about='Karune_modemのﾊﾞｰｼﾞｮﾝ情報'
program_pid=

inspect() { wine "$inspector" "$@" </dev/null; }
# Asks the inspector until it agrees: the window's state follows posted clicks a moment later. A
# failure is counted and the stage goes on.
inspected() { inspect "$@" >"$work/inspected" 2>&1; }
settled() { within 30 inspected "$@" || fail "karune-inspect $*:" "$(cat "$work/inspected")"; }
# One step of the operator's; a failure is counted and the stage goes on.
act() {
    inspect "$@" >/dev/null 2>"$work/acted" || fail "karune-inspect $* (status $?): $(cat "$work/acted")"
}
# A click on control $2 of window $1, then the state it leads to ($3...) as the inspector sees it.
click() {
    act click "$1" "$2"
    settled "${@:3}"
}
control_text() { inspect dump "$1" | awk -F '\t' -v name="$2" '$1 == name { print $3 }'; }

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
eventually test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
trap 'cleanup; kill $xvfb_pid $program_pid 2>/dev/null || true' EXIT
start_wineserver

# A fresh home with its save folder "out" beside it for the case $1, its settings: $2 the file
# name, $3 automatic start, $4 F3; port 1.
fresh_home() {
    home=$work/$1/home
    mkdir -p "$home" "$work/$1/out"
    settings_file "$home" "$(win "$work/$1/out")" "$3" "$4" "$2"
}
# The program in the background: $1 the case, then its options.
program() {
    local case=$1
    shift
    wine "$windows/karune-modem.exe" --home "$(win "$work/$case/home")" "$@" \
        >"$work/$case/stdout" 2>&1 </dev/null &
    program_pid=$!
}
exited() { ! kill -0 "$1"; }
# The program's end, within a minute, with status 0.
program_ended() {
    eventually exited "$program_pid"
    kill "$program_pid" 2>/dev/null && fail "the program did not end"
    run wait "$program_pid"
    [ "$status" = 0 ] || fail "the program exited with $status"
    program_pid=
}

window_started=$SECONDS
# "KEN" and F3 off, as the Qt dialog's test starts.
simulator "$work/sim-buttons" --ring-delay 60
fresh_home buttons KEN 0 0
program buttons
inspect wait "$main" 120 || fail "no window"
settled layout "$main"
settled buttons "$main" 0
click "$main" cmdInfo layout "$about"
click "$about" cmdOK gone "$about" 0
click "$main" cmdComm0 buttons "$main" 1
act close "$main" # while receiving: reception stops, the window stays for the clicks below
settled buttons "$main" 0
click "$main" cmdComm0 buttons "$main" 1
click "$main" cmdComm1 buttons "$main" 0

# The settings dialog and its chooser: the clicks of the Qt dialog's test, a folder picked.
mkdir -p "$work/buttons/out/picked"
click "$main" cmdSetting layout "$settings"
click "$settings" cmdFolderRef layout "$chooser"
act pick "$chooser" Dir1 picked
click "$chooser" cmdOK0 gone "$chooser" 0
act set "$settings" optAutoStart1 1
act set "$settings" chkField0 0
act key "$settings" hsPort 35 # VK_END
act type "$settings" txtFixFname 'X"受'
click "$settings" cmdOK0 gone "$settings" 0
printf '0,"KENX受","%s\\picked",8,0,0,0,1,0,0,1,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$(win "$work/buttons/out")" | iconv -t CP932 >"$work/expected.ini"
cmp "$work/buttons/home/karune-modem.ini" "$work/expected.ini" ||
    fail "the settings dialog's OK wrote:" "$(od -c "$work/buttons/home/karune-modem.ini")"
[ "$(control_text "$main" lblFolder)" = "$(win "$work/buttons/out")\\picked" ] ||
    fail "lblFolder does not show the picked folder"
act close "$main"
settled gone "$main" 0
program_ended
end_simulator

source "$(dirname "${BASH_SOURCE[0]}")/window-office.sh"

# A whole call with the window and automatic start: the files as the Linux build wrote them in
# the complete call, the labels as its window shows them once the call has closed. The second
# call rings only well after the closing pause that the labels are read in.
simulator "$work/sim-call" --ring-delay 4 --calls 2
fresh_home call '' 1 1
program call
eventually grep -q '^call 1: ACK' "$work/sim-call" || fail "the window's call was not acknowledged"
pausing() { control_text "$main" lblStatus | grep -q -F '準備中 ... '; }
eventually pausing || fail "the window's call did not close"
inspect dump "$main" >"$work/call/dump" || fail "no window at the end of the call"
same_call "$work/linux-complete" "$work/call"
# Its end by the close box is the buttons' case above: here the wineserver takes it.
end_simulator
wait "$program_pid" 2>/dev/null || true
program_pid=
# The labels the session wrote last (each through its own call into the window), as the Linux
# build printed them.
label() { awk -F '\t' -v name="$1" '$1 == name { print $3 }' "$work/call/dump"; }
for pair in lblFile:file lblErr:error lblStart:start lblStop:stop; do
    grep "^${pair#*:}: " "$work/linux-complete/stdout" | tail -n 1 >>"$work/call/linux-labels"
    echo "${pair#*:}: $(label "${pair%:*}")" >>"$work/call/labels"
done
same "$work/call/linux-labels" "$work/call/labels"
[ "$(label lblFolder)" = "$(win "$work/call/out")" ] || fail "lblFolder shows: $(label lblFolder)"

stop_wineserver
echo "wine-stage: the window stage took $((SECONDS - window_started)) s"
