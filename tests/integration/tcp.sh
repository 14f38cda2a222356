#!/usr/bin/env bash
# The real program on lines over TCP, on 127.0.0.1 only:
#   ser2net  Debian's ser2net (raw, then RFC 2217) before karune-sim's pseudo-terminal: each call
#            byte for byte as over the serial line; a server that is not there
#   listen   karune-sim calling a listening line: the call byte for byte as over the serial line,
#            a caller outside the allow list, a mapping refused at start
#   peers    a caller that sends without end, and the call after it
# The lines' own rules (callers during a call, silent ones, a server that goes) are
# tests/platform/NetworkLinesTest.cpp's.
# Usage: tcp.sh KARUNE_MODEM KARUNE_SIM ser2net|listen|peers
source "$(dirname "$0")/lib.sh"

# Half-width katakana, the 0x5C trail bytes of ソ and 表, the NEC special ①, a plain backslash.
cp932 $'ｶﾀｶﾅ,ソ表,①番\r\nC:\\DATA,表,ソ\r\nplain,ascii\r\n' >"$dir/records.txt"

free_port() {  # a port of 127.0.0.1 that nobody listens on
    local port
    while :; do
        port=$((20000 + RANDOM % 30000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
    done
}
hwm() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }
listening() { grep -q ":$(printf %04X "$1") 00000000:0000 0A" /proc/net/tcp; }
waits_for_call() {  # case, n: the program waits for its n-th call (else a caller might ring
    # while the modem's "OK" is still being read, and the session would begin again); a slow build
    # takes a while to hang up on a gigabyte
    for _ in $(seq 1200); do
        [ -f "$dir/$1.out" ] && [ "$(grep -c 'ﾓﾃﾞﾑ着信(RING)待ち' "$dir/$1.out")" -ge "${2:-1}" ] &&
            return 0
        sleep 0.1
    done
    return 1
}

# Times and the case's own folder masked, so that two cases' files can be compared.
masked() {
    sed -E -e 's#[0-9]{4}-[0-9]{2}-[0-9]{2}#DATE#g; s#[0-9]{2}:[0-9]{2}:[0-9]{2}#TIME#g' \
        -e "s#$dir/[^/]*/#CASE/#g" "$1"
}
same() { cmp -s <(masked "$1") <(masked "$2"); }
as_over_serial() {  # case: its files and output are those of the call over the serial line
    local file
    for file in out/DATA.txt out/LOG.TXT "out/$(date +%Y-%m).txt" home/Back.txt; do
        check "$1: $file as over the serial line" same "$dir/serial/$file" "$dir/$1/$file"
    done
    check "$1: what the program shows as over the serial line" same "$dir/serial.out" "$dir/$1.out"
}
ended() {  # a process of the script ends within a minute, with its status
    for _ in $(seq 600); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$1" 2>/dev/null
    wait "$1"
}
ends() { ended "$modemPid"; }
call() {  # case, mapping: the headless program (modemPid) on that mapping
    KARUNE_COM1=$2 "$modem" --headless --home "$dir/$1/home" >"$dir/$1.out" 2>"$dir/$1.err" &
    modemPid=$!
}
serial_call() {
    fresh serial 0
    line serial --records "$dir/records.txt" --ring-delay 1
    call serial "$(head -n 1 "$dir/serial.sim")"
    check "the call over the serial line completes" ends
    wait "$simPid"
}

ser2net_start() {  # raw|rfc2217, device: ser2net (s2nPid) on a free port (s2nPort)
    local accepter
    s2nPort=$(free_port)
    accepter="tcp,127.0.0.1,$s2nPort"
    [ "$1" = rfc2217 ] && accepter="telnet(rfc2217),$accepter"
    printf 'connection: &line\n  accepter: %s\n  connector: serialdev,%s,38400n81,local\n' \
        "$accepter" "$2" >"$dir/ser2net.yaml"
    ser2net -n -u -c "$dir/ser2net.yaml" -P "$dir/ser2net.pid" >>"$dir/ser2net.log" 2>&1 &
    s2nPid=$!
    for _ in $(seq 100); do listening "$s2nPort" && return; sleep 0.05; done
}

case $3 in
ser2net)
    serial_call
    for mode in raw rfc2217; do
        fresh $mode 0
        line $mode --records "$dir/records.txt" --ring-delay 1
        ser2net_start $mode "$(head -n 1 "$dir/$mode.sim")"
        scheme=${mode/raw/tcp}
        call $mode "$scheme:127.0.0.1:$s2nPort"
        check "$mode: the call through ser2net completes" ends
        check "$mode: the simulator heard the final ACK and the hang-up" ended "$simPid"
        as_over_serial $mode
        kill "$s2nPid"
        wait "$s2nPid"
    done

    fresh absent 1
    call absent "rfc2217:127.0.0.1:$(free_port)"
    check "a server that is not there is a port error, status 1" status 1 ends
    check "the port error says so" grep -q "ﾎﾟｰﾄ 1: rfc2217:127.0.0.1:[0-9]* に接続できません（" \
        "$dir/absent.out"
    ;;

