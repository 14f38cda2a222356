# The Windows build's lines over TCP under Wine, one whole call each, compared with the Linux
# build's complete call over the serial line: through ser2net, raw and with RFC 2217, before
# karune-sim's pseudo-terminal, and a listening line that karune-sim calls. On 127.0.0.1 only.
# (The lines' own rules run on Winsock in the ctest.) Sourced by wine-stage.sh after its calls,
# whose helpers and results it uses.
free_port() {
    local port=$((20000 + RANDOM % 30000))
    while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((20000 + RANDOM % 30000)); done
    echo "$port"
}
listening() { grep -q ":$(printf %04X "$1") 00000000:0000 0A" /proc/net/tcp; }

start_wineserver
for mode in raw rfc2217; do
    simulator "$work/$mode.sim" --ring-delay 1
    port=$(free_port)
    accepter="tcp,127.0.0.1,$port"
    [ $mode = rfc2217 ] && accepter="telnet(rfc2217),$accepter"
    printf 'connection: &line\n  accepter: %s\n  connector: serialdev,%s,38400n81,local\n' \
        "$accepter" "$(readlink -f "$tty")" >"$work/ser2net.yaml"
    ser2net -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >>"$work/ser2net.log" 2>&1 &
    ser2net_pid=$!
    eventually listening "$port" || fail "ser2net did not listen: $(cat "$work/ser2net.log")"
    windows_call "$mode" complete 0 "${mode/raw/tcp}:127.0.0.1:$port"
    kill "$ser2net_pid" 2>/dev/null || true
    wait "$ser2net_pid" 2>/dev/null || true
    stop_simulator
done
port=$(free_port)
tcp_terminal() {
    "$linux/karune-sim" --connect "127.0.0.1:$port" --records "$work/records.txt" --name "$name" \
        --timeout 300 >"$work/listen.sim" 2>&1
}
windows_call listen complete 0 "listen:127.0.0.1:$port" tcp_terminal
stop_wineserver
