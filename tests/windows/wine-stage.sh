#!/usr/bin/env bash
# The Windows build under Wine: its ctest, then a complete and a failed headless call through
# COM1 against karune-sim on a pseudo-terminal, each byte for byte as the Linux build makes it
# (times and the save folder's path masked); then the service commands and the program as a
# service serving a call (service-stage.sh), held files and the installer over running copies
# (office-stage.sh), the lines over TCP (tcp-stage.sh) and the window (window-stage.sh). What the
# ctest and the Linux build's tests show of shared code is not shown again here.
#   tests/windows/wine-stage.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")

export WINEPREFIX=$windows/wineprefix WINEDEBUG=-all LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY KARUNE_COM1
work=$(mktemp -d)
tty=$WINEPREFIX/ttyCOM1
sim_pid=

# The wineserver goes before any pseudo-terminal it holds closes: a hang-up makes it dump
# thousands of lines.
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    printf 'wine-stage: %s\n' "$@" >&2
    failures=$((failures + 1))
}
win() { winepath -w "$1" 2>/dev/null; }
# Runs the command that follows, leaving its exit status in $status.
run() {
    status=0
    "$@" || status=$?
}
# Waits up to $1 seconds for the command that follows to succeed: under Wine a loaded machine
# takes seconds where an idle one takes milliseconds, and a met wait ends at once.
within() {
    local end=$((SECONDS + $1))
    until "${@:2}" 2>/dev/null; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
eventually() { within 60 "$@"; }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-stage: creating the Wine prefix"
    wineboot -i >/dev/null 2>&1
fi

# A persistent server, warmed once: without it each program start waits on Wine's helpers.
start_wineserver() {
    wineserver -p 2>>"$work/wineserver.log" || true
    wine cmd /c exit </dev/null >/dev/null 2>&1
}
stop_wineserver() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# Wine rewrites hand-made dosdevices links; the registry mapping stays. It is read at the
# server's start, and looked for where the stopped server keeps it: once, on a new prefix, the
# calls found no COM1 after the mapping had been added.
com1_mapped() {
    wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$tty" /f >/dev/null 2>&1
    stop_wineserver
    grep -q -F "\"$tty\"" "$WINEPREFIX/system.reg"
}
eventually com1_mapped || fail "COM1 is not mapped to $tty in the registry"
start_wineserver

(cd "$windows" && ctest --output-on-failure -j "$(nproc)") | tee "$windows/ctest.log"
stop_wineserver

# Records in CP932: ASCII, half-width katakana, ソ and 表 (second byte 0x5C), ① and ～.
printf 'A001,2026-12-06,\xBA\xDD\xCB\xDF\xAD\xB0\xC0,3\r\n' >"$work/records.txt"
printf 'A002,2026-12-06,\x83\x5C\x83\x74\x83\x67,12\r\n' >>"$work/records.txt"
printf 'A003,2026-12-06,\x95\x5C\x8E\xA6,\x87\x40\x81\x60\x87\x41\r\n' >>"$work/records.txt"
name=受信  # a file name outside ASCII

# The settings of home $1: the save folder $2 as the program reads it, then AutoStart, F3 and
# FixFname (0, 1 and none unless given).
settings_file() {
    printf '0,"%s","%s",1,0,0,0,%s,0,1,1,%s,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
        "${5:-}" "$2" "${3:-0}" "${4:-1}" >"$1/karune-modem.ini"
}
# karune-sim with the records on COM1's pseudo-terminal (sim_pid): $1 its log, then its options.
simulator() {
    rm -f "$tty"
    "$linux/karune-sim" --records "$work/records.txt" --name "$name" --link "$tty" --timeout 300 \
        "${@:2}" >"$1" 2>&1 &
    sim_pid=$!
    eventually test -e "$tty" || fail "karune-sim made no line: $(cat "$1")"
}
stop_simulator() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
}
# The simulator goes; the wineserver goes first (a hang-up makes it dump) and comes back.
end_simulator() {
    stop_wineserver
    stop_simulator
    start_wineserver
}

