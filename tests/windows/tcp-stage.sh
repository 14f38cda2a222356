# A line over TCP in the Windows build under Wine: one whole call on a listening line that
# karune-sim calls on 127.0.0.1, compared with the Linux build's complete call over the serial
# line. (The lines themselves run on Winsock in the ctest; ser2net's: tests/integration/tcp.sh.)
# Sourced by wine-stage.sh after its calls, whose helpers and results it uses.
port=$((20000 + RANDOM % 30000))
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((20000 + RANDOM % 30000)); done
dir=$work/windows-listen
mkdir -p "$dir/home" "$dir/out"
start_wineserver
settings_file "$dir/home" "$(win "$dir/out")"
KARUNE_COM1=listen:127.0.0.1:$port wine "$windows/karune-modem.exe" --headless \
    --home "$(win "$dir/home")" >"$dir/stdout" 2>"$dir/stderr" </dev/null &
program=$!
# A caller that rings while the modem's "OK" is still being read would begin the session again.
eventually grep -q 'ﾓﾃﾞﾑ着信(RING)待ち' "$dir/stdout"
"$linux/karune-sim" --connect "127.0.0.1:$port" --records "$work/records.txt" --name "$name" \
    --timeout 300 >"$dir/sim.log" 2>&1
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || fail "windows listen exited with $status:" "$(cat "$dir/std"*)"
(cd "$dir/out" && find . -type f | sort) >"$dir/files"
for file in files home/Back.txt stdout $(cd "$work/linux-complete" && find out -type f); do
    same "$work/linux-complete/$file" "$dir/$file"
done
stop_wineserver
