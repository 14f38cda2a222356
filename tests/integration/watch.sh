#!/usr/bin/env bash
# The modem watch on the real program: its quiet spell refused when it is no number of seconds,
# and a modem that hangs while the program waits for a call (a pseudo-terminal has no ready line
# to drop; the session tests drop it on the simulated line).
# Usage: watch.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"

fresh a 1
refused() {  # what the error names, then the program's arguments
    "$modem" --home "$dir/a/home" "${@:2}" --settings >/dev/null 2>"$dir/err"
    [ $? -eq 2 ] && grep -q -- "^$modem: $1 expects seconds from 0 to 86400" "$dir/err"
}
check "--modem-check 1.5 is refused" refused --modem-check --modem-check 1.5
KARUNE_MODEM_CHECK=-1 check "KARUNE_MODEM_CHECK=-1 is refused" refused KARUNE_MODEM_CHECK

# It answers "ATE0", and nothing more: three "AT" after a second's quiet go unanswered, and the
# headless program ends with status 1 for its service manager, although AutoStart is 1.
line a --records /dev/null --ring-delay 600 --answers 1 --timeout 20
KARUNE_MODEM_CHECK=1 serve a a --headless
check "a modem that hangs ends the program with status 1" status 1 wait "$modemPid"
check "the error says it does not answer" grep -q '^error: .*>ATﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。' "$dir/a.out"

exit $((failures > 0))
