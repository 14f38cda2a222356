# Shared by the whole-program scripts, whose first arguments are KARUNE_MODEM and KARUNE_SIM:
# checks that count failures, waiting on output, CP932 text, home folders with the settings line
# the dialog's writer makes, and the program on a simulator's pseudo-terminal. Everything lives
# in $dir, removed on exit.
set -u
export LC_ALL=C
modem=$1 sim=$2
dir=$(mktemp -d)
chmod 755 "$dir"
failures=0
# A failed check leaves what the programs printed in the test's log, since $dir goes.
trap 'kill -9 $(jobs -p) 2>/dev/null
      [ "$failures" -eq 0 ] || tail -n 30 "$dir"/*.out "$dir"/*.err "$dir"/*.sim "$dir"/*.log 2>/dev/null
      rm -rf "$dir"' EXIT
all=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1

check() {  # what, then a command that must succeed
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1" && failures=$((failures + 1)); fi
}
status() { "${@:2}"; [ $? -eq "$1" ]; }  # exit status, then a command that must end with it
await() {  # file, pattern: waits up to a minute for a line of the file to match
    for _ in $(seq 600); do grep -q -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
settings() {  # home, Port, AutoStart, FixFname, F1..F20, save folder
    printf '0,"%s","%s",%s,0,0,0,%s,0,%s,"1"\r\n' "$4" "$6" "$2" "$3" "$5" >"$1/karune-modem.ini"
}
fresh() {  # name, AutoStart[, F1..F20]: a home folder with its settings and an empty save folder
    rm -rf "${dir:?}/$1"
    mkdir -p "$dir/$1/home" "$dir/$1/out"
    settings "$dir/$1/home" 1 "$2" "" "${3:-$all}" "$dir/$1/out"
}
line() {  # name, simulator options: the simulator (simPid) on a line of its own
    rm -f "$dir/$1.sim"  # else the wait below may find the last simulator's line
    "$sim" --timeout 120 "${@:2}" >"$dir/$1.sim" & simPid=$!
    await "$dir/$1.sim" '^/'
}
serve() {  # line, home, program options: the program (modemPid) on that line
    KARUNE_COM1=$(head -n 1 "$dir/$1.sim") "$modem" --home "$dir/$2/home" "${@:3}" >"$dir/$1.out" &
    modemPid=$!
}
