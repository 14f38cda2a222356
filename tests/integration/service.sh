#!/usr/bin/env bash
# The real program as an administrator meets it: the command line (each option's output and exit
# status, what --set leaves in the settings file), one program per home folder, a pulled adapter
# while waiting for a call, two lines at once, and the installed program run by a user who cannot
# write its folder.
# Usage: service.sh KARUNE_MODEM KARUNE_SIM CMAKE BUILD_DIR
set -u
export LC_ALL=C
modem=$1
sim=$2
cmake=$3
build=$4
dir=$(mktemp -d)
chmod 755 "$dir"
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
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
settings() {  # home, Port, AutoStart, FixFname, F20, save folder: the line the dialog's writer makes
    printf '0,"%s","%s",%s,0,0,0,%s,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,%s,"1"\r\n' \
        "$4" "$6" "$2" "$3" "$5" >"$1/karune-modem.ini"
}
fresh() {  # name, AutoStart: a home folder with its settings and an empty save folder
    rm -rf "${dir:?}/$1"
    mkdir -p "$dir/$1/home" "$dir/$1/out"
    settings "$dir/$1/home" 1 "$2" "" 1 "$dir/$1/out"
}
line() {  # name, simulator options: the simulator on a line of its own
    local name=$1
    shift
    "$sim" --timeout 120 "$@" >"$dir/$name.sim" &
    await "$dir/$name.sim" '^/'
}
pty() { head -n 1 "$dir/$1.sim"; }
waiting='ﾓﾃﾞﾑ着信(RING)待ち'
run() { "$modem" --home "$dir/a/home" "$@" >"$dir/out" 2>"$dir/err"; }

# The command line.
fresh a 0
run --version
check "--version" [ $? -eq 0 ]
check "--version prints it" [ "$(cat "$dir/out")" = "karune-modem 3.4.0" ]
run --help
check "--help names the home folder" grep -q -x "home folder: $dir/a/home" "$dir/err"
run --headles
check "an unknown option exits with 2" [ $? -eq 2 ]
check "an unknown option is named, with the usage" grep -q "unknown option '--headles'" "$dir/err"
QT_QPA_PLATFORM='' DISPLAY='' WAYLAND_DISPLAY='' run
check "the window without a display exits with 2" [ $? -eq 2 ]
check "the window without a display says so" grep -q 'no display found.*--headless' "$dir/err"
run --settings
check "--settings" [ $? -eq 0 ]
check "--settings prints the 30 items in the file's order" diff "$dir/out" <(
    printf 'AddDate=0\nFixFname=\nFolder=%s\nPort=1\nCrcType=0\nOverWrite=0\nStartUpSize=0\n' \
        "$dir/a/out"
    printf 'AutoStart=0\nProtocol=0\n'
    for n in $(seq 20); do echo "F$n=1"; done
    echo TimeAdjust=1)
run --set Port=3 AutoStart=1 'FixFname=ﾃｽﾄ 1' F20=0
check "--set" [ $? -eq 0 ]
mkdir -p "$dir/expected"
settings "$dir/expected" 3 1 "$(cp932 'ﾃｽﾄ 1')" 0 "$dir/a/out"
check "--set writes the dialog's line" cmp "$dir/a/home/karune-modem.ini" "$dir/expected/karune-modem.ini"
for refused in "Port=3 Port=9" "Folder=$dir/a/out/gone" "FixFname=$(printf '\xf0\x9f\x98\x80')" F21=1; do
    # shellcheck disable=SC2086
    run --set $refused
    check "--set $refused exits with 2" [ $? -eq 2 ]
    check "--set $refused saves nothing" cmp "$dir/a/home/karune-modem.ini" "$dir/expected/karune-modem.ini"
done
check "a refusal names the item and the reason" grep -q 'F21: no such setting' "$dir/err"
rm "$dir/a/home/karune-modem.ini"
run --set "Folder=$dir/a/out" Port=2
check "--set on a home without settings" [ $? -eq 0 ]
check "the reset is told first" grep -q 'ﾌｧｲﾙなし' "$dir/err"
settings "$dir/expected" 2 0 "" 1 "$dir/a/out"
check "--set on the reset settings" cmp "$dir/a/home/karune-modem.ini" "$dir/expected/karune-modem.ini"

