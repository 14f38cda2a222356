#!/usr/bin/env bash
# A whole simulated call: karune-sim plays the modem and a handheld terminal on a pseudo-terminal
# mapped to COM1, and the program answers, receives a file of Japanese records and stores it.
# Runs the window when a display is available, otherwise the headless program.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$PWD/demo
rm -rf "$root"
mkdir -p "$root/home" "$root/out"

# Settings: save folder demo/out, COM1, append, normal window, automatic start with a window
# (so the call is answered without a click), the framed protocol, all fields, clock setting on.
autostart=0
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && autostart=1
printf '0,"","%s",1,0,0,0,%d,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' \
    "$root/out" "$autostart" >"$root/home/karune-modem.ini"

# Records in CP932: ASCII, half-width katakana, ソ and 表 (second byte 0x5C), ① and ～.
printf 'A001,2026-12-06,\xBA\xDD\xCB\xDF\xAD\xB0\xC0,3\r\n' >"$root/records.txt"
printf 'A002,2026-12-06,\x83\x5C\x83\x74\x83\x67,12\r\n' >>"$root/records.txt"
printf 'A003,2026-12-06,\x95\x5C\x8E\xA6,\x87\x40\x81\x60\x87\x41\r\n' >>"$root/records.txt"

build/karune-sim --records "$root/records.txt" --name HT0001 --ring-delay 2 \
    --link "$root/tty" --timeout 120 >"$root/sim.log" 2>&1 &
sim=$!
for _ in $(seq 50); do [ -e "$root/tty" ] && break; sleep 0.1; done

started=$(date +%s.%N)
export KARUNE_COM1=$root/tty
if [ "$autostart" = 1 ]; then
    echo "The window answers the call by itself; close it when you have seen the transfer."
    build/karune-modem --home "$root/home" &
    program=$!
    wait "$sim" || true
else
    build/karune-modem --headless --home "$root/home" || true
    wait "$sim" || true
fi
finished=$(date +%s.%N)

echo
echo "Terminal side: $(tail -n 1 "$root/sim.log")"
printf 'Call took %.1f s (including the 2 s ring delay and the 1 s guard before hang-up)\n' \
    "$(echo "$finished - $started" | bc)"
echo "Output file:  $root/out/HT0001.txt"
echo "Transfer log: $root/out/LOG.TXT"
echo "History:      $root/out/$(date +%Y-%m).txt"
echo "Back-up file: $root/home/Back.txt"
echo
echo "Output file, decoded from CP932:"
iconv -f CP932 -t UTF-8 "$root/out/HT0001.txt"
[ "$autostart" = 1 ] && wait "$program"
exit 0