# Masks the dates, times, the save folder's path and the separator before the file name shown.
masked() {
    sed -E -e 's#[0-9]{4}-[0-9]{2}-[0-9]{2}#DATE#g; s#[0-9]{2}:[0-9]{2}:[0-9]{2}#TIME#g' \
        -e 's#Z:\\[^:"]*\\out\\#FOLDER/#g; s#/[^:"]*/out/#FOLDER/#g; s#^file: \\#file: /#' "$1"
}

same() {
    if [ ! -f "$1" ] || [ ! -f "$2" ]; then
        fail "missing: ${1#$work/} or ${2#$work/}"
    elif ! cmp -s <(masked "$1") <(masked "$2"); then
        fail "differs from the Linux build: ${2#$work/}"
        diff <(masked "$1" | od -c) <(masked "$2" | od -c) | head -n 20 >&2 || true
    fi
}

# The call left in $2 (its home and save folder "out") against the Linux build's in $1: the files
# saved, the history and the files named after them.
same_call() {
    local dir file
    for dir in "$1" "$2"; do
        (cd "$dir/out" && find . -type f | sort) >"$dir/files"
    done
    # The file names hold no blanks.
    for file in files home/Back.txt "${@:3}" $(cd "$1" && find out -type f); do
        same "$1/$file" "$2/$file"
    done
}

# One headless call of the Windows build in $work/windows-$1, compared with the Linux build's in
# $work/linux-$2: $3 the exit status it must give, $4 its KARUNE_COM1 (none: COM1 as Wine maps
# it). The far end plays already, or is the command $5, run once the program waits for its call.
windows_call() {
    local dir=$work/windows-$1 program status
    mkdir -p "$dir/home" "$dir/out"
    settings_file "$dir/home" "$(win "$dir/out")"
    env ${4:+KARUNE_COM1=$4} wine "$windows/karune-modem.exe" --headless --home "$(win "$dir/home")" \
        >"$dir/stdout" 2>"$dir/stderr" </dev/null &
    program=$!
    if [ -n "${5:-}" ]; then
        # A caller that rings while the modem's "OK" is still being read would begin again.
        eventually grep -q 'ﾓﾃﾞﾑ着信(RING)待ち' "$dir/stdout"
        "$5"
    fi
    run wait "$program"
    [ "$status" = "$3" ] || fail "windows $1 exited with $status, not $3:" "$(cat "$dir/std"*)"
    same_call "$work/linux-$2" "$dir" stdout
}

# One call with each build through COM1: $1 case name, $2 the exit status both must give, then
# karune-sim's options. Leaves the home and save folders in $work/linux-$1 and $work/windows-$1
# and compares them, and what the program wrote to its standard output.
calls() {
    local case=$1 expected=$2 dir=$work/linux-$1 status
    shift 2
    mkdir -p "$dir/home" "$dir/out"
    settings_file "$dir/home" "$dir/out"
    simulator "$dir/sim.log" --ring-delay 1 --calls 2 "$@"
    KARUNE_COM1=$tty run "$linux/karune-modem" --headless --home "$dir/home" \
        >"$dir/stdout" 2>"$dir/stderr" </dev/null
    stop_simulator
    [ "$status" = "$expected" ] ||
        fail "linux $case exited with $status, not $expected:" "$(cat "$dir/std"*)"
    start_wineserver
    simulator "$work/windows-$case.sim" --ring-delay 1 --calls 2 "$@"
    windows_call "$case" "$case" "$expected"
    # The simulator rings again after the hang-up, so the pseudo-terminal stays open until the
    # wineserver is gone.
    stop_wineserver
    stop_simulator
}

calls complete 0
calls failed 1 --drop-after 2 --drop-mode carrier

source "$(dirname "$0")/service-stage.sh"
source "$(dirname "$0")/office-stage.sh"
source "$(dirname "$0")/tcp-stage.sh"
source "$(dirname "$0")/window-stage.sh"
if [ -s "$work/wineserver.log" ]; then
    sed 's/^/wine-stage: the wineserver complained: /; 20q' "$work/wineserver.log" >&2
fi
if [ "$failures" -ne 0 ]; then
    echo "wine-stage: $failures failures" >&2
    exit 1
fi
echo "wine-stage: the calls match the Linux build; the service, the installer and the window" \
    "worked"
