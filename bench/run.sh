#!/usr/bin/env bash
# Measures the speed and memory of the real program and prints one markdown table.
#
#   bench/run.sh
#
# Environment: BENCH_IDLE_SECONDS (default 60), BENCH_WATCH_SECONDS (idle with the modem watch,
# default 20), BENCH_RECORDS (records of the timed call, default 500), BENCH_TCP_RECORDS (records
# of the calls over TCP, default 100), BENCH_MEGABYTES (size of the large back-up file, default
# 200), BENCH_BUILD_DIR (default build-bench, a Release build). The lines over TCP need ser2net.
# Data lives in a fresh /tmp directory that is removed at the end. Exit status 0 when every row
# passes.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BENCH_BUILD_DIR:-$ROOT/build-bench}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-60}
WATCH_SECONDS=${BENCH_WATCH_SECONDS:-20}
RECORDS=${BENCH_RECORDS:-500}
TCP_RECORDS=${BENCH_TCP_RECORDS:-100}
MEGABYTES=${BENCH_MEGABYTES:-200}
SMALL_MEGABYTES=$((MEGABYTES / 10))

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARUNE_WERROR=ON \
        >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log" >&2; exit 2; }
    rm -f "$BUILD.configure.log"
fi
BUILD_LOG=$(mktemp /tmp/karune-bench-build.XXXXXX)
if ! cmake --build "$BUILD" -j2 --target karune-modem karune-sim karune-bench-probe \
    karune-bench-records karune-bench-terminal karune-bench-sync >"$BUILD_LOG" 2>&1; then
    cat "$BUILD_LOG" >&2
    rm -f "$BUILD_LOG"
    exit 2
fi
rm -f "$BUILD_LOG"

MODEM=$BUILD/karune-modem
SIM=$BUILD/karune-sim
PROBE=$BUILD/bench/karune-bench-probe
RECORDS_TOOL=$BUILD/bench/karune-bench-records
TERMINAL=$BUILD/bench/karune-bench-terminal
SYNC=$BUILD/bench/karune-bench-sync

