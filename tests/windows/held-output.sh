# The output file held open by another program, as a spreadsheet holds the file it shows (others
# may only read it), while a call ends: in append mode and in replace mode the call fails and
# leaves the file as it was, with no journal and no part file beside it; the holder then saves a
# line of its own and closes, and the next call converts, in append mode after that line.
# Sourced by wine-stage.sh, whose helpers and folders it uses.
held=$work/held
mkdir -p "$held/home" "$held/out"
printf '0,"","%s",1,0,0,0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$(win "$held/out")" >"$held/home/karune-modem.ini"
printf 'old\r\n' >"$held/out/sheet.txt"
mkfifo "$held/operator"
start_wineserver
rm -f "$tty"
"$linux/karune-sim" --records "$work/records.txt" --name sheet --ring-delay 1 --link "$tty" \
    --timeout 90 --calls 5 >"$held/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -e "$tty" ] && break; sleep 0.05; done

held_call() {  # expected exit status, the file the output file must equal afterwards, the case
    local status=0
    wine "$windows/karune-modem.exe" --headless --home "$(win "$held/home")" \
        >>"$held/stdout" 2>>"$held/stderr" </dev/null || status=$?
    [ "$status" = "$1" ] || fail "$3: the call exited with $status, not $1"
    cmp -s "$held/out/sheet.txt" "$2" || fail "$3: the output file is not as it should be"
    [ -z "$(find "$held/out" -name '.sheet.txt*')" ] || fail "$3: a journal or part file is left"
}
held_by_spreadsheet() {  # the case: a call while the file is held, then the operator saves
    wine "$windows/tests/windows/file-holder.exe" "$(win "$held/out/sheet.txt")" \
        <"$held/operator" >"$held/holder.out" 2>&1 &
    local holder=$!
    exec 9>"$held/operator"
    for _ in $(seq 100); do grep -q held "$held/holder.out" 2>/dev/null && break; sleep 0.05; done
    cp "$held/out/sheet.txt" "$held/expected"
    held_call 1 "$held/expected" "$1, held"
    printf 'operator,saves\r\n' >&9
    exec 9>&-
    wait "$holder" || fail "$1: the holder could not save its line"
}

held_by_spreadsheet "append"
{ printf 'old\r\noperator,saves\r\n'; cat "$work/records.txt"; } >"$held/expected"
held_call 0 "$held/expected" "append, free again"
ls "$held/home"/Back-*.txt >/dev/null 2>&1 || fail "append: the unconverted back-up was not kept"

sed -i -E 's/^(([^,]*,){5})0,/\11,/' "$held/home/karune-modem.ini"
held_by_spreadsheet "replace"
held_call 0 "$work/records.txt" "replace, free again"

stop_wineserver
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=
