#!/usr/bin/env bash
# The Windows build under Wine: its ctest, then a complete and a failed headless call through
# COM1 against karune-sim on a pseudo-terminal, and --convert, each byte for byte as the Linux
# build does them (times and the save folder's path masked); the program as a service, the
# installer, files held by other programs and installing over running copies (office-stage.sh),
# and the window (window-stage.sh).
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

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-stage: creating the Wine prefix"
    wineboot -i >/dev/null 2>&1
fi
# Wine rewrites hand-made dosdevices links; the registry mapping stays. It is read at the
# server's start.
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$tty" /f >/dev/null 2>&1

# A persistent server, warmed once: without it each program start waits on Wine's helpers.
start_wineserver() {
    wineserver -p 2>>"$work/wineserver.log" || true
    wine cmd /c exit </dev/null >/dev/null 2>&1
}
stop_wineserver() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

stop_wineserver
start_wineserver

(cd "$windows" && ctest --output-on-failure -j "$(nproc)") | tee "$windows/ctest.log"
stop_wineserver

# Records in CP932: ASCII, half-width katakana, ソ and 表 (second byte 0x5C), ① and ～.
printf 'A001,2026-12-06,\xBA\xDD\xCB\xDF\xAD\xB0\xC0,3\r\n' >"$work/records.txt"
printf 'A002,2026-12-06,\x83\x5C\x83\x74\x83\x67,12\r\n' >>"$work/records.txt"
printf 'A003,2026-12-06,\x95\x5C\x8E\xA6,\x87\x40\x81\x60\x87\x41\r\n' >>"$work/records.txt"
name=受信  # a file name outside ASCII

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

# One call with each build: $1 case name, $2 the exit status both must give, then karune-sim's
# options. Leaves the home and save folders in $work/linux-$1 and $work/windows-$1 and compares
# them, and what the program wrote to its standard output.
calls() {
    local case=$1 expected=$2 system dir folder link status file
    shift 2
    for system in linux windows; do
        dir=$work/$system-$case
        mkdir -p "$dir/home" "$dir/out"
        folder=$dir/out
        link=$dir/tty
        if [ "$system" = windows ]; then
            start_wineserver
            folder=$(win "$folder")
            link=$tty
        fi
        printf '0,"","%s",1,0,0,0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' "$folder" \
            >"$dir/home/karune-modem.ini"
        rm -f "$link"
        "$linux/karune-sim" --records "$work/records.txt" --name "$name" --ring-delay 1 \
            --link "$link" --timeout 60 --calls 2 "$@" >"$dir/sim.log" 2>&1 &
        sim_pid=$!
        for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.05; done
        status=0
        if [ "$system" = windows ]; then
            wine "$windows/karune-modem.exe" --headless --home "$(win "$dir/home")" \
                >"$dir/stdout" 2>"$dir/stderr" </dev/null || status=$?
            # The simulator rings again after the hang-up, so the pseudo-terminal stays open
            # until the wineserver is gone.
            stop_wineserver
        else
            KARUNE_COM1=$link "$linux/karune-modem" --headless --home "$dir/home" \
                >"$dir/stdout" 2>"$dir/stderr" </dev/null || status=$?
        fi
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=
        [ "$status" = "$expected" ] ||
            fail "$system $case exited with $status, not $expected:" "$(cat "$dir/std"*)"
        (cd "$dir/out" && find . -type f | sort) >"$dir/files"
    done
    # The file names hold no blanks.
    for file in files home/Back.txt stdout $(cd "$work/linux-$case" && find out -type f); do
        same "$work/linux-$case/$file" "$work/windows-$case/$file"
    done
}

calls complete 0
[ -s "$work/windows-complete/out/$name.txt" ] || fail "the complete call wrote no output file"
calls failed 1 --drop-after 2 --drop-mode carrier

# The program as a service of Wine's service control manager (its shutdown and pre-shutdown
# requests are checked on the handler by ServiceControlTest). Without its port it stops itself with service-specific
# exit code 1, for the recovery actions; with the modem there it runs and serves a call. Its output
# goes to karune-modem.log in its home.
start_service() {  # NAME HOME [STATE]: creates and starts it, prints its state once STATE
    wine sc delete "$1" >/dev/null 2>&1 || true
    wine sc create "$1" binPath= "$(win "$windows/karune-modem.exe") --service --home $(win "$2")" \
        >/dev/null && wine net start "$1" >/dev/null 2>&1 || fail "the service $1 did not start"
    for _ in $(seq 30); do
        wine sc query "$1" 2>/dev/null | tr -d '\r' >"$2.state"
        grep -q "${3:-STOPPED}" "$2.state" && break
        sleep 0.2
    done
    cat "$2.state"
}
mkdir -p "$work/lost" "$work/serving/home" "$work/serving/out"
start_wineserver
rm -f "$tty"
grep -Pzq '1066.*\n.*SERVICE_EXIT_CODE *: 1 ' <(start_service karune-lost "$work/lost") &&
    grep -q '^[-0-9]* [:0-9]* error: .*ﾎﾟｰﾄ 1' "$work/lost/karune-modem.log" ||
    fail "the service without its port did not stop with exit code 1 and the port error"