# One home, one program; the hold goes with a killed program.
fresh a 0
line a --records /dev/null --ring-delay 600
KARUNE_COM1=$(pty a) "$modem" --headless --home "$dir/a/home" >"$dir/a.out" &
first=$!
check "the first program waits for a call" await "$dir/a.out" "$waiting"
mv "$dir/a/home/karune-modem.ini" "$dir/a/settings"
KARUNE_COM1=/nonexistent "$modem" --headless --home "$dir/a/home" >"$dir/out" 2>"$dir/err"
check "a second program on the same home exits with 1" [ $? -eq 1 ]
check "it says why" grep -q 'in use by another karune-modem' "$dir/err"
check "it touched no file" [ ! -e "$dir/a/home/karune-modem.ini" -a ! -s "$dir/out" ]
mv "$dir/a/settings" "$dir/a/home/karune-modem.ini"
kill -9 "$first"
wait "$first" 2>/dev/null
line b --records /dev/null --ring-delay 600
KARUNE_COM1=$(pty b) "$modem" --headless --home "$dir/a/home" >"$dir/b.out" &
check "after a kill the next program holds the home" await "$dir/b.out" "$waiting"
kill -9 $! 2>/dev/null

# A pulled adapter while waiting for a call, with automatic start.
fresh a 1
line a --records /dev/null --ring-delay 600
simPid=$!
KARUNE_COM1=$(pty a) "$modem" --headless --home "$dir/a/home" >"$dir/a.out" &
modemPid=$!
await "$dir/a.out" "$waiting"
kill -9 "$simPid"
wait "$modemPid"
check "a pulled adapter ends the program with status 1" [ $? -eq 1 ]
check "the port error is shown" grep -q '^error: .*>ﾎﾟｰﾄ 1: ' "$dir/a.out"

# Two lines, each with its own home, at once.
cp932 $'ｲﾁ,1\r\n' >"$dir/one.txt"
cp932 $'ﾆ,2\r\ntwo,2\r\n' >"$dir/two.txt"
fresh a 0
fresh b 0
line a --records "$dir/one.txt" --name LINE1 --ring-delay 1
line b --records "$dir/two.txt" --name LINE2 --ring-delay 1
KARUNE_COM1=$(pty a) "$modem" --headless --home "$dir/a/home" >"$dir/a.out" &
pids=($!)
KARUNE_COM1=$(pty b) "$modem" --headless --home "$dir/b/home" >"$dir/b.out" &
pids+=($!)
for pid in "${pids[@]}"; do
    wait "$pid"
    check "each line's call completes" [ $? -eq 0 ]
done
check "line 1 keeps its records" cmp "$dir/a/out/LINE1.txt" "$dir/one.txt"
check "line 2 keeps its records" cmp "$dir/b/out/LINE2.txt" "$dir/two.txt"
check "each line has its back-up" cmp "$dir/b/home/Back.txt" "$dir/two.txt"

# Installed for everyone, run by a user (nobody) who cannot write the program's folder.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    "$cmake" --install "$build" --prefix "$dir/usr" >/dev/null
    check "the icon is installed" [ -f "$dir/usr/share/icons/hicolor/scalable/apps/karune-modem.svg" ]
    mkdir -p "$dir/user/Documents"
    chown -R 65534:65534 "$dir/user"
    line c --records "$dir/two.txt" --name HT01 --ring-delay 1
    chmod 666 "$(pty c)"
    HOME=$dir/user XDG_CONFIG_HOME='' KARUNE_COM1=$(pty c) setpriv --reuid=65534 --regid=65534 \
        --clear-groups -- "$dir/usr/bin/karune-modem" --headless >"$dir/c.out" 2>&1
    check "the installed program serves a call" [ $? -eq 0 ]
    check "its settings are in the user's folder" [ -f "$dir/user/.config/karune-modem/karune-modem.ini" ]
    check "its back-up is there too" cmp "$dir/user/.config/karune-modem/Back.txt" "$dir/two.txt"
    check "the output is in the documents folder" cmp "$dir/user/Documents/HT01.txt" "$dir/two.txt"
    check "nothing was written beside the program" [ ! -e "$dir/usr/bin/karune-modem.ini" ]
else
    echo "skipped: the installed program as another user needs root and setpriv"
fi

exit $((failures > 0))
