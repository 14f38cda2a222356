#!/usr/bin/env bash
# The modem watch on the real program: a modem that hangs while the program waits for a call (a
# pseudo-terminal has no ready line to drop; the session tests drop it on the simulated line). A
# quiet spell that is no number of seconds is refused on the command line: service.sh.
# Usage: watch.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"

# It answers "ATE0", and nothing more: three "AT" after a second's quiet go unanswered, and the
# headless program ends with status 1 for its service manager, although AutoStart is 1.
fresh a 1
line a --records /dev/null --ring-delay 600 --answers 1 --timeout 20
KARUNE_MODEM_CHECK=1 serve a a --headless
check "a modem that hangs ends the program with status 1" status 1 wait "$modemPid"
check "the error says it does not answer" grep -q '^error: .*>ATﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。' "$dir/a.out"

exit $((failures > 0))