printf '0,"","%s",1,0,0,0,1,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$(win "$work/serving/out")" >"$work/serving/home/karune-modem.ini"
"$linux/karune-sim" --records "$work/records.txt" --name "$name" --ring-delay 1 --link "$tty" \
    --timeout 60 --calls 1 >"$work/serving/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -e "$tty" ] && break; sleep 0.05; done
grep -q 'RUNNING' <(start_service karune-serving "$work/serving/home" RUNNING) ||
    fail "the serving service is not running"
for _ in $(seq 300); do [ -s "$work/serving/out/$name.txt" ] && break; sleep 0.1; done
cmp -s "$work/serving/out/$name.txt" "$work/linux-complete/out/$name.txt" ||
    fail "the service's call did not write what the Linux build wrote"
stop_wineserver
source "$(dirname "$0")/service-stage.sh"

# The installer, silent, into this prefix: the installed program answers, keeps its settings per
# user although Program Files is writable under Wine, and the silent uninstaller takes away the
# program and its uninstall entry but not the user's files.
programs="$WINEPREFIX/drive_c/Program Files/KARUNE_MODEM"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KARUNE_MODEM'
start_wineserver
user=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% </dev/null | tr -d '\r')")/karune-modem
rm -rf "$user" "$programs"
wine "$windows"/karune-modem-*-setup.exe /S </dev/null || fail "the silent install failed"
wine reg query "$key" 2>/dev/null | grep -q 'DisplayVersion.*3\.4\.0' || fail "no uninstall entry"
[ "$(wine "$programs/karune-modem.exe" --version </dev/null)" = "$("$linux/karune-modem" --version)" ] &&
    wine "$programs/karune-modem.exe" --set Port=2 </dev/null >/dev/null 2>&1 &&
    grep -q '^0,"[^"]*","[^"]*",2,' "$user/karune-modem.ini" ||
    fail "the installed program did not answer or wrote no per-user settings file"
[ -z "$(find "$programs" -name '*.ini' -o -name 'Back.txt')" ] || fail "it wrote into Program Files"
wine "$programs/uninstall.exe" /S </dev/null || fail "the silent uninstall failed"
# The uninstaller copies itself away and returns at once.
for _ in $(seq 100); do [ -e "$programs" ] || break; sleep 0.1; done
[ ! -e "$programs" ] && ! wine reg query "$key" >/dev/null 2>&1 && [ -f "$user/karune-modem.ini" ] ||
    fail "the uninstaller left the program or its entry, or took the user's settings"
stop_wineserver
source "$(dirname "$0")/office-stage.sh"

# The conversion of the complete call's back-up: twice into the same file (the settings append),
# then once more replacing it (MoveFileExW on Windows).
convert() {
    local home=$work/$1-complete/home output=$work/$1-converted.txt
    if [ "$1" = windows ]; then
        wine "$windows/karune-modem.exe" --home "$(win "$home")" --convert "$(win "$output")" \
            </dev/null
    else
        "$linux/karune-modem" --home "$home" --convert "$output"
    fi
}
start_wineserver
for system in linux windows; do convert $system && convert $system; done
cmp "$work/linux-converted.txt" "$work/windows-converted.txt" || fail "--convert (append) differs"
appended=$(stat -c %s "$work/linux-converted.txt")
for system in linux windows; do
    sed -i -E 's/^(([^,]*,){5})0,/\11,/' "$work/$system-complete/home/karune-modem.ini"
    convert $system
done
cmp "$work/linux-converted.txt" "$work/windows-converted.txt" &&
    [ "$(stat -c %s "$work/windows-converted.txt")" -lt "$appended" ] ||
    fail "--convert (replace) differs"

source "$(dirname "$0")/tcp-stage.sh"
stop_wineserver
source "$(dirname "$0")/held-output.sh"  # the output file held open by another program
source "$(dirname "$0")/window-stage.sh"
if [ -s "$work/wineserver.log" ]; then
    sed 's/^/wine-stage: the wineserver complained: /; 20q' "$work/wineserver.log" >&2
fi
if [ "$failures" -ne 0 ]; then
    echo "wine-stage: $failures failures" >&2
    exit 1
fi
echo "wine-stage: the complete call, the failed call and --convert match the Linux build;" \
    "the service and the installer worked; the windows match their tables and serve a call"
