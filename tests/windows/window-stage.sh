# The Windows window under Wine on a virtual X server, driven from outside by karune-inspect:
# each window's controls against the shared tables, the buttons in both modes, start, stop, close
# while receiving, the settings dialog's OK with the folder chooser, the end of the user's session
# and the viewer (window-office.sh), and a whole call with the window. Sourced by wine-stage.sh after its
# calls, whose helpers and results it uses.

inspector=$windows/tools/karune-inspect/karune-inspect.exe
main='KARUNE_MODEM for Windows'
settings='ｵﾌﾟｼｮﾝ設定'
chooser='保存ﾌｫﾙﾀﾞ'
about='Karune_modemのﾊﾞｰｼﾞｮﾝ情報'
program_pid=

inspect() { wine "$inspector" "$@" </dev/null; }
# Asks the inspector until it agrees, for about four seconds: the window's state follows posted
# clicks a moment later. A failure is counted and the stage goes on.
settled() {
    for _ in $(seq 40); do
        inspect "$@" >"$work/inspected" 2>&1 && return 0
        sleep 0.1
    done
    fail "karune-inspect $*:" "$(cat "$work/inspected")"
}
# One step of the operator's; a failure is counted and the stage goes on.
act() {
    inspect "$@" >/dev/null 2>"$work/acted" || fail "karune-inspect $* (status $?): $(cat "$work/acted")"
}
control_text() { inspect dump "$1" | awk -F '\t' -v name="$2" '$1 == name { print $3 }'; }

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
trap 'cleanup; kill $xvfb_pid $program_pid 2>/dev/null || true' EXIT
start_wineserver

# The simulator on COM1 with the records, options after the first: $1 its log's name.
simulator() {
    local log=$1
    shift
    rm -f "$tty"
    "$linux/karune-sim" --records "$work/records.txt" --name "$name" --link "$tty" --timeout 60 \
        "$@" >"$work/$log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do [ -e "$tty" ] && break; sleep 0.05; done
}
stop_simulator() {
    stop_wineserver
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
    start_wineserver
}
# Settings lines: $1 the file name, $2 automatic start, $3 F3; port 1, the save folder the home's
# neighbour "out".
settings_line() {
    printf '0,"%s","%s",1,0,0,0,%s,0,1,1,%s,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
        "$1" "$(win "$(dirname "$home")/out")" "$2" "$3" >"$home/karune-modem.ini"
}
# A fresh home with its save folder for the case $1.
fresh_home() {
    home=$work/$1/home
    mkdir -p "$home" "$work/$1/out"
}
# The program in the background: $1 the case, then its options.
program() {
    local case=$1
    shift
    wine "$windows/karune-modem.exe" --home "$(win "$work/$case/home")" "$@" \
        >"$work/$case/stdout" 2>&1 </dev/null &
    program_pid=$!
}
# The program's end, within 30 seconds, with status 0.
program_ended() {
    local status=0
    for _ in $(seq 300); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$program_pid" 2>/dev/null && fail "the program did not end"
    wait "$program_pid" || status=$?
    [ "$status" = 0 ] || fail "the program exited with $status"
    program_pid=
}

window_started=$SECONDS
# "KEN" and F3 off, as the Qt dialog's test starts.
simulator sim-buttons --ring-delay 60
fresh_home buttons
settings_line KEN 0 0
program buttons
inspect wait "$main" 30 || fail "no window"
settled layout "$main"
settled buttons "$main" 0
act click "$main" cmdInfo
settled layout "$about"
act click "$about" cmdOK
settled gone "$about" 0
act click "$main" cmdComm0
settled buttons "$main" 1
act close "$main"
settled buttons "$main" 0
inspect wait "$main" 0 || fail "closing while receiving ended the program"
act click "$main" cmdComm0
settled buttons "$main" 1
act click "$main" cmdComm1
settled buttons "$main" 0

# The settings dialog and its chooser: the clicks of the Qt dialog's test, a folder picked.
mkdir -p "$work/buttons/out/picked"
act click "$main" cmdSetting
settled layout "$settings"
act click "$settings" cmdFolderRef
settled layout "$chooser"
act pick "$chooser" Dir1 picked
act click "$chooser" cmdOK0
settled gone "$chooser" 0
act set "$settings" optAutoStart1 1
act set "$settings" chkField0 0
act key "$settings" hsPort 35 # VK_END
act type "$settings" txtFixFname 'X"受'
act click "$settings" cmdOK0
settled gone "$settings" 0
printf '0,"KENX受","%s\\picked",8,0,0,0,1,0,0,1,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$(win "$work/buttons/out")" | iconv -t CP932 >"$work/expected.ini"
cmp "$work/buttons/home/karune-modem.ini" "$work/expected.ini" ||
    fail "the settings dialog's OK wrote:" "$(od -c "$work/buttons/home/karune-modem.ini")"
[ "$(control_text "$main" lblFolder)" = "$(win "$work/buttons/out")\\picked" ] ||
    fail "lblFolder does not show the picked folder"
act close "$main"
settled gone "$main" 0
program_ended
stop_simulator

source "$(dirname "${BASH_SOURCE[0]}")/window-office.sh"

# A whole call with the window and automatic start: the files as the Linux build wrote them in
# the complete call, the labels as its window shows them once the call has closed. The second
# call rings only well after the closing pause that the labels are read in.
simulator sim-call --ring-delay 4 --calls 2
fresh_home call
settings_line '' 1 1
program call
for _ in $(seq 300); do grep -q '^call 1: ACK' "$work/sim-call" && break; sleep 0.1; done
for _ in $(seq 50); do
    control_text "$main" lblStatus | grep -q -F '準備中 ... ' && break
    sleep 0.1
done
inspect dump "$main" >"$work/call/dump" || fail "no window at the end of the call"
# The files as the call left them: a stop in the pause still runs a cycle of its own.
mkdir -p "$work/call-end/home"
cp -r "$work/call/out" "$work/call-end/"
cp "$work/call/home/Back.txt" "$work/call-end/home/"
act close "$main"
settled buttons "$main" 0
act close "$main"
settled gone "$main" 0
program_ended
stop_simulator
(cd "$work/call-end/out" && find . -type f | sort) >"$work/call-end/files"
for file in files home/Back.txt $(cd "$work/linux-complete" && find out -type f); do
    same "$work/linux-complete/$file" "$work/call-end/$file"
done
# The labels the session wrote last, as the Linux build printed them; the status shows the pause
# before the next call.
label() { awk -F '\t' -v name="$1" '$1 == name { print $3 }' "$work/call/dump"; }
for pair in lblFile:file lblErr:error lblStart:start lblStop:stop; do
    grep "^${pair#*:}: " "$work/linux-complete/stdout" | tail -n 1
done >"$work/call/linux-labels"
for pair in lblFile:file lblErr:error lblStart:start lblStop:stop; do
    echo "${pair#*:}: $(label "${pair%:*}")"
done >"$work/call/labels"
same "$work/call/linux-labels" "$work/call/labels"
[ "$(label lblStatus)" = '準備中 ... ' ] || fail "lblStatus shows: $(label lblStatus)"
[ "$(label lblFolder)" = "$(win "$work/call/out")" ] || fail "lblFolder shows: $(label lblFolder)"

stop_wineserver
echo "wine-stage: the window stage took $((SECONDS - window_started)) s"