WORK=$(mktemp -d /tmp/karune-bench.XXXXXX)
BACKGROUND=()
cleanup() {
    for pid in "${BACKGROUND[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# key=value output of the helpers.
value() { sed -n "s/^$2=//p" "$1" | head -n 1; }
# awk does the arithmetic: calc EXPR
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
verdict() { if awk "BEGIN { exit !($1) }"; then echo pass; else echo FAIL; fi; }

# settings HOME FOLDER OVERWRITE AUTOSTART F1..F20: the one-line settings file, CP932 (ASCII).
settings() {
    local home=$1 folder=$2 overwrite=$3 autostart=$4
    shift 4
    local fields
    fields=$(IFS=,; echo "$*")
    mkdir -p "$home" "$folder"
    printf '0,"","%s",1,0,%s,0,%s,0,%s,"1"\r\n' "$folder" "$overwrite" "$autostart" "$fields" \
        >"$home/karune-modem.ini"
}
ALL_FIELDS=(1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1)
FIELDS_1_3_4=(1 0 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0)

wait_for_link() {
    for _ in $(seq 100); do
        [ -L "$1" ] && return 0
        sleep 0.05
    done
    echo "bench: $1 did not appear" >&2
    return 1
}

ROWS=()
row() { ROWS+=("| $1 | $2 | $3 | $4 | $5 |"); }

# --- 1 and 4: the headless program waiting for RING -------------------------------------------
# karune-sim is the modem: it answers "ATE0" and then stays quiet for an hour.
settings "$WORK/idle" "$WORK/idle-out" 1 0 "${ALL_FIELDS[@]}"
"$SIM" --ring-delay 3600 --link "$WORK/tty-idle" --timeout $((IDLE_SECONDS + 120)) \
    >/dev/null 2>&1 &
BACKGROUND+=($!)
wait_for_link "$WORK/tty-idle"
KARUNE_COM1=$WORK/tty-idle "$PROBE" idle --wait-line --settle 2 --seconds "$IDLE_SECONDS" -- \
    "$MODEM" --headless --home "$WORK/idle" >"$WORK/idle.txt" 2>/dev/null || true
kill "${BACKGROUND[-1]}" 2>/dev/null || true

idle_cpu=$(value "$WORK/idle.txt" cpu_percent)
idle_line=$(value "$WORK/idle.txt" last_line)
if [ -n "$idle_cpu" ] && [[ $idle_line == *RING* ]]; then
    row 1 "Idle CPU, headless, waiting for RING on a pty (${IDLE_SECONDS} s)" \
        "${idle_cpu} % of a core ($(value "$WORK/idle.txt" cpu_ticks) ticks of 10 ms; $(value "$WORK/idle.txt" wakeups_per_s) wake-ups/s)" \
        "< 0.1 %" \
        "$(verdict "$idle_cpu < 0.1")"
else
    row 1 "Idle CPU, headless, waiting for RING on a pty" "not measured: ${idle_line:-no output}" \
        "< 0.1 %" FAIL
fi

# --- 1: the same with the modem watch asking "AT" after every 5 s of quiet --------------------
# The check is a deadline in the call wait's blocking reads: no timer of its own, no ticks. The
# program must still be waiting at the end, so every "AT" got its "OK".
settings "$WORK/watch" "$WORK/watch-out" 1 0 "${ALL_FIELDS[@]}"
"$SIM" --ring-delay 3600 --link "$WORK/tty-watch" --timeout $((WATCH_SECONDS + 60)) \
    >/dev/null 2>&1 &
BACKGROUND+=($!)
wait_for_link "$WORK/tty-watch"
KARUNE_COM1=$WORK/tty-watch "$PROBE" idle --wait-line --settle 2 --seconds "$WATCH_SECONDS" -- \
    "$MODEM" --headless --modem-check 5 --home "$WORK/watch" >"$WORK/watch.txt" 2>/dev/null || true
kill "${BACKGROUND[-1]}" 2>/dev/null || true
watch_ticks=$(value "$WORK/watch.txt" cpu_ticks)
if [ -n "$watch_ticks" ] && [[ $(value "$WORK/watch.txt" last_line) == *RING* ]]; then
    row 1 "Idle CPU with the modem watch (--modem-check 5: \"AT\" every ~6 s), headless (${WATCH_SECONDS} s)" \
        "${watch_ticks} ticks of 10 ms ($(value "$WORK/watch.txt" wakeups_per_s) wake-ups/s)" \
        "0 ticks" "$(verdict "$watch_ticks == 0")"
else
    row 1 "Idle CPU with the modem watch" "not measured: $(value "$WORK/watch.txt" last_line)" \
        "0 ticks" FAIL
fi

# --- 2: per-record turnaround of a whole call at 38400 baud -----------------------------------
# The floor of one record, as the terminal sees it from the first byte of its frame to the end
# of the "ACK" that answers it:
#   - the frame "^" seq payload "*" checksum and its CR on the line: (frame + 1) bytes x 10 bits
#     at 38400 baud (260.4 us a byte; ~12 ms for a 40-byte payload);
#   - "ACK" CR back: 4 bytes, 1.04 ms (the pty hands the program's answer over at once, so the
#     bench adds this wire time to the measured turnaround as well as to the floor);
#   - the program's reply rule: a reply ends when 100 ms pass with nothing new, or at once when
#     a read returns a lone CR. The simulator sends 8-byte bursts (one every 8 x 260 us), so the
#     CR travels alone only when (frame + 1) mod 8 = 1; every other record also waits the
#     100 ms of silence. The bench terminal notes for each record whether its CR went out in a
#     write of its own, and charges the 100 ms only when it did not.
# What is left, the overhead, is the time from the CR reaching the pty to the "ACK" reaching the
# terminal, less the 100 ms when the silence rule applied: checking, the back-up and log writes,
# the status line, and wake-up latency. It is taken from the CR's write, not from the frame's
# first byte, because the bench's own pacing is not exact: an 8-byte burst hands its bytes over
# at once, up to 2 ms before a wire would (mean turnaround can come out below the floor), and a
# byte-by-byte terminal wakes a little late for every byte (turnaround above the floor by that
# slip). A lone CR that the program reads together with the byte before it (it was not reading
# within 260 us) costs the full 100 ms and counts against the program. Run once with the simulator's 8-byte bursts and once
# byte by byte, as a UART delivers them (then every CR arrives alone and no record waits 100 ms).
"$RECORDS_TOOL" --records "$RECORDS" --fields 7 --seed 7 >"$WORK/upload.txt"
call_row() {
    local label=$1 burst=$2 name=$3
    settings "$WORK/$name" "$WORK/$name-out" 1 0 "${ALL_FIELDS[@]}"
    "$TERMINAL" --records "$WORK/upload.txt" --link "$WORK/tty-$name" --burst "$burst" \
        --timeout $((RECORDS + 60)) >"$WORK/$name.txt" 2>"$WORK/$name.err" &
    local terminal=$!
    BACKGROUND+=($terminal)
    wait_for_link "$WORK/tty-$name"
    local program=0 status=0 started
    started=$(date +%s%N)
    KARUNE_COM1=$WORK/tty-$name "$MODEM" --headless --home "$WORK/$name" >"$WORK/$name.log" \
        2>&1 || program=$?
    local call_ms=$(( ($(date +%s%N) - started) / 1000000 ))
    wait "$terminal" || status=$?
    local mean p99 max turnaround floor alone missed
    mean=$(value "$WORK/$name.txt" overhead_mean_ms)
    p99=$(value "$WORK/$name.txt" overhead_p99_ms)
    max=$(value "$WORK/$name.txt" overhead_max_ms)
    turnaround=$(value "$WORK/$name.txt" turnaround_mean_ms)
    floor=$(value "$WORK/$name.txt" floor_mean_ms)
    alone=$(value "$WORK/$name.txt" overhead_cr_alone_count)
    missed=$(value "$WORK/$name.txt" lone_cr_missed)
    if [ "$program" -ne 0 ] || [ "$status" -ne 0 ]; then
        row 2 "$label" "call failed (program $program, terminal $status)" "< 5 ms above floor" FAIL
        return
    fi
    row 2 "$label, $(value "$WORK/$name.txt" records) records, $alone with a lone CR ($missed of them read with the byte before)" \
        "${mean} ms above floor (p99 ${p99}, max ${max}); mean turnaround ${turnaround} ms with the bench's pacing, floor ${floor} ms; whole call ${call_ms} ms" \
        "< 5 ms above floor" "$(verdict "$mean < 5")"
}
call_row "Turnaround per record, 38400 baud in 8-byte bursts (as karune-sim --pace)" 8 call8
call_row "Turnaround per record, 38400 baud byte by byte" 1 call1

# --- 2: the same call over lines over TCP ----------------------------------------------------
# The bench terminal's bytes leave at 38400 baud in 8-byte bursts as above, but reach the program
# through ser2net (raw TCP, then RFC 2217; with `nodelay` and `chardelay: false`, as the README
# advises) on the loopback, or come from the terminal calling a listening line itself; compare with the serial
# line's row of the same pacing.
free_port() {
    local port
    while :; do
        port=$((20000 + RANDOM % 30000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
    done
}
listening() { grep -q ":$(printf %04X "$1") 00000000:0000 0A" /proc/net/tcp; }
wait_for_port() {
    for _ in $(seq 100); do
        listening "$1" && return 0
        sleep 0.05
    done
    echo "bench: nobody listens on port $1" >&2
    return 1
}
"$RECORDS_TOOL" --records "$TCP_RECORDS" --fields 7 --seed 7 >"$WORK/tcp-upload.txt"
tcp_row() {  # label, raw|rfc2217|listen
    local label=$1 kind=$2 name=tcp-$2 port program=0 status=0 server=
    port=$(free_port)
    settings "$WORK/$name" "$WORK/$name-out" 1 0 "${ALL_FIELDS[@]}"
    if [ "$kind" = listen ]; then
        KARUNE_COM1=listen:127.0.0.1:$port "$MODEM" --headless --home "$WORK/$name" \
            >"$WORK/$name.log" 2>&1 &
        local modem=$!
        # A caller that rings while the modem's "OK" is read would start the session over.
        for _ in $(seq 100); do grep -q 'RING' "$WORK/$name.log" && break; sleep 0.05; done
        "$TERMINAL" --records "$WORK/tcp-upload.txt" --connect "127.0.0.1:$port" --burst 8 \
            --timeout $((TCP_RECORDS + 60)) >"$WORK/$name.txt" 2>"$WORK/$name.err" || status=$?
        wait "$modem" || program=$?
    else
        "$TERMINAL" --records "$WORK/tcp-upload.txt" --link "$WORK/tty-$name" --burst 8 \
            --timeout $((TCP_RECORDS + 60)) >"$WORK/$name.txt" 2>"$WORK/$name.err" &
        local terminal=$!
        BACKGROUND+=($terminal)
        wait_for_link "$WORK/tty-$name"
        local accepter="tcp(nodelay),127.0.0.1,$port"
        [ "$kind" = rfc2217 ] && accepter="telnet(rfc2217),$accepter"
        printf 'connection: &line\n  accepter: %s\n  connector: serialdev,%s,38400n81,local\n  options:\n    chardelay: false\n' \
            "$accepter" "$(readlink "$WORK/tty-$name")" >"$WORK/$name.yaml"
        ser2net -n -u -c "$WORK/$name.yaml" >/dev/null 2>&1 &
        server=$!
        BACKGROUND+=($server)
        wait_for_port "$port"
        KARUNE_COM1=${kind/raw/tcp}:127.0.0.1:$port "$MODEM" --headless --home "$WORK/$name" \
            >"$WORK/$name.log" 2>&1 || program=$?
        wait "$terminal" || status=$?
        kill "$server" 2>/dev/null || true
    fi
    if [ "$program" -ne 0 ] || [ "$status" -ne 0 ]; then
        row 2 "$label" "call failed (program $program, terminal $status)" "< 5 ms above floor" FAIL
        return
    fi
    local mean
    mean=$(value "$WORK/$name.txt" overhead_mean_ms)
    row 2 "$label, $(value "$WORK/$name.txt" records) records" \
        "${mean} ms above floor (p99 $(value "$WORK/$name.txt" overhead_p99_ms)); mean turnaround $(value "$WORK/$name.txt" turnaround_mean_ms) ms, floor $(value "$WORK/$name.txt" floor_mean_ms) ms" \
        "< 5 ms above floor" "$(verdict "$mean < 5")"
}
tcp_row "Turnaround per record through ser2net, raw TCP (tcp:), 8-byte bursts" raw
tcp_row "Turnaround per record through ser2net with RFC 2217 (rfc2217:), 8-byte bursts" rfc2217
tcp_row "Turnaround per record, the terminal calling a listening line (listen:), 8-byte bursts" \
    listen

# --- 2: what the sync of each record before its "ACK" costs on the disk of the work folder ------
"$SYNC" "$WORK" "$RECORDS" >"$WORK/sync.txt" || true
row 2 "Back-up line written and synced (fsync) before each \"ACK\", $(value "$WORK/sync.txt" records) records on $(df --output=fstype "$WORK" | tail -n 1)" \
    "median $(value "$WORK/sync.txt" sync_median_ms) ms, p95 $(value "$WORK/sync.txt" sync_p95_ms) ms, max $(value "$WORK/sync.txt" sync_max_ms) ms" \
    "inside the 5 ms above floor" "$(verdict "$(value "$WORK/sync.txt" sync_p95_ms) < 5")"

# --- 1: the same wait on a listening line ------------------------------------------------------
settings "$WORK/listen-idle" "$WORK/listen-idle-out" 1 0 "${ALL_FIELDS[@]}"
KARUNE_COM1=listen:127.0.0.1:$(free_port) "$PROBE" idle --wait-line --settle 2 \
    --seconds "$IDLE_SECONDS" -- "$MODEM" --headless --home "$WORK/listen-idle" \
    >"$WORK/listen-idle.txt" 2>/dev/null || true
listen_cpu=$(value "$WORK/listen-idle.txt" cpu_percent)
listen_line=$(value "$WORK/listen-idle.txt" last_line)
if [ -n "$listen_cpu" ] && [[ $listen_line == *RING* ]]; then
    row 1 "Idle CPU, headless, a listening line (listen:) waiting for a call (${IDLE_SECONDS} s)" \
        "${listen_cpu} % of a core ($(value "$WORK/listen-idle.txt" cpu_ticks) ticks of 10 ms; $(value "$WORK/listen-idle.txt" wakeups_per_s) wake-ups/s)" \
        "< 0.1 %" "$(verdict "$listen_cpu < 0.1")"
else
    row 1 "Idle CPU, headless, a listening line waiting for a call" \
        "not measured: ${listen_line:-no output}" "< 0.1 %" FAIL
fi

# --- 3: --convert of a large back-up file against cut ------------------------------------------
settings "$WORK/big" "$WORK/convert-out" 1 0 "${FIELDS_1_3_4[@]}"
settings "$WORK/small" "$WORK/convert-out" 1 0 "${FIELDS_1_3_4[@]}"
"$RECORDS_TOOL" --megabytes "$MEGABYTES" --fields 20 --seed 1 >"$WORK/big/Back.txt"
"$RECORDS_TOOL" --megabytes "$SMALL_MEGABYTES" --fields 20 --seed 2 >"$WORK/small/Back.txt"
cat "$WORK/big/Back.txt" >/dev/null  # both tools start from a warm page cache

best_ours= best_cut= rss_big=0 convert_ok=1
for _ in 1 2 3; do
    "$PROBE" run -- "$MODEM" --convert "$WORK/convert-out/ours.txt" --home "$WORK/big" \
        >"$WORK/ours.txt"
    "$PROBE" run --out "$WORK/convert-out/cut.txt" -- cut -d, -f1,3,4 "$WORK/big/Back.txt" \
        >"$WORK/cut.txt"
    [ "$(value "$WORK/ours.txt" exit)" = 0 ] || convert_ok=0
    ours=$(value "$WORK/ours.txt" wall_ms)
    cut_ms=$(value "$WORK/cut.txt" wall_ms)
    rss=$(value "$WORK/ours.txt" maxrss_kb)
    best_ours=$(awk -v a="$ours" -v b="${best_ours:-$ours}" 'BEGIN { print (a < b ? a : b) }')
    best_cut=$(awk -v a="$cut_ms" -v b="${best_cut:-$cut_ms}" 'BEGIN { print (a < b ? a : b) }')
    rss_big=$((rss > rss_big ? rss : rss_big))
done
# One output line for every back-up line, or the speed means nothing.
[ "$(wc -l <"$WORK/big/Back.txt")" = "$(wc -l <"$WORK/convert-out/ours.txt")" ] || convert_ok=0
"$PROBE" run -- "$MODEM" --convert "$WORK/convert-out/small.txt" --home "$WORK/small" \
    >"$WORK/small.txt"
rss_small=$(value "$WORK/small.txt" maxrss_kb)
ratio=$(calc "$best_ours / $best_cut")
if [ "$convert_ok" = 1 ]; then
    row 3 "--convert of a ${MEGABYTES} MB back-up file (F1, F3, F4; OverWrite 1) vs cut -d, -f1,3,4" \
        "${best_ours} ms vs ${best_cut} ms: ratio ${ratio} (best of 3, ours includes fsync)" \
        "< 1.00" "$(verdict "$ratio < 1")"
else
    row 3 "--convert of a ${MEGABYTES} MB back-up file" "conversion failed or lost lines" "< 1.00" FAIL
fi
row 3 "Peak RSS of --convert, ${MEGABYTES} MB vs ${SMALL_MEGABYTES} MB back-up file" \
    "$(calc "$rss_big / 1024") MB vs $(calc "$rss_small / 1024") MB" \
    "flat (within 10 %)" "$(verdict "$rss_big <= $rss_small * 1.1")"

# --- 4: start-up and resident memory ----------------------------------------------------------
startup=$(value "$WORK/idle.txt" first_line_ms)
row 4 "Start-up, headless: exec to first status line" "${startup:-none} ms" "< 250 ms" \
    "$(verdict "${startup:-1e9} < 250")"

settings "$WORK/empty" "$WORK/empty-out" 1 0 "${FIELDS_1_3_4[@]}"
: >"$WORK/empty/Back.txt"
best_empty=
for _ in 1 2 3; do
    "$PROBE" run -- "$MODEM" --convert "$WORK/empty-out/out.txt" --home "$WORK/empty" \
        >"$WORK/empty.txt"
    ms=$(value "$WORK/empty.txt" wall_ms)
    best_empty=$(awk -v a="$ms" -v b="${best_empty:-$ms}" 'BEGIN { print (a < b ? a : b) }')
done
row 4 "Start-up: --convert of an empty back-up file, exec to exit" "${best_empty} ms (best of 3)" \
    "< 250 ms" "$(verdict "$best_empty < 250")"

hwm=$(value "$WORK/idle.txt" vmhwm_kb)
row 4 "VmHWM, headless, waiting for RING" "$(calc "${hwm:-0} / 1024") MB" "< 32 MB" \
    "$(verdict "${hwm:-1e9} < 32 * 1024")"

# The window program starts reception by itself (AutoStart 1) and waits for RING as well.
settings "$WORK/window" "$WORK/window-out" 1 1 "${ALL_FIELDS[@]}"
"$SIM" --ring-delay 3600 --link "$WORK/tty-window" --timeout 120 >/dev/null 2>&1 &
BACKGROUND+=($!)
wait_for_link "$WORK/tty-window"
QT_QPA_PLATFORM=offscreen KARUNE_COM1=$WORK/tty-window "$PROBE" idle --settle 3 --seconds 5 -- \
    "$MODEM" --home "$WORK/window" >"$WORK/window.txt" 2>/dev/null || true
kill "${BACKGROUND[-1]}" 2>/dev/null || true
whwm=$(value "$WORK/window.txt" vmhwm_kb)
wcpu=$(value "$WORK/window.txt" cpu_percent)
row 4 "VmHWM, window program (offscreen), waiting for RING" \
    "$(calc "${whwm:-0} / 1024") MB (CPU ${wcpu:-?} % over 5 s)" "< 64 MB" \
    "$(verdict "${whwm:-1e9} < 64 * 1024")"

echo "| # | Measurement | Measured | Target | Result |"
echo "|---|---|---|---|---|"
printf '%s\n' "${ROWS[@]}"
! printf '%s\n' "${ROWS[@]}" | grep -q '| FAIL |'