listen)
    serial_call
    fresh listen 0
    port=$(free_port)
    call listen "listen:127.0.0.1:$port?allow=127.0.0.1"
    waits_for_call listen
    fresh taken 0
    KARUNE_COM1="listen:127.0.0.1:$port" "$modem" --headless --home "$dir/taken/home" \
        >"$dir/taken.out"
    check "a port another program listens on is a port error" \
        grep -q "ﾎﾟｰﾄ 1: listen:127.0.0.1:$port で着信を待てません（" "$dir/taken.out"
    "$sim" --connect "127.0.0.1:$port" --source 127.0.0.2 --timeout 30 >"$dir/stranger.sim"
    check "a caller from outside the allow list is closed without a word" \
        grep -q '^call 1: none, 0 records' "$dir/stranger.sim"
    check "the refusal is logged with the caller's address" grep -q \
        "^karune-modem: listen:127.0.0.1:$port: refused 127.0.0.2:[0-9]*: not in the allow list$" \
        "$dir/listen.err"
    "$sim" --connect "127.0.0.1:$port" --records "$dir/records.txt" --timeout 30 >"$dir/listen.sim"
    check "the call over the listening line completes" ends
    as_over_serial listen

    check "a listening line open to the network without an allow list is refused at start" \
        status 2 env KARUNE_COM1="listen:0.0.0.0:$port" "$modem" --headless \
        --home "$dir/listen/home" 2>"$dir/refused.err"
    check "the refusal says what to add" grep -q "KARUNE_COM1=listen:0.0.0.0:$port: .* add ?allow=" \
        "$dir/refused.err"
    ;;

peers)
    fresh peers 1
    port=$(free_port)
    call peers "listen:127.0.0.1:$port"

    # A caller that sends without end is hung up on, and the memory stays bounded: the reply is
    # cut at 1 MiB, which the frame check reads with a table of its characters' offsets.
    waits_for_call peers
    before=$(hwm "$modemPid")
    timeout 60 head -c 1G /dev/zero 2>/dev/null >"/dev/tcp/127.0.0.1/$port"
    check "a caller that sends without end is hung up on" [ $? -ne 124 ]
    after=$(hwm "$modemPid")
    check "a gigabyte leaves the peak memory near $before KiB (now $after)" \
        [ "$after" -le $((before + 32768)) ]

    check "the line waits for the next call" waits_for_call peers 2
    "$sim" --connect "127.0.0.1:$port" --records "$dir/records.txt" --timeout 30 >"$dir/peers.sim"
    check "the line then serves a call" cmp "$dir/peers/out/DATA.txt" "$dir/records.txt"
    kill -TERM "$modemPid"
    check "SIGTERM ends the program with status 0" ends
    ;;
esac
[ "$failures" -eq 0 ]
